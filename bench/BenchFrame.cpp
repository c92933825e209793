// A reading frame from the bytes on the line to the value handed on.
#include "bench/Harness.h"
#include "link/link.h"

#include <QCoreApplication>

#include <benchmark/benchmark.h>

namespace kront::bench
{

namespace
{

// A port that is always open and delivers what the benchmark gives it.
class BenchPort : public SerialPort
{
public:
    bool open(const QString &) override { return true; }
    void close() override {}
    bool isOpen() const override { return true; }
    void purge() override {}
    bool write(const QByteArray &) override { return true; }
    void setInputTimeout(int) override {}
    QByteArray read(int) override { return {}; }
    void arrive(const QByteArray &chunk) { deliver(chunk); }
};

class NoView : public LinkView
{
public:
    void showChannelStatus(int, const QString &) override {}
    void refreshChannelControls(int) override {}
};

class LastValue : public ReadingSink
{
public:
    void ProcessReading(double v) override
    {
        value = v;
        ++count;
    }
    double value = 0;
    int count = 0;
};

} // namespace

void registerFrameBenchmarks()
{
    const std::string name = "reading frame: bytes in 3 chunks to the value";
    Summary::instance().declare(name, "voltmeter receive path", kFrameGoal);
    auto *b = benchmark::RegisterBenchmark(name.c_str(), [name](benchmark::State &state) {
        BenchPort port;
        NoView view;
        LastValue sink;
        VoltmeterLink link(port, view);
        link.setReadingSink(&sink);
        link.CurrentChannel = 1;
        link.LinkConnected = true;
        link.ReceiveOn = true;
        port.attachHandler([&link](const QByteArray &chunk) { link.ReceiveData(chunk); });
        frames::ReadingFields fields;
        int n = 0;
        for (auto _ : state) {
            fields.value1 = QByteArray::number(4.0 + 0.001 * (n++ % 1000), 'f', 3);
            const QByteArray frame = frames::buildReadingFrame(fields);
            const int before = sink.count;
            const double ms = timed([&] {
                port.arrive(frame.left(3));
                port.arrive(frame.mid(3, 40));
                port.arrive(frame.mid(43));
                // The frame event posts the reading event; both run from the queue.
                QCoreApplication::sendPostedEvents(&link);
                QCoreApplication::sendPostedEvents(&link);
                return sink.count == before + 1;
            });
            if (ms < 0) {
                Summary::instance().failed(name, Variant::Ours, Size::Month);
                state.SkipWithError("the reading was not handed on");
                break;
            } else {
                Summary::instance().add(name, Variant::Ours, Size::Month, ms, lastCpuMs);
                state.SetIterationTime(ms / 1000.0);
            }
        }
    });
    b->UseManualTime()->Unit(benchmark::kMicrosecond)->MinTime(0.5);
}

} // namespace kront::bench
