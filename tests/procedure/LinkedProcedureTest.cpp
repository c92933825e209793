// The procedure on the real voltmeter link over a scripted serial port: reading frames, cut into
// odd chunks (one frame at most per chunk, as the port delivers them at 9600 baud every 50 ms)
// and mixed with a damaged frame, end up in the right cells of the reading grid.
#include "ProcedureFixture.h"

#include "link/frames.h"
#include "link/link.h"
#include "tests/link/FakeSerialPort.h"

#include <QCoreApplication>

namespace kront::test
{
namespace
{

class LinkedProcedure : public ProcedureFixture
{
protected:
    void build(std::initializer_list<int> inputs)
    {
        settings.setTemperatureStabilityControl(false);
        makeBunch(1, inputs);
        makeEngine();
        link = std::make_unique<VoltmeterLink>(port, *engine);
        link->setReadingSink(engine.get());
        link->setDialogs(&dialogs);
        link->setWaitFunction([](int) {});
        LinkSettings s;
        s.Port = QStringLiteral("/dev/pts/9");
        link->setSettings(s);
        engine->setLink(link.get());
        for (int i = 0; i < 40; ++i)
            port.queueAnswer(frames::buildAnswer(0)); // every command is accepted
    }

    // Delivers the bytes in chunks of the given sizes (the rest in one) and runs the queue.
    void deliver(const QByteArray &bytes, std::initializer_list<int> chunks = {})
    {
        int at = 0;
        for (int size : chunks) {
            port.deliverChunk(bytes.mid(at, size));
            at += size;
        }
        port.deliverChunk(bytes.mid(at));
        QCoreApplication::sendPostedEvents(link.get());
        QCoreApplication::sendPostedEvents(link.get());
    }
    static QByteArray frame(const QByteArray &value)
    {
        return frames::buildReadingFrame({3, value, "0.000", 0, 0, '='});
    }

    FakeSerialPort port;
    std::unique_ptr<VoltmeterLink> link;
};

TEST_F(LinkedProcedure, EveryReadingLandsInItsCell)
{
    build({1, 3});
    std::optional<QStringList> lines;
    ParametersPage p1;
    p1.number = QStringLiteral("L1");
    p1.kindIndex = 1;
    p1.methodIndex = 0;
    ASSERT_TRUE(engine->acceptParametersPage(p1, lines));
    InspectionPage p3 = inspectionPage();
    ASSERT_TRUE(engine->acceptInspectionPage(p3));
    engine->JvWizardInteriorPage4Page();
    pump();
    ASSERT_TRUE(link->ReceiveOn);

    // Readings per reading order: the value of each, distinct for every cell.
    int n = 0;
    QStringList expected;
    while (!engine->Steps[0].AwaitingTsk && n < 20) {
        const int position = bi1.GetPosition(1);
        const bool reference = position == 0;
        const QByteArray value = reference ? QByteArray::number(2.7 + 0.001 * n, 'f', 3)
                                           : QByteArray::number(13.1 + 0.01 * n, 'f', 2);
        // an unsettled value first, a damaged frame, then three equal readings in odd chunks
        deliver(frame("9.999"), {5, 70});
        QByteArray damaged = frame(value);
        damaged[20] = 'x';
        deliver(damaged, {84});
        deliver(frame(value), {1});
        deliver(frame(value), {40, 40});
        deliver(frame(value));
        ASSERT_TRUE(view.controls[1].recordVisible) << "reading " << n;
        const ReadingCursor cursor = engine->GetMeasNumAndNextInput(1);
        engine->RecordToStringGrid();
        const QString recorded = QString::fromLatin1(value).replace(u'.', u',');
        EXPECT_EQ(engine->Grids[1][cursor.col][cursor.row], recorded) << "reading " << n;
        expected << recorded;
        ++n;
    }
    EXPECT_EQ(n, 12); // ОБР, 1, 3 / 3, 1, ОБР / ОБР, 1, 3 / 3, 1, ОБР
    EXPECT_FALSE(link->ReceiveOn);
    view.setEditText(1, ChannelEdit::SKTemperature, QStringLiteral("20"));
    engine->RecordToStringGrid();
    const auto rows = select(tables::ResultsTP, QStringLiteral("Operation = 'Measure'"));
    ASSERT_EQ(rows.size(), 4u);
    // series 1: ОБР (0), 1 (1), 3 (2); series 2: 3 (3), 1 (4), ОБР (5); ...
    EXPECT_DOUBLE_EQ(rows[0].value("E_et").toDouble(), 2.700);
    EXPECT_DOUBLE_EQ(rows[0].value("TEDSe1Inp1").toDouble(), 13.11);
    EXPECT_DOUBLE_EQ(rows[0].value("TEDSe1Inp3").toDouble(), 13.12);
    EXPECT_DOUBLE_EQ(rows[1].value("TEDSe1Inp3").toDouble(), 13.13);
    EXPECT_DOUBLE_EQ(rows[1].value("TEDSe1Inp1").toDouble(), 13.14);
    EXPECT_DOUBLE_EQ(rows[1].value("E_et").toDouble(), 2.705);
    EXPECT_DOUBLE_EQ(rows[2].value("E_et").toDouble(), 2.706);
    EXPECT_DOUBLE_EQ(rows[3].value("E_et").toDouble(), 2.711);
    EXPECT_DOUBLE_EQ(rows[3].value("TEDSe1Inp2").toDouble(), 0);
}

TEST_F(LinkedProcedure, APortThatFailsWhenTheRunStartsClosesTheWindow)
{
    build({1});
    std::optional<QStringList> lines;
    ParametersPage p1;
    p1.number = QStringLiteral("L2");
    p1.kindIndex = 1;
    p1.methodIndex = 0;
    ASSERT_TRUE(engine->acceptParametersPage(p1, lines));
    InspectionPage p3 = inspectionPage();
    ASSERT_TRUE(engine->acceptInspectionPage(p3));
    const QString state = storedState();
    port.openSucceeds = false;
    engine->JvWizardInteriorPage4Page();
    pump();
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(dialogs.count(QStringLiteral("Выбранный порт связи с ТАВЕР-7 не доступен!")), 1);
    EXPECT_EQ(storedState(), state); // resumable at the stored step
}

TEST_F(LinkedProcedure, APortThatDiesInTheMiddleOfARunLeavesTheStepResumable)
{
    build({1});
    std::optional<QStringList> lines;
    ParametersPage p1;
    p1.number = QStringLiteral("L3");
    p1.kindIndex = 1;
    p1.methodIndex = 0;
    ASSERT_TRUE(engine->acceptParametersPage(p1, lines));
    InspectionPage p3 = inspectionPage();
    ASSERT_TRUE(engine->acceptInspectionPage(p3));
    const QString state = storedState();
    engine->JvWizardInteriorPage4Page();
    pump();
    for (int i = 0; i < 3; ++i)
        deliver(frame("2.700"));
    engine->RecordToStringGrid();
    ASSERT_EQ(bi1.GetPosition(1), 1);
    // the device disappears: nothing more arrives and no command gets through
    port.writeFails = true;
    port.answers.clear();
    engine->WindowClosing();
    view.closeWindow();
    EXPECT_FALSE(port.isOpen());
    EXPECT_EQ(storedState(), state);
    EXPECT_EQ(db.DBGetRecordsCount(tables::ResultsTP, QString()), 0);
}

} // namespace
} // namespace kront::test
