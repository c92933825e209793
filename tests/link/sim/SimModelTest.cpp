#include "link/frames.h"
#include "link/receiver.h"
#include "tools/taver-sim/model/CommandInterpreter.h"
#include "tools/taver-sim/model/MeterEmulator.h"
#include "tools/taver-sim/model/PacedLine.h"
#include "tools/taver-sim/model/Scenario.h"
#include "tools/taver-sim/model/SimNsh.h"

#include <QFile>
#include <QTextStream>
#include <cmath>
#include <gtest/gtest.h>

using namespace kront;
using namespace kront::frames;
using namespace kront::sim;

namespace
{

QByteArray joined(const QList<OutputPiece> &pieces)
{
    QByteArray all;
    for (const OutputPiece &p : pieces)
        all += p.bytes;
    return all;
}

// An installation with an S reference on channel 1 and a K thermocouple
// on input 2.
struct SimFixture : ::testing::Test {
    SimFixture() : meter(installation), commands(installation, meter)
    {
        installation.bunches[1].reference.kind = ReferenceKind::PPO;
        installation.bunches[1].inputs[2].present = true;
        installation.bunches[1].inputs[2].nshType = 5; // ТХА (K)
        installation.furnace.setTarget(500);
    }
    // Connects and starts transmission; returns the first reading frame.
    QByteArray firstReading()
    {
        meter.receive(connectFrame());
        meter.receive(startReceiveFrame());
        meter.tick(0);
        return joined(meter.tick(meter.periodMs));
    }
    Installation installation;
    MeterEmulator meter;
    CommandInterpreter commands;
};

} // namespace

// The characteristic polynomials against the published table values.
TEST(SimNsh, MatchesPublishedTableValues)
{
    QFile file(QStringLiteral(KRONT_REFERENCE_DIR "/nsh-check-values.csv"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly | QIODevice::Text));
    QTextStream in(&file);
    in.readLine();
    int checked = 0;
    while (!in.atEnd()) {
        const QStringList f = in.readLine().split(u',');
        if (f.size() < 4)
            continue;
        const double e = characteristicEmf(f[0].toInt(), f[2].toDouble());
        EXPECT_NEAR(e, f[3].toDouble(), 0.0015) << f.join(u',').toStdString();
        ++checked;
    }
    EXPECT_GT(checked, 100);
    EXPECT_TRUE(std::isnan(characteristicEmf(6, 1400)));
    EXPECT_EQ(nshTypeFromText(QStringLiteral("ТХА")), 5);
    EXPECT_EQ(nshTypeFromText(QStringLiteral("tpp10")), 1);
    EXPECT_NEAR(typeEmf(9, 1000), characteristicEmf(1, 1000), 1e-12); // ППО uses S
}

TEST_F(SimFixture, AnswersEveryCommandWithTheAcknowledgement)
{
    struct Row {
        QByteArray command;
        quint8 code;
    } rows[] = {
        {startReceiveFrame(), 4}, // not connected yet: no remote control
        {connectFrame(), 0},
        {setParamsFrame(), 0},
        {startReceiveFrame(), 0},
        {stopReceiveFrame(), 0},
        {buildFrame(kAddrSystem, QByteArray("\x41\x01")), 3}, // unknown command
        {disconnectFrame(), 0},
    };
    for (const Row &row : rows)
        EXPECT_EQ(joined(meter.receive(row.command)), buildAnswer(row.code)) << int(row.code);
    QByteArray badData = connectFrame();
    badData[8] = 0;
    EXPECT_EQ(joined(meter.receive(badData)), buildAnswer(2));
    QByteArray badHeader = connectFrame();
    badHeader[4] = 0;
    EXPECT_EQ(joined(meter.receive(badHeader)), buildAnswer(1));
    // A command split over several writes, after line noise.
    const QByteArray c = connectFrame();
    EXPECT_TRUE(meter.receive(QByteArray("\x01\x02") + c.left(4)).isEmpty());
    EXPECT_EQ(joined(meter.receive(c.mid(4))), buildAnswer(0));
}

TEST_F(SimFixture, ReadingFramesWhileTransmitting)
{
    EXPECT_TRUE(meter.tick(0).isEmpty());
    const QByteArray frame = firstReading();
    ASSERT_TRUE(readingHeaderValid(frame));
    FrameReceiver rx;
    EXPECT_EQ(rx.feed(frame), FrameReceiver::Outcome::FrameFound);
    EXPECT_EQ(frame[kWarmupOffset], '=');
    // Position "0" on both switches: open input.
    EXPECT_EQ(decodeReading(frame).valueText[1], QByteArray("0.0000"));
    EXPECT_TRUE(meter.tick(meter.periodMs + 100).isEmpty()); // not due yet
    EXPECT_FALSE(meter.tick(2 * meter.periodMs).isEmpty());
    meter.receive(stopReceiveFrame());
    EXPECT_TRUE(meter.tick(10 * meter.periodMs).isEmpty());
}

// Once readings flow they keep their beat through the commands; a streaming
// voltmeter sends them whatever the commands say and answers every command.
TEST_F(SimFixture, ReadingsDoNotPauseForCommands)
{
    const int period = meter.periodMs;
    ASSERT_FALSE(firstReading().isEmpty()); // the beat: 0, period, 2 period, ...
    for (const QByteArray &command : {startReceiveFrame(), setParamsFrame(), connectFrame()})
        EXPECT_EQ(joined(meter.receive(command)), buildAnswer(0));
    EXPECT_FALSE(meter.tick(2 * period).isEmpty()) << "the beat was restarted by a command";

    meter.receive(stopReceiveFrame());
    EXPECT_TRUE(meter.tick(3 * period).isEmpty());
    meter.streaming = true;
    meter.tick(3 * period + 1);
    EXPECT_TRUE(readingHeaderValid(joined(meter.tick(4 * period + 1))));
    EXPECT_EQ(joined(meter.receive(stopReceiveFrame())), buildAnswer(0));
    EXPECT_EQ(joined(meter.receive(disconnectFrame())), buildAnswer(0));
    EXPECT_TRUE(readingHeaderValid(joined(meter.tick(5 * period + 1))));
    EXPECT_EQ(commands.execute(QStringLiteral("stream off")), QStringLiteral("ok"));
    EXPECT_TRUE(meter.tick(6 * period + 1).isEmpty());
    EXPECT_EQ(commands.execute(QStringLiteral("stream on")), QStringLiteral("ok"));
    EXPECT_TRUE(meter.streaming);
    EXPECT_TRUE(commands.execute(QStringLiteral("stream")).startsWith(u"error"));
}

// 9600 baud, ten bits a byte: a reading frame takes 88.5 ms on the line, and
// an answer queued while it goes out follows it.
TEST(SimPacedLine, BytesLeaveAtLineSpeedInOrder)
{
    PacedLine line;
    const QByteArray reading = buildReadingFrame({});
    const QByteArray answer = buildAnswer(0);
    line.queue(reading, 1000);
    EXPECT_EQ(line.due(1000), QByteArray());
    EXPECT_EQ(line.due(1001).size(), 0); // 1.04 ms a byte
    EXPECT_EQ(line.due(1010).size(), 9);
    line.sent(9, 1010);
    line.queue(answer, 1010); // 5 ms after a command, the frame still going out
    EXPECT_EQ(line.due(1088).size(), 84 - 9);
    EXPECT_EQ(line.due(1089).size(), 85 - 9);
    EXPECT_EQ(line.due(1098), reading.mid(9) + answer.left(9));
    line.sent(int(line.due(1200).size()), 1200);
    EXPECT_EQ(line.queued(), 0);

    // An idle line starts when bytes are queued; a receiver that takes fewer
    // bytes than are due holds the line back from then on.
    line.queue(answer, 5000);
    EXPECT_EQ(line.due(5005).size(), 4);
    line.sent(2, 5005);
    EXPECT_EQ(line.due(5005).size(), 0);
    EXPECT_EQ(line.due(5010).size(), 4);

    PacedLine unpaced;
    unpaced.setPaced(false);
    unpaced.queue(reading, 0);
    unpaced.queue(answer, 0);
    EXPECT_EQ(unpaced.due(0), reading + answer);
}

TEST_F(SimFixture, SwitchPositionsSelectWhatTheVoltmeterReads)
{
    installation.coldJunction = 20;
    const double ref = characteristicEmf(1, 500) - characteristicEmf(1, 20);
    const double tc = characteristicEmf(6, 500) - characteristicEmf(6, 20);
    std::mt19937 rng;
    installation.switches = {0, 0, 5};
    EXPECT_NEAR(installation.meterInput(rng), ref, 1e-9);
    installation.switches = {0, 2, 5};
    EXPECT_NEAR(installation.meterInput(rng), tc, 1e-9);
    // Electrode legs: +2 and -2 differ by thermocouple minus reference.
    installation.switches = {0, 9, 5};
    const double e1 = installation.meterInput(rng);
    installation.switches = {0, 10, 5};
    const double e2 = installation.meterInput(rng);
    EXPECT_NEAR(e1 - e2, tc - ref, 1e-9);
    // The channel at "0" is out of the circuit; channel 2 reads alone.
    installation.bunches[2].inputs[1].present = true;
    installation.bunches[2].inputs[1].nshType = 1;
    installation.switches = {0, 5, 1};
    EXPECT_NEAR(installation.meterInput(rng), ref, 1e-9); // S on channel 2 input 1
    // A deviation in °C and one in mV.
    installation.switches = {0, 2, 5};
    installation.bunches[1].inputs[2].deviationC = 2;
    installation.bunches[1].inputs[2].deviationMv = 0.01;
    EXPECT_NEAR(installation.meterInput(rng),
                characteristicEmf(6, 502) - characteristicEmf(6, 20) + 0.01, 1e-9);
    installation.referenceInverted = true;
    installation.switches = {0, 0, 5};
    EXPECT_NEAR(installation.meterInput(rng), -ref, 1e-9);
}

TEST_F(SimFixture, ReferenceFollowsItsGraduation)
{
    installation.bunches[1].reference.graduation = {{400, 3.3}, {600, 5.3}};
    installation.switches = {0, 0, 5};
    std::mt19937 rng;
    EXPECT_NEAR(installation.meterInput(rng), 4.3, 1e-9); // 500 °C, cold junction 0
}

TEST(SimFurnace, FirstOrderApproachAndDrift)
{
    Furnace f;
    f.tauSeconds = 60;
    f.setTarget(100);
    EXPECT_DOUBLE_EQ(f.temperature, 20);
    f.advance(60);
    EXPECT_NEAR(f.temperature, 100 - 80 * std::exp(-1.0), 1e-9);
    Furnace d;
    d.setTarget(500);
    d.driftPerMinute = 0.5;
    d.advance(120);
    EXPECT_NEAR(d.temperature, 501, 1e-9);
}

// Each fault, checked by the program's own receiver.
TEST_F(SimFixture, FaultsAsTheReceiverSeesThem)
{
    struct Row {
        const char *command;
        int rxStatus; // -1: no frame at all
    } rows[] = {
        {"fault data-checksum", rxDataChecksum},
        {"fault header-checksum", rxHeaderChecksum},
        {"fault addr", rxWrongAddr},
        {"fault type", rxWrongType},
        {"fault silence", -1},
    };
    firstReading();
    for (const Row &row : rows) {
        ASSERT_EQ(commands.execute(QString::fromLatin1(row.command)), QStringLiteral("ok"));
        const QList<OutputPiece> pieces = meter.tick(1000000 + meter.framesSent() * 1000);
        const QList<OutputPiece> next = meter.tick(2000000 + meter.framesSent() * 1000);
        const QByteArray bytes = joined(pieces) + joined(next);
        FrameReceiver rx;
        if (row.rxStatus < 0) {
            EXPECT_TRUE(bytes.isEmpty()) << row.command;
        } else {
            EXPECT_EQ(rx.feed(bytes), FrameReceiver::Outcome::NotAFrame) << row.command;
            EXPECT_EQ(rx.RxStatus(), row.rxStatus) << row.command;
        }
        commands.execute(QStringLiteral("fault off"));
    }
}

TEST_F(SimFixture, SplitGarbageDropAndAckFaults)
{
    firstReading();
    commands.execute(QStringLiteral("fault split"));
    QList<OutputPiece> pieces = meter.tick(100000);
    ASSERT_EQ(pieces.size(), 3);
    EXPECT_EQ(pieces[0].bytes.size(), 3);
    EXPECT_EQ(pieces[1].bytes.size(), 40);
    EXPECT_EQ(pieces[2].bytes.size(), 42);
    EXPECT_LT(pieces[0].delayMs, pieces[1].delayMs);

    commands.execute(QStringLiteral("fault off"));
    commands.execute(QStringLiteral("fault drop"));
    EXPECT_EQ(joined(meter.tick(200000)).size(), kReadingFrameSize - 1);

    commands.execute(QStringLiteral("fault off"));
    commands.execute(QStringLiteral("fault garbage"));
    pieces = meter.tick(300000);
    ASSERT_EQ(pieces.size(), 2);
    EXPECT_TRUE(readingHeaderValid(pieces[1].bytes));

    commands.execute(QStringLiteral("fault off"));
    EXPECT_EQ(commands.execute(QStringLiteral("fault ack 5")), QStringLiteral("ok"));
    EXPECT_EQ(joined(meter.receive(stopReceiveFrame())), buildAnswer(5));
    EXPECT_TRUE(meter.transmitting); // a refused command changes nothing

    // Every second frame only.
    commands.execute(QStringLiteral("fault off"));
    commands.execute(QStringLiteral("fault data-checksum 2"));
    int bad = 0;
    for (int i = 0; i < 4; ++i) {
        FrameReceiver rx;
        if (rx.feed(joined(meter.tick(400000 + i * 1000))) != FrameReceiver::Outcome::FrameFound)
            ++bad;
    }
    EXPECT_EQ(bad, 2);
}

// Frames a fault damages can carry a value of their own, so that a receiver
// which took one would show it; frames that reach the line whole never do.
TEST_F(SimFixture, DamagedFramesCarryTheDamagedValue)
{
    commands.execute(QStringLiteral("switch 1 0")); // the reference: a value unlike channel 2's
    firstReading();
    ASSERT_EQ(commands.execute(QStringLiteral("damaged-value 77.7777")), QStringLiteral("ok"));
    struct Row {
        const char *fault;
        bool damages;
    } rows[] = {
        {"fault addr 2", true},
        {"fault type 2", true},
        {"fault header-checksum 2", true},
        {"fault data-checksum 2", true},
        {"fault split 2", false},
        {"fault garbage 2", false},
    };
    qint64 now = 500000;
    for (const Row &row : rows) {
        commands.execute(QStringLiteral("fault off"));
        ASSERT_EQ(commands.execute(QString::fromLatin1(row.fault)), QStringLiteral("ok"));
        for (int i = 0; i < 4; ++i) {
            const QList<OutputPiece> pieces = meter.tick(now += 1000);
            const bool due = meter.framesSent() % 2 == 0;
            const QByteArray line = joined(pieces);
            EXPECT_EQ(line.contains("77.7777"), due && row.damages) << row.fault << " frame " << i;
            EXPECT_EQ(line.contains(meter.valueText(1)), !(due && row.damages)) << row.fault;
        }
    }
    commands.execute(QStringLiteral("fault off"));
    EXPECT_EQ(commands.execute(QStringLiteral("damaged-value auto")), QStringLiteral("ok"));
    commands.execute(QStringLiteral("fault addr"));
    EXPECT_FALSE(joined(meter.tick(now += 1000)).contains("77.7777"));
    EXPECT_FALSE(commands.execute(QStringLiteral("damaged-value")).startsWith(u"ok"));
}

TEST_F(SimFixture, LineCommands)
{
    struct Row {
        const char *line;
        bool ok;
    } rows[] = {
        {"furnace 650.5", true},
        {"furnace x", false},
        {"switch 1 14", true},
        {"switch 3 1", false},
        {"deviation 1 2 0.05", true},
        {"deviation 1 5 0.05", false},
        {"deviation-c 2 4 -1.5", true},
        {"sensor 2 4 ТХК", true},
        {"sensor 2 4 Pt385", false},
        {"warmup <", true},
        {"warmup ?", false},
        {"flags 2 0x02", true},
        {"fault ack", false},
        {"fault split 3", true},
        {"fault split 0", false},
        {"value 1 1.234Е-01", true},
        {"bogus", false},
        {"status", true},
    };
    for (const Row &row : rows) {
        const QString reply = commands.execute(QString::fromUtf8(row.line));
        EXPECT_EQ(reply.startsWith(QLatin1String("ok")), row.ok)
            << row.line << " -> " << reply.toStdString();
    }
    EXPECT_DOUBLE_EQ(installation.furnace.setPoint, 650.5);
    EXPECT_EQ(installation.switches[1], 14);
    EXPECT_EQ(installation.bunches[2].inputs[4].nshType, 7);
    EXPECT_EQ(meter.flags[2], 0x02);
    // The forced value goes out in Windows-1251: the Cyrillic Е as byte 0xC5.
    EXPECT_EQ(meter.valueText(1), QByteArray("1.234\xC5-01"));
    EXPECT_EQ(commands.execute(QStringLiteral("value 1 auto")), QStringLiteral("ok"));
    EXPECT_NE(meter.valueText(1), QByteArray("1.234\xC5-01"));
    EXPECT_FALSE(commands.quitRequested());
    commands.execute(QStringLiteral("quit"));
    EXPECT_TRUE(commands.quitRequested());
}

TEST(SimScenario, ReadsSensorsAndReportsBadLines)
{
    Scenario sc;
    QStringList errors;
    const QString text = QStringLiteral("# demo\n"
                                        "furnace = 500\n"
                                        "cold_junction = 21,5\n"
                                        "meter_channel = 2\n"
                                        "[channel 1]\n"
                                        "reference = PPO\n"
                                        "graduation = 600:5.3 400:3.3\n"
                                        "input1 = THA 1.5\n"
                                        "input3 = TPP10 0 0.012\n"
                                        "switch = 0\n"
                                        "[channel 2]\n"
                                        "reference = mercury\n"
                                        "input5 = THA\n"
                                        "input2 = XYZ\n");
    EXPECT_FALSE(parseScenarioText(text, sc, errors));
    ASSERT_EQ(errors.size(), 2);
    EXPECT_TRUE(errors[0].startsWith(QStringLiteral("line 13")));
    EXPECT_TRUE(errors[1].startsWith(QStringLiteral("line 14")));
    const Installation &in = sc.installation;
    EXPECT_DOUBLE_EQ(in.furnace.temperature, 500);
    EXPECT_DOUBLE_EQ(in.coldJunction, 21.5);
    EXPECT_EQ(sc.meterChannel, 2);
    EXPECT_EQ(in.bunches[1].reference.kind, ReferenceKind::PPO);
    ASSERT_EQ(in.bunches[1].reference.graduation.size(), 2);
    EXPECT_DOUBLE_EQ(in.bunches[1].reference.graduation[0].x(), 400); // sorted
    EXPECT_TRUE(in.bunches[1].inputs[1].present);
    EXPECT_DOUBLE_EQ(in.bunches[1].inputs[1].deviationC, 1.5);
    EXPECT_DOUBLE_EQ(in.bunches[1].inputs[3].deviationMv, 0.012);
    EXPECT_EQ(in.bunches[2].reference.kind, ReferenceKind::Mercury);
    EXPECT_EQ(in.switches[1], 0);
}

// Line noise and broken frames never stop the voltmeter from answering the
// next good command.
TEST_F(SimFixture, SurvivesGarbageOnTheLine)
{
    std::mt19937 rng(7);
    for (int i = 0; i < 2000; ++i) {
        QByteArray chunk(int(rng() % 64), '\0');
        for (char &c : chunk)
            c = char(rng() & 0xFF);
        if (rng() % 4 == 0 && !chunk.isEmpty())
            chunk[0] = char(kStartByte);
        meter.receive(chunk);
    }
    meter.receive(QByteArray(300, '\0')); // flush whatever partial frame is pending
    const QList<OutputPiece> out = meter.receive(connectFrame());
    ASSERT_FALSE(out.isEmpty());
    EXPECT_EQ(out.last().bytes, buildAnswer(0));
}

TEST_F(SimFixture, PartialCommandTimesOutWithCodeSeven)
{
    meter.tick(1000);
    EXPECT_TRUE(meter.receive(connectFrame().left(7)).isEmpty());
    EXPECT_TRUE(meter.tick(1900).isEmpty());
    EXPECT_EQ(joined(meter.tick(2100)), buildAnswer(7));
    EXPECT_EQ(joined(meter.receive(connectFrame())), buildAnswer(0));
}

TEST(SimScenario, DemoScenarioLoads)
{
    Scenario sc;
    QStringList errors;
    EXPECT_TRUE(loadScenario(
        QStringLiteral(KRONT_SOURCE_DIR "/tools/taver-sim/scenarios/demo.scenario"), sc, errors))
        << errors.join(u'\n').toStdString();
    EXPECT_EQ(sc.installation.bunches[1].reference.graduation.size(), 9);
    EXPECT_TRUE(sc.installation.bunches[2].inputs[2].present);
    QStringList missing;
    EXPECT_FALSE(loadScenario(QStringLiteral("/nonexistent/x.scenario"), sc, missing));
    EXPECT_EQ(missing.size(), 1);
}
