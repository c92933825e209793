// The voltmeter link against the simulated voltmeter with line faults in the
// middle of a series of readings: damaged frames are reported in the status
// panel with date and time and never become readings, the link finds the
// frames again once the line is clean, and a voltmeter that falls silent is
// reported without harm.
#include "link/link.h"
#include "tests/support/FakeClock.h"
#include "tools/taver-sim/model/Installation.h"
#include "tools/taver-sim/model/MeterEmulator.h"

#include <gtest/gtest.h>

#include <QCoreApplication>

namespace kront
{

namespace
{

// A serial port wired to the simulated voltmeter: what the link writes goes
// to the voltmeter, its answers wait for read(); reading frames are handed
// over by the test, one chunk per piece, as the port's poll would.
class SimPort : public SerialPort
{
public:
    explicit SimPort(sim::MeterEmulator &m) : meter(m) {}
    bool open(const QString &) override { return opened = true; }
    void close() override { opened = false; }
    bool isOpen() const override { return opened; }
    void purge() override { input.clear(); }
    bool write(const QByteArray &bytes) override
    {
        for (const sim::OutputPiece &p : meter.receive(bytes))
            input += p.bytes;
        return opened;
    }
    void setInputTimeout(int) override {}
    QByteArray read(int maxBytes) override
    {
        const QByteArray out = input.left(maxBytes);
        input.remove(0, out.size());
        return out;
    }
    void arrive(const QByteArray &chunk) { deliver(chunk); }

private:
    sim::MeterEmulator &meter;
    QByteArray input;
    bool opened = false;
};

class StatusLog : public LinkView
{
public:
    void showChannelStatus(int, const QString &text) override { texts << text; }
    void refreshChannelControls(int) override {}
    QStringList texts;
};

class Readings : public ReadingSink
{
public:
    void ProcessReading(double v) override { values.push_back(v); }
    std::vector<double> values;
};

struct LinkFaults : ::testing::Test {
    LinkFaults() : meter(installation, 7), port(meter), link(port, view)
    {
        clock.set(QDateTime(QDate(2026, 12, 10), QTime(10, 0)));
        link.setReadingSink(&sink);
        link.setWaitFunction([](int) {});
        link.CurrentChannel = 1;
        LinkSettings s;
        s.Port = QStringLiteral("sim");
        link.setSettings(s);
    }
    void start()
    {
        ASSERT_TRUE(link.OpenPort());
        ASSERT_TRUE(link.Connect());
        ASSERT_TRUE(link.SetMode());
        ASSERT_TRUE(link.StartReceive());
    }

    // Sends `count` reading frames, each with its own value "4,nnn"; returns
    // the values of the frames that left the voltmeter whole.
    std::vector<double> series(int count)
    {
        std::vector<double> whole;
        for (int i = 0; i < count; ++i) {
            const int n = next++;
            meter.forcedValue[1] = QByteArray("4,") + QByteArray::number(n).rightJustified(3, '0');
            const QByteArray intact = meter.readingFrame();
            nowMs += meter.periodMs;
            QByteArray sent;
            for (const sim::OutputPiece &p : meter.tick(nowMs)) {
                sent += p.bytes;
                port.arrive(p.bytes);
                QCoreApplication::sendPostedEvents(&link);
                QCoreApplication::sendPostedEvents(&link);
            }
            if (!intact.isEmpty() && sent.endsWith(intact))
                whole.push_back(4.0 + n / 1000.0);
        }
        return whole;
    }

    // Every value taken was sent in a whole frame, in order, once.
    void expectOnlyWholeFrames(const std::vector<double> &whole, size_t from)
    {
        size_t w = 0;
        for (size_t i = from; i < sink.values.size(); ++i) {
            while (w < whole.size() && std::abs(whole[w] - sink.values[i]) > 1e-9)
                ++w;
            ASSERT_LT(w, whole.size()) << "a value not sent whole was taken: " << sink.values[i];
            ++w;
        }
    }

    int textsContaining(const char *part) const
    {
        int n = 0;
        for (const QString &t : view.texts)
            n += t.contains(QString::fromUtf8(part));
        return n;
    }

    test::FakeClock clock;
    sim::Installation installation;
    sim::MeterEmulator meter;
    SimPort port;
    StatusLog view;
    Readings sink;
    VoltmeterLink link;
    qint64 nowMs = 0;
    int next = 0;
};

} // namespace

TEST_F(LinkFaults, DamagedFramesAreReportedAndNeverBecomeReadings)
{
    struct Row {
        sim::FaultKind fault;
        const char *text; // part of the status text expected; empty: none
        bool damages;     // every second frame leaves the voltmeter damaged
        bool allTaken;    // every whole frame becomes a reading
    } rows[] = {
        {sim::FaultKind::DataChecksum,
         "Ошибка приема(10.12.2026 10:00:00): неверная контрольная сумма информационной части",
         true, true},
        {sim::FaultKind::HeaderChecksum, "неверная контрольная сумма заголовка команды", true,
         true},
        {sim::FaultKind::Addr, "неверный адрес (ADDR) в заголовке команды", true, true},
        {sim::FaultKind::Type, "неверный код команды (TYPE)", true, true},
        // A lost byte leaves the assembler waiting: the next frame is lost with it.
        {sim::FaultKind::Drop, "", true, false},
        // Noise before a frame may look like the start of a frame.
        {sim::FaultKind::Garbage, "", false, false},
        {sim::FaultKind::Split, "", false, true},
    };
    ASSERT_NO_FATAL_FAILURE(start());
    for (const Row &row : rows) {
        SCOPED_TRACE(sim::faultKindText(row.fault).toStdString());
        view.texts.clear();
        const size_t before = sink.values.size();
        meter.setFault(row.fault, 2);
        const std::vector<double> whole = series(12);
        meter.clearFaults();
        ASSERT_NO_FATAL_FAILURE(expectOnlyWholeFrames(whole, before));
        if (row.allTaken) {
            EXPECT_EQ(sink.values.size() - before, whole.size());
        }
        if (*row.text) {
            EXPECT_GT(textsContaining(row.text), 0) << view.texts.join(u'\n').toStdString();
        }
        if (row.damages) {
            EXPECT_LE(whole.size(), 6u);
        }
        // A clean line again: after at most one lost frame every reading is taken.
        const size_t clean = sink.values.size();
        const std::vector<double> after = series(5);
        EXPECT_GE(sink.values.size() - clean, 4u);
        ASSERT_NO_FATAL_FAILURE(expectOnlyWholeFrames(after, clean));
    }
}

TEST_F(LinkFaults, MixedFaultsOverALongSeries)
{
    ASSERT_NO_FATAL_FAILURE(start());
    const sim::FaultKind kinds[] = {sim::FaultKind::DataChecksum, sim::FaultKind::Garbage,
                                    sim::FaultKind::Split,        sim::FaultKind::Drop,
                                    sim::FaultKind::Addr,         sim::FaultKind::HeaderChecksum,
                                    sim::FaultKind::Type};
    std::vector<double> whole;
    for (int round = 0; round < 30; ++round) {
        meter.clearFaults();
        meter.setFault(kinds[round % std::size(kinds)], 1 + round % 3);
        if (round % 4 == 0)
            meter.setFault(kinds[(round / 4) % std::size(kinds)], 3);
        for (double v : series(8))
            whole.push_back(v);
    }
    ASSERT_NO_FATAL_FAILURE(expectOnlyWholeFrames(whole, 0));
    EXPECT_GT(sink.values.size(), whole.size() / 3);
    std::printf("%zu frames sent whole of 240, %zu taken as readings\n", whole.size(),
                sink.values.size());
}

TEST_F(LinkFaults, SilentVoltmeterInTheMiddleOfASeries)
{
    ASSERT_NO_FATAL_FAILURE(start());
    series(3);
    const size_t taken = sink.values.size();
    EXPECT_GE(taken, 2u); // the voltmeter's first period starts with transmission
    meter.setFault(sim::FaultKind::Silence);
    EXPECT_TRUE(series(5).empty());
    EXPECT_EQ(sink.values.size(), taken); // nothing arrives, nothing is invented
    view.texts.clear();
    EXPECT_FALSE(link.StopReceive());
    EXPECT_GT(textsContaining("не отвечает"), 0) << view.texts.join(u'\n').toStdString();
    // The voltmeter comes back: the link can stop and close in order.
    meter.clearFaults();
    EXPECT_TRUE(link.StopReceive());
    link.CloseLink();
    EXPECT_FALSE(link.LinkConnected);
}

} // namespace kront
