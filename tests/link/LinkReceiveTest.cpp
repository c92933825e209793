#include "LinkFixture.h"

using namespace kront;
using namespace kront::test;

namespace
{

const QString kWhen = QStringLiteral("10.12.2026 09:05:07");

QByteArray readingFrame(const char *v1, const char *v2 = "0.000", quint8 flags1 = 0,
                        quint8 flags2 = 0, char warmup = '=', quint8 mode = 3)
{
    return buildReadingFrame({mode, v1, v2, flags1, flags2, warmup});
}

class ReceivePath : public LinkSession
{
protected:
    void SetUp() override { bringUp(true); }
};

} // namespace

TEST_F(ReceivePath, ReadingFrameSplitInThreeChunksIsHandedOnOnce)
{
    const QByteArray f = readingFrame("1.234");
    port.deliverChunk(f.left(3));
    port.deliverChunk(f.mid(3, 40));
    QCoreApplication::sendPostedEvents(&link);
    EXPECT_TRUE(sink.values.empty());
    deliverAndProcess(f.mid(43));
    EXPECT_EQ(sink.values, std::vector<double>{1.234});
    EXPECT_EQ(view.last(), QStringLiteral("saved"));
    EXPECT_TRUE(link.MeterReady);
    EXPECT_EQ(bufferBytes(link.frameBuffer(), kReadingFrameSize), f);
}

// Readings less than a poll apart reach the port in one chunk: each is
// handed on, in order, with no receive error.
TEST_F(ReceivePath, ReadingsDeliveredInOneChunkAreAllHandedOn)
{
    const QByteArray a = readingFrame("1.234"), b = readingFrame("1.240"),
                     c = readingFrame("1.251");
    deliverAndProcess(a + b + c.left(10));
    EXPECT_EQ(sink.values, (std::vector<double>{1.234, 1.240}));
    deliverAndProcess(c.mid(10));
    EXPECT_EQ(sink.values, (std::vector<double>{1.234, 1.240, 1.251}));
    EXPECT_EQ(view.last(), QStringLiteral("saved"));
}

TEST_F(ReceivePath, ReceiveErrorsAreStatusTextsWithDateAndTime)
{
    const QByteArray good = readingFrame("1.0");
    QByteArray badHeader = good;
    badHeader[5] = 0;
    QByteArray badData = good;
    badData[20] = 'x';
    QByteArray addr1 = good;
    addr1[2] = 1;
    addr1[4] = char(quint8(addr1[4]) - 1);
    struct Row {
        QByteArray chunk;
        QStringList texts;
    } rows[] = {
        {badHeader,
         {QStringLiteral("Ошибка связи: неверная контрольная сумма заголовка команды"),
          QStringLiteral("Ошибка приема(%1): неверная контрольная сумма заголовка команды")
              .arg(kWhen)}},
        {addr1,
         {QStringLiteral("Ошибка приема(%1): неверный адрес (ADDR) в заголовке команды")
              .arg(kWhen)}},
        {badData,
         {QStringLiteral("Ошибка связи: неверная контрольная сумма данных"),
          QStringLiteral("Ошибка приема(%1): неверная контрольная сумма информационной части "
                         "команды")
              .arg(kWhen)}},
        {buildFrame(kAddrMeter, QByteArray("\x54\x01")),
         {QStringLiteral("Ошибка приема(%1): неверный код команды (TYPE) в информационной части "
                         "команды")
              .arg(kWhen)}},
        {good + QByteArray(300, '\0'),
         {QStringLiteral("Ошибка(%1): Принятые данные превысили размер входного буфера")
              .arg(kWhen)}},
        {buildAnswer(0),
         {QStringLiteral("saved"),
          QStringLiteral("Ошибка обмена(%1): в режиме приема данных получен неизвестный ответ от "
                         "прибора.")
              .arg(kWhen)}},
    };
    for (const Row &row : rows) {
        view.statuses.clear();
        deliverAndProcess(row.chunk);
        QStringList shown;
        for (const QString &s : view.statuses)
            shown << s.mid(2);
        EXPECT_EQ(shown, row.texts) << row.texts.last().toStdString();
        EXPECT_TRUE(sink.values.empty());
        // The next good frame is taken normally.
        deliverAndProcess(good);
        EXPECT_EQ(sink.values, std::vector<double>{1.0});
        sink.values.clear();
    }
}

TEST_F(ReceivePath, MeterStateFromTheReadingFrame)
{
    const QString notWarm = QStringLiteral("Измеритель ТАВЕР-7 не прогрет");
    const QString hot = QStringLiteral("Измеритель ТАВЕР-7 перегрет");
    const QString above =
        QStringLiteral("Измеряемая вольтметром величина превысила допустимое значение");
    const QString below =
        QStringLiteral("Измеряемая вольтметром величина ниже допустимого значения");
    struct Step {
        QByteArray frame;
        int meterChannel;
        QString status;
        bool handedOn;
        double value;
        bool ready, outOfRange;
    } steps[] = {
        {readingFrame("1.5", "2.5", 0, 0, '<'), 1, notWarm, false, 0, false, false},
        {readingFrame("1.5", "2.5", 0, 0, ' '), 1, notWarm, false, 0, false, false}, // stays
        {readingFrame("1.5", "2.5", 0, 0, '>'), 1, hot, false, 0, false, false},
        {readingFrame("1.5", "2.5", 0, 0, '='), 1, QStringLiteral("saved"), true, 1.5, true, false},
        {readingFrame("1.5", "2.5", 0, 0, ' '), 2, QStringLiteral("saved"), true, 2.5, true, false},
        {readingFrame("1.5", "2.5", 0, kFlagBelow), 2, below, false, 0, true, true},
        {readingFrame("1.5", "2.5", 0, kFlagBelow), 1, QStringLiteral("saved"), true, 1.5, true,
         false},
        {readingFrame("1.5", "2.5", kFlagAbove | kFlagBelow), 1, above, false, 0, true, true},
        {readingFrame("1.5", "2.5", 0, 0, '=', 1), 2, QStringLiteral("saved"), true, 0.0, true,
         false}, // mode 1: channel 2 reads "0"
        {readingFrame("1.234\xC5-01"), 1, QStringLiteral("saved"), true, 0.1234, true, false},
        {readingFrame("  "), 1, QStringLiteral("saved"), false, 0, true, false}, // empty: silent
        {readingFrame("OVER"), 1, QStringLiteral("Ошибка преобразования измеренного значения!"),
         false, 0, true, false},
    };
    int i = 0;
    for (const Step &s : steps) {
        LinkSettings settings = link.linkSettings();
        settings.MeterChannel = s.meterChannel;
        link.setSettings(settings);
        sink.values.clear();
        view.refreshed.clear();
        deliverAndProcess(s.frame);
        EXPECT_EQ(view.last(), s.status) << "step " << i;
        EXPECT_EQ(link.MeterReady, s.ready) << "step " << i;
        EXPECT_EQ(link.MeterOutOfRange, s.outOfRange) << "step " << i;
        if (s.handedOn) {
            ASSERT_EQ(sink.values.size(), 1u) << "step " << i;
            EXPECT_DOUBLE_EQ(sink.values[0], s.value) << "step " << i;
        } else {
            EXPECT_TRUE(sink.values.empty()) << "step " << i;
        }
        const bool refreshExpected = !s.ready || s.outOfRange;
        EXPECT_EQ(view.refreshed, refreshExpected ? std::vector<int>{1} : std::vector<int>{})
            << "step " << i;
        ++i;
    }
}

TEST_F(ReceivePath, NoReadingEventAfterTransmissionStopped)
{
    const QByteArray f = readingFrame("3.0");
    port.deliverChunk(f);
    link.ReceiveOn = false; // stopped before the frame event was handled
    QCoreApplication::sendPostedEvents(&link);
    QCoreApplication::sendPostedEvents(&link);
    EXPECT_TRUE(sink.values.empty());
}

TEST_F(ReceivePath, DeliveryPausedDuringAnExchange)
{
    port.pauseDelivery();
    EXPECT_FALSE(port.deliverChunk(readingFrame("1")));
    port.resumeDelivery();
    EXPECT_TRUE(port.deliverChunk(readingFrame("1")));
    // A blocking read runs with delivery paused.
    port.queueAnswer(buildAnswer(0));
    port.pauseCountsDuringRead.clear();
    link.CmdDisconnect();
    ASSERT_EQ(port.pauseCountsDuringRead.size(), 1u);
    EXPECT_GE(port.pauseCountsDuringRead[0], 1);
}
