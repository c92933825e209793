// The real serial port code against the simulated voltmeter on a
// pseudo-terminal: connect, mode, readings, a damaged frame, stop, disconnect.
#include "link/MeterCheck.h"
#include "link/QtSerialPortDevice.h"
#include "link/link.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#ifdef KRONT_TAVER_SIM

using namespace kront;

namespace
{

struct Recorder : LinkView, ReadingSink {
    void showChannelStatus(int, const QString &text) override { statuses << text; }
    void refreshChannelControls(int) override {}
    void ProcessReading(double v) override { readings.push_back(v); }
    QStringList statuses;
    std::vector<double> readings;
};

template <typename Pred> bool waitUntil(Pred pred, int ms)
{
    QDeadlineTimer deadline(ms);
    while (!pred()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(5);
    }
    return true;
}

class SimulatorPty : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        logPath = dir.filePath(QStringLiteral("frames.log"));
        QFile scenario(dir.filePath(QStringLiteral("demo.scenario")));
        ASSERT_TRUE(scenario.open(QIODevice::WriteOnly));
        scenario.write("furnace = 500\ncold_junction = 0\n[channel 1]\nreference = PPO\n"
                       "input1 = THA 0 0.5\nswitch = 0\n");
        scenario.close();
        sim.setProgram(QStringLiteral(KRONT_TAVER_SIM));
        sim.setArguments({"--headless", "--period-ms", "200", "--log", logPath, "--scenario",
                          scenario.fileName(), "--link", dir.filePath(QStringLiteral("taver"))});
        sim.start();
        ASSERT_TRUE(sim.waitForStarted(5000));
        ASSERT_TRUE(sim.waitForReadyRead(5000)) << sim.readAllStandardError().toStdString();
        device = QString::fromLocal8Bit(sim.readLine()).trimmed();
        ASSERT_TRUE(device.startsWith(QLatin1String("/dev/"))) << device.toStdString();
    }
    void TearDown() override
    {
        if (sim.state() != QProcess::NotRunning) {
            sim.write("quit\n");
            if (!sim.waitForFinished(3000))
                sim.kill();
        }
    }
    void command(const char *line)
    {
        sim.write(QByteArray(line) + '\n');
        sim.waitForBytesWritten(1000);
        ASSERT_TRUE(waitUntil([this] { return sim.canReadLine(); }, 3000)) << line;
        EXPECT_EQ(sim.readLine().trimmed(), QByteArray("ok")) << line;
    }

    QTemporaryDir dir;
    QString logPath;
    QString device;
    QProcess sim;
};

} // namespace

TEST_F(SimulatorPty, FullRunOverTheRealSerialPort)
{
    QtSerialPortDevice port;
    Recorder rec;
    VoltmeterLink link(port, rec);
    link.setReadingSink(&rec);
    link.CurrentChannel = 1;
    link.SavedStatusText = QStringLiteral("ready");
    LinkSettings settings;
    settings.Port = dir.filePath(QStringLiteral("taver")); // through the symlink
    link.setSettings(settings);

    ASSERT_TRUE(link.EstablishLink()) << rec.statuses.join(u'\n').toStdString();
    EXPECT_TRUE(link.LinkConnected);
    ASSERT_TRUE(link.StartReceive()) << rec.statuses.join(u'\n').toStdString();
    ASSERT_TRUE(waitUntil([&] { return rec.readings.size() >= 3; }, 10000));
    const double expected = 4.233; // S characteristic at 500 °C, cold junction 0 °C
    for (double v : rec.readings)
        EXPECT_NEAR(v, expected, 0.001);

    // Input 1 of the bunch: a K thermocouple that reads 0.5 mV high.
    command("switch 1 1");
    rec.readings.clear();
    ASSERT_TRUE(waitUntil([&] { return rec.readings.size() >= 2; }, 10000));
    EXPECT_NEAR(rec.readings.back(), 20.644 + 0.5, 0.001);

    // A damaged frame is reported with date and time and skipped.
    int damaged = 0;
    QObject::connect(&link, &VoltmeterLink::frameEventHandled, [&](int status) {
        if (status == rxDataChecksum)
            ++damaged;
    });
    command("fault data-checksum");
    ASSERT_TRUE(waitUntil([&] { return damaged > 0; }, 10000));
    EXPECT_TRUE(rec.statuses
                    .filter(QStringLiteral("неверная контрольная сумма информационной "
                                           "части команды"))
                    .size() > 0);
    command("fault off");
    rec.readings.clear();
    ASSERT_TRUE(waitUntil([&] { return !rec.readings.empty(); }, 10000));

    // Stop while frames keep coming, then disconnect.
    EXPECT_TRUE(link.StopReceive()) << rec.statuses.join(u'\n').toStdString();
    EXPECT_FALSE(link.ReceiveOn);
    EXPECT_TRUE(link.Disconnect()) << rec.statuses.join(u'\n').toStdString();
    link.CloseLink();
    EXPECT_FALSE(port.isOpen());

    QFile log(logPath);
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(log.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("RX 16 04 FF 00 FB FE 54 01 A9 FF")));
    EXPECT_TRUE(text.contains(QStringLiteral("RX 16 25 FF 00 DA FE 52")));
    EXPECT_TRUE(text.contains(QStringLiteral("20 20 4E F9\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("RX 16 04 FF 00 FB FE 54 00 AA FF")));
    EXPECT_TRUE(text.contains(QStringLiteral("TX 16 4F 00 00 AF FF 85")));
}

TEST_F(SimulatorPty, SilentVoltmeterIsReportedAsNoAnswer)
{
    command("fault silence");
    QtSerialPortDevice port;
    Recorder rec;
    VoltmeterLink link(port, rec);
    link.CurrentChannel = 2;
    link.setAnswerTimeout(300); // the program waits 4 s; the behaviour is the same
    LinkSettings settings;
    settings.Port = device;
    link.setSettings(settings);
    ASSERT_TRUE(link.OpenPort());
    EXPECT_FALSE(link.Connect());
    EXPECT_EQ(rec.statuses.last(),
              QStringLiteral("Прибор не отвечает при попытке установить соединение."));
    link.CloseLink();
}

TEST_F(SimulatorPty, MeterCheckPrintsTheReadings)
{
    command("furnace 300");
    QString outText, errText;
    QTextStream out(&outText), err(&errText);
    MeterCheckOptions options;
    options.port = device;
    options.readings = 2;
    options.timeoutSeconds = 10;
    EXPECT_EQ(runMeterCheck(options, out, err), 0) << errText.toStdString();
    const QString expected = meterReadingText(2.323, false); // S at 300 °C: "2.3230" on the line
    EXPECT_EQ(outText, expected + u'\n' + expected + u'\n');
    EXPECT_EQ(expected, QStringLiteral("2,323"));

    command("fault silence");
    options.readings = 1;
    outText.clear();
    EXPECT_EQ(runMeterCheck(options, out, err), 1);
    EXPECT_TRUE(outText.isEmpty());
}

// A voltmeter that keeps sending readings at line speed through every
// command: the line is busy more than half the time, so frames are on the
// wire when commands go out and come before their answers. Every command of
// ten runs finds its answer, each run takes readings, and nothing of a frame
// is ever taken for an answer.
TEST_F(SimulatorPty, CommandsWhileReadingsStreamAtLineSpeed)
{
    command("stream on");
    command("period 150");
    QtSerialPortDevice port;
    Recorder rec;
    VoltmeterLink link(port, rec);
    link.setReadingSink(&rec);
    link.CurrentChannel = 1;
    LinkSettings settings;
    settings.Port = device;
    link.setSettings(settings);
    ASSERT_TRUE(link.OpenPort());
    const auto log = [&rec] { return rec.statuses.join(u'\n').toStdString(); };
    for (int run = 0; run < 10; ++run) {
        SCOPED_TRACE(run);
        ASSERT_TRUE(link.Connect()) << log();
        ASSERT_TRUE(link.SetMode()) << log();
        ASSERT_TRUE(link.StartReceive()) << log();
        rec.readings.clear();
        ASSERT_TRUE(waitUntil([&] { return !rec.readings.empty(); }, 5000)) << log();
        EXPECT_NEAR(rec.readings.back(), 4.233, 0.001);
        ASSERT_TRUE(link.StopReceive()) << log();
        ASSERT_TRUE(link.Disconnect()) << log();
    }
    EXPECT_TRUE(rec.statuses.filter(QStringLiteral("ошибка контрольной суммы данных.")).isEmpty());
    link.CloseLink();
}

// The port vanishes under an open link (the adapter is pulled out): nothing
// more arrives, the stop command finds no voltmeter, the port cannot be
// opened again while the device is away, and once it is back behind the
// same name the link is established and readings flow again.
TEST_F(SimulatorPty, VanishedPortIsSurvivedAndFoundAgain)
{
    QtSerialPortDevice port;
    Recorder rec;
    VoltmeterLink link(port, rec);
    link.setReadingSink(&rec);
    link.CurrentChannel = 1;
    link.setAnswerTimeout(500); // the program waits 4 s; the behaviour is the same
    LinkSettings settings;
    settings.Port = dir.filePath(QStringLiteral("taver"));
    link.setSettings(settings);
    ASSERT_TRUE(link.EstablishLink()) << rec.statuses.join(u'\n').toStdString();
    ASSERT_TRUE(link.StartReceive());
    ASSERT_TRUE(waitUntil([&] { return !rec.readings.empty(); }, 10000));

    command("unplug");
    QCoreApplication::processEvents();
    rec.readings.clear();
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(waitUntil([&] { return !rec.readings.empty(); }, 1500));
    EXPECT_FALSE(link.StopReceive());
    EXPECT_EQ(rec.statuses.last(),
              QStringLiteral("Ошибка связи: прибор не отвечает при отключении приема данных."));
    link.CloseLink();
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(link.OpenPort());
    EXPECT_LT(t.elapsed(), 15000);

    sim.write("plug\n");
    ASSERT_TRUE(waitUntil([this] { return sim.canReadLine(); }, 3000));
    EXPECT_TRUE(sim.readLine().startsWith("ok /dev/"));
    // A continued verification gets a link of its own, on the same name. The
    // voltmeter never heard the stop: its readings keep coming at line speed
    // while the link is made again, and each command finds its answer among
    // them.
    QtSerialPortDevice port2;
    VoltmeterLink again(port2, rec);
    again.setReadingSink(&rec);
    again.CurrentChannel = 1;
    again.setSettings(settings);
    ASSERT_TRUE(again.EstablishLink()) << rec.statuses.join(u'\n').toStdString();
    rec.readings.clear();
    ASSERT_TRUE(again.StartReceive()) << rec.statuses.join(u'\n').toStdString();
    ASSERT_TRUE(waitUntil([&] { return !rec.readings.empty(); }, 10000));
    EXPECT_NEAR(rec.readings.back(), 4.233, 0.001);
    EXPECT_TRUE(again.StopReceive());
    again.CloseLink();
}

// Read semantics of the real port: the silence time-out restarts with every
// chunk, and delivery runs from the 50 ms poll only while not paused.
TEST_F(SimulatorPty, PortReadWaitsForSilenceNotForTheWholeFrame)
{
    QtSerialPortDevice port;
    ASSERT_TRUE(port.open(device));
    ASSERT_TRUE(port.write(frames::connectFrame()));
    port.setInputTimeout(1000);
    EXPECT_EQ(port.read(10), frames::buildAnswer(0));
    command("fault split"); // pieces of 3, 40, 42 bytes, 60 ms apart
    ASSERT_TRUE(port.write(frames::startReceiveFrame()));
    EXPECT_EQ(port.read(10), frames::buildAnswer(0));
    port.setInputTimeout(1000);
    const QByteArray first = port.read(3); // wait for the start of a frame
    ASSERT_EQ(first.size(), 3);
    port.setInputTimeout(100); // longer than each gap, shorter than the whole frame
    QElapsedTimer t;
    t.start();
    const QByteArray rest = port.read(82);
    EXPECT_EQ(rest.size(), 82);
    EXPECT_GT(t.elapsed(), 100);
    EXPECT_TRUE(frames::readingHeaderValid(first + rest));
    port.setInputTimeout(20); // shorter than a gap: the next read ends at the gap
    port.read(3);
    EXPECT_LT(port.read(82).size(), 82);
    command("fault off");

    std::vector<QByteArray> chunks;
    port.attachHandler([&](const QByteArray &c) { chunks.push_back(c); });
    port.pauseDelivery();
    QCoreApplication::processEvents();
    QThread::msleep(700);
    QCoreApplication::processEvents();
    EXPECT_TRUE(chunks.empty());
    port.purge();
    port.resumeDelivery();
    ASSERT_TRUE(waitUntil([&] { return chunks.size() >= 2; }, 5000));
    QByteArray all;
    for (const QByteArray &c : chunks)
        all += c;
    EXPECT_TRUE(all.contains(QByteArray::fromHex("164F0000AFFF85")));
    port.close();
    EXPECT_FALSE(port.isOpen());
    port.close(); // harmless
}

// Nobody reads the line: the write gives up 500 ms after the last progress.
TEST(SerialPortWrite, GivesUpWithoutProgress)
{
    const int master = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master, 0);
    ASSERT_EQ(grantpt(master), 0);
    ASSERT_EQ(unlockpt(master), 0);
    QtSerialPortDevice port;
    ASSERT_TRUE(port.open(QString::fromLocal8Bit(ptsname(master))));
    QElapsedTimer t;
    t.start();
    EXPECT_FALSE(port.write(QByteArray(256 * 1024, 'x')));
    EXPECT_GE(t.elapsed(), 450);
    EXPECT_LT(t.elapsed(), 5000);
    // A short frame still goes out once the line drains.
    port.purge();
    char buf[4096];
    fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
    while (::read(master, buf, sizeof buf) > 0) {
    }
    EXPECT_TRUE(port.write(frames::connectFrame()));
    port.close();
    ::close(master);
}

TEST(SerialPortList, ListsOnlyExistingDevicesInOrder)
{
    const QStringList ports = availableSerialPorts();
    for (const QString &p : ports)
        EXPECT_FALSE(p.isEmpty());
    QStringList sorted = ports;
    sorted.removeDuplicates();
    EXPECT_EQ(sorted, ports);
}

#endif
