#include "LinkFixture.h"

using namespace kront;
using namespace kront::test;

TEST_F(LinkSession, EstablishLinkConnectsAndSetsTheMode)
{
    port.queueAnswer(buildAnswer(0));
    port.queueAnswer(buildAnswer(0));
    EXPECT_TRUE(link.EstablishLink());
    EXPECT_EQ(port.openedDevice, QStringLiteral("/dev/pts/7"));
    ASSERT_EQ(port.writes.size(), 2);
    EXPECT_EQ(port.writes[0], connectFrame());
    EXPECT_EQ(port.writes[1], setParamsFrame());
    EXPECT_TRUE(link.LinkConnected);
    EXPECT_FALSE(link.ReceiveOn);
    EXPECT_EQ(waits, std::vector<int>{500});
    EXPECT_EQ(port.inputTimeoutMs, 4000);
    EXPECT_EQ(progress.calls,
              QStringList({QStringLiteral("start Обмен с измерителем ТАВЕР-7. Подождите завершения "
                                          "операции.|Установка соединения ...|3"),
                           "advance", QStringLiteral("label Установка режима ..."), "advance",
                           "advance", "finish"}));
    EXPECT_EQ(cursor.depth, 0);
    EXPECT_EQ(cursor.begins, 2);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(view.last(), QStringLiteral("saved"));
    EXPECT_FALSE(port.deliveryActive()); // stays paused until transmission starts
}

TEST_F(LinkSession, EstablishLinkFailures)
{
    port.openSucceeds = false;
    EXPECT_FALSE(link.EstablishLink());
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Выбранный порт связи с ТАВЕР-7 не доступен!")});
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_TRUE(progress.calls.isEmpty());

    dialogs.clear();
    port.openSucceeds = true;
    port.queueAnswer(buildAnswer(0).left(9)); // 9 bytes, then silence
    EXPECT_FALSE(link.EstablishLink());
    EXPECT_EQ(view.last(), QStringLiteral("Прибор не отвечает при попытке установить соединение."));
    EXPECT_EQ(dialogs.texts(),
              QStringList{QStringLiteral("Не удалось установить связь с измерителем ТАВЕР-7!")});
    EXPECT_EQ(progress.calls.last(), QStringLiteral("finish"));
    EXPECT_EQ(cursor.depth, 0);
    EXPECT_FALSE(link.LinkConnected);
}

// A voltmeter whose link was lost while it sent readings is still sending
// them when the link is made again, at 9600 baud: the rest of a frame that was
// on the wire when the command went out and a whole frame come ahead of each
// answer, another frame follows it, and readings pile up during the pause
// before the parameters command. Every command finds its answer at the first
// attempt. The readings before an answer are dropped; the bytes after it stay
// in the port, and once transmission is on they are the first reading taken.
TEST_F(LinkSession, CommandsFindTheirAnswersWhileReadingsStream)
{
    const QByteArray before = buildReadingFrame({3, "1.1111", "0", 0, 0, '='});
    const QByteArray after = buildReadingFrame({3, "2.2222", "0", 0, 0, '='});
    const QByteArray line = before.mid(37) + before + buildAnswer(0) + after;
    for (int i = 0; i < 4; ++i)
        port.queueAnswer(line); // connect, parameters, start, stop
    link.setWaitFunction([&](int ms) {
        waits.push_back(ms);
        if (ms == VoltmeterLink::kModePauseMs)
            port.input += before + before;
    });
    EXPECT_TRUE(link.EstablishLink()) << view.statuses.join(u'\n').toStdString();
    EXPECT_EQ(port.writes, QByteArrayList({connectFrame(), setParamsFrame()}));
    EXPECT_EQ(waits, std::vector<int>{500});
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(view.last(), QStringLiteral("saved"));
    EXPECT_EQ(port.input, after);

    ASSERT_TRUE(link.StartReceive()) << view.statuses.join(u'\n').toStdString();
    EXPECT_EQ(port.input, after);
    deliverAndProcess(port.input);
    port.input.clear();
    EXPECT_EQ(sink.values, std::vector<double>{2.2222});

    EXPECT_TRUE(link.StopReceive()) << view.statuses.join(u'\n').toStdString();
    EXPECT_EQ(port.writes.size(), 4);
    EXPECT_EQ(bufferBytes(link.frameBuffer(), kAnswerSize), buildAnswer(0));
    EXPECT_EQ(sink.values, std::vector<double>{2.2222}) << "a reading before an answer taken";
}

// Readings that keep coming without an answer among them are no answer: the
// command gives up once the answer time-out has passed, as for a silent line.
TEST_F(LinkSession, ReadingsWithoutAnAnswerAreNoAnswer)
{
    port.open("x");
    link.setAnswerTimeout(30); // the program waits 4 s; the behaviour is the same
    port.stream = buildReadingFrame({});
    EXPECT_FALSE(link.CmdConnect());
    EXPECT_EQ(view.last(), QStringLiteral("Прибор не отвечает при попытке установить соединение."));
    EXPECT_EQ(port.writes.size(), 1);
    EXPECT_EQ(cursor.depth, 0);
}

// Every command against every kind of answer.
TEST_F(LinkSession, CommandOutcomes)
{
    const QByteArray ok = buildAnswer(0);
    const QByteArray menu = hex("16 04 00 00 FA FF 80 05 79 FF");
    const QByteArray addr1 = hex("16 04 01 00 FA FF 80 00 7E FF");
    const QByteArray badSum = hex("16 04 00 00 FA FF 80 00 7F FF");
    const QByteArray code6 = buildAnswer(6);
    struct Cmd {
        bool (VoltmeterLink::*call)();
        QString noAnswer, rejected;
    } cmds[] = {
        {&VoltmeterLink::CmdConnect,
         QStringLiteral("Прибор не отвечает при попытке установить соединение."),
         QStringLiteral("Не удается подключиться к прибору.")},
        {&VoltmeterLink::CmdDisconnect,
         QStringLiteral("Ошибка связи: прибор не отвечает при завершении соединения."),
         QStringLiteral("Ошибка связи: не удается завершить соединение с прибором.")},
        {&VoltmeterLink::CmdSetParams,
         QStringLiteral(
             "Ошибка связи: прибор не отвечает при установке параметров работы прибора."),
         QStringLiteral("Ошибка приема: не удается установить параметры работы прибора.")},
        {&VoltmeterLink::CmdStartReceive,
         QStringLiteral("Ошибка связи: прибор не отвечает при включении приема данных."),
         QStringLiteral("Ошибка связи: не удается включить режим приема данных из прибора.")},
        {&VoltmeterLink::CmdStopReceive,
         QStringLiteral("Ошибка связи: прибор не отвечает при отключении приема данных."),
         QStringLiteral("Ошибка связи: не удается отключить режим приема данных из прибора.")},
    };
    port.open("x");
    for (const Cmd &cmd : cmds) {
        struct Case {
            QByteArray answer;
            bool result;
            QString status;
        } cases[] = {
            {ok, true, QStringLiteral("saved")},
            {ok.left(9), false, cmd.noAnswer},
            {QByteArray(), false, cmd.noAnswer},
            {menu, false, QStringLiteral("Ошибка связи: <- прибор находится в режиме меню.")},
            {addr1, false, cmd.rejected},
            {badSum, false, QStringLiteral("Ошибка связи: ошибка контрольной суммы данных.")},
            {code6, false, cmd.rejected},
        };
        for (const Case &c : cases) {
            port.answers.clear();
            port.input.clear();
            view.statuses.clear();
            port.queueAnswer(c.answer);
            if (cmd.call == &VoltmeterLink::CmdStopReceive && c.answer == addr1) {
                // Not an acknowledgement header: the stop command is tried three times.
                port.queueAnswer(addr1);
                port.queueAnswer(addr1);
            }
            EXPECT_EQ((link.*cmd.call)(), c.result) << cmd.noAnswer.toStdString();
            EXPECT_EQ(view.last(), c.status) << cmd.noAnswer.toStdString();
            EXPECT_EQ(cursor.depth, 0);
        }
    }
    // The connect command says what it is doing first.
    view.statuses.clear();
    port.queueAnswer(ok);
    link.CmdConnect();
    EXPECT_EQ(view.statuses.first(), QStringLiteral("1:Установка соединения ..."));
}

TEST_F(LinkSession, StatusTextsGoToTheCurrentChannelOnly)
{
    port.open("x");
    link.CurrentChannel = 2;
    link.CmdDisconnect();
    ASSERT_FALSE(view.statuses.isEmpty());
    EXPECT_TRUE(view.statuses.last().startsWith(QStringLiteral("2:")));
    view.statuses.clear();
    link.CurrentChannel = 0;
    link.CmdDisconnect();
    EXPECT_TRUE(view.statuses.isEmpty());
}

TEST_F(LinkSession, GuardsInOrder)
{
    const QString noPort = QStringLiteral("Внимание! Не выбран порт связи!");
    const QString notConnected =
        QStringLiteral("Внимание! Соединение с прибором еще не установлено!");
    const QString on = QStringLiteral("Внимание! Режим приема данных с прибора уже включен!");
    const QString off = QStringLiteral("Внимание! Режим приема данных с прибора еще не включен!");
    struct Row {
        bool open, connected, receiving;
        bool (VoltmeterLink::*call)();
        QString text;
    } rows[] = {
        {false, true, true, &VoltmeterLink::Disconnect, noPort},
        {true, false, false, &VoltmeterLink::Disconnect, notConnected},
        {false, false, false, &VoltmeterLink::SetMode, noPort},
        {true, false, true, &VoltmeterLink::SetMode, notConnected},
        {true, true, true, &VoltmeterLink::SetMode, on},
        {false, true, false, &VoltmeterLink::StartReceive, noPort},
        {true, false, false, &VoltmeterLink::StartReceive, notConnected},
        {true, true, true, &VoltmeterLink::StartReceive, on},
        {false, true, true, &VoltmeterLink::StopReceive, noPort},
        {true, false, true, &VoltmeterLink::StopReceive, notConnected},
        {true, true, false, &VoltmeterLink::StopReceive, off},
    };
    for (const Row &row : rows) {
        port.opened = row.open;
        link.LinkConnected = row.connected;
        link.ReceiveOn = row.receiving;
        port.writes.clear();
        EXPECT_FALSE((link.*row.call)()) << row.text.toStdString();
        EXPECT_EQ(view.last(), row.text);
        EXPECT_TRUE(port.writes.isEmpty()) << "a guard sends nothing";
        EXPECT_EQ(link.LinkConnected, row.connected);
        EXPECT_EQ(link.ReceiveOn, row.receiving);
    }
    // Connect has no guard and returns at once when connected.
    link.LinkConnected = true;
    EXPECT_TRUE(link.Connect());
    EXPECT_TRUE(port.writes.isEmpty());
}

// The voltmeter is still sending readings when the stop command goes out:
// the answer is found behind the rest of one frame and a whole one.
TEST_F(LinkSession, StopReceiveFindsItsAnswerBehindReadings)
{
    bringUp(true);
    ASSERT_TRUE(port.handlerAttached());
    const int purgesBefore = port.purgeCount;
    const QByteArray reading = buildReadingFrame({});
    port.queueAnswer(reading.mid(50) + reading + buildAnswer(0));
    EXPECT_TRUE(link.StopReceive());
    EXPECT_EQ(port.writes, QByteArrayList{stopReceiveFrame()});
    EXPECT_EQ(waits, std::vector<int>{500});
    EXPECT_EQ(port.purgeCount - purgesBefore, 1);
    EXPECT_FALSE(link.ReceiveOn);
    EXPECT_FALSE(port.handlerAttached());
    EXPECT_FALSE(port.deliveryActive());
    EXPECT_EQ(view.last(), QStringLiteral("saved"));
}

// An answer whose fixed bytes are wrong gets the stop command sent again,
// the queues purged, 100 ms later; at most three times in all.
TEST_F(LinkSession, StopReceiveRetriesWhileTheAnswerFailsItsFixedBytes)
{
    const QByteArray addr1 = hex("16 04 01 00 FA FF 80 00 7E FF");
    bringUp(true);
    const int purgesBefore = port.purgeCount;
    port.queueAnswer(addr1);
    port.queueAnswer(buildAnswer(0));
    EXPECT_TRUE(link.StopReceive());
    EXPECT_EQ(port.writes, QByteArrayList({stopReceiveFrame(), stopReceiveFrame()}));
    EXPECT_EQ(waits, std::vector<int>({500, 100}));
    EXPECT_EQ(port.purgeCount - purgesBefore, 2);
    EXPECT_FALSE(link.ReceiveOn);
    EXPECT_EQ(view.last(), QStringLiteral("saved"));
}

TEST_F(LinkSession, StopReceiveGivesUpAfterThreeAttempts)
{
    bringUp(true);
    for (int i = 0; i < 4; ++i)
        port.queueAnswer(hex("16 04 01 00 FA FF 80 00 7E FF"));
    EXPECT_FALSE(link.StopReceive());
    EXPECT_EQ(port.writes.size(), 3);
    EXPECT_EQ(waits, std::vector<int>({500, 100, 100}));
    EXPECT_EQ(view.last(),
              QStringLiteral("Ошибка связи: не удается отключить режим приема данных из прибора."));
    EXPECT_TRUE(link.ReceiveOn);
    EXPECT_TRUE(port.handlerAttached()); // re-attached: readings keep their handler
}

TEST_F(LinkSession, StopReceiveWithoutAnswerStopsAtOnce)
{
    bringUp(true);
    EXPECT_FALSE(link.StopReceive());
    EXPECT_EQ(port.writes.size(), 1);
    EXPECT_EQ(view.last(),
              QStringLiteral("Ошибка связи: прибор не отвечает при отключении приема данных."));
    EXPECT_TRUE(port.handlerAttached());
    EXPECT_TRUE(link.ReceiveOn);
}

TEST_F(LinkSession, StartReceiveAttachesAndResumesDelivery)
{
    bringUp(false);
    EXPECT_EQ(port.pauseCount(), 1);
    port.queueAnswer(buildAnswer(0));
    EXPECT_TRUE(link.StartReceive());
    EXPECT_EQ(port.writes, QByteArrayList{startReceiveFrame()});
    EXPECT_TRUE(port.handlerAttached());
    EXPECT_TRUE(port.deliveryActive());
    EXPECT_TRUE(link.ReceiveOn);
}

TEST_F(LinkSession, CloseLinkWalksBack)
{
    bringUp(true);
    port.queueAnswer(buildAnswer(0));
    port.queueAnswer(buildAnswer(0));
    link.CloseLink();
    EXPECT_EQ(port.writes, QByteArrayList({stopReceiveFrame(), disconnectFrame()}));
    EXPECT_FALSE(link.ReceiveOn);
    EXPECT_FALSE(link.LinkConnected);
    EXPECT_FALSE(port.isOpen());
}

TEST_F(LinkSession, PortNameBecomesADevice)
{
#ifndef Q_OS_WIN
    EXPECT_EQ(VoltmeterLink::deviceNameForPort(QStringLiteral("ttyS0")),
              QStringLiteral("/dev/ttyS0"));
    EXPECT_EQ(VoltmeterLink::deviceNameForPort(QStringLiteral("/tmp/taver")),
              QStringLiteral("/tmp/taver"));
#else
    EXPECT_EQ(VoltmeterLink::deviceNameForPort(QStringLiteral("COM3")),
              QStringLiteral("\\\\.\\COM3"));
#endif
}
