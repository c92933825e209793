#include "ProcedureFixture.h"

#include "db/Sqlite.h"

namespace kront::test
{
namespace
{

class Recording : public ProcedureFixture
{
protected:
    int measureRowCount(const QString &extra = QString())
    {
        return db.DBGetRecordsCount(tables::ResultsTP,
                                    QStringLiteral("Operation = 'Measure'") + extra);
    }
    // Takes every reading of channel 1 but does not enter the cold junction.
    void readAll()
    {
        pump();
        for (int guard = 0; guard < 30 && !engine->Steps[0].AwaitingTsk; ++guard)
            ASSERT_TRUE(takeReading());
        ASSERT_TRUE(engine->Steps[0].AwaitingTsk);
    }
    int storedPointsCount()
    {
        const auto rows = select(tables::Poverki, QStringLiteral("ID = %1").arg(poverka.ID));
        return rows.empty() ? -1 : rows.front().value("TempPointsCount").toInt();
    }
};

TEST_F(Recording, TwentyPressesThenTheColdJunctionWritesFourRows)
{
    makeBunch(1, {1, 2, 3, 4});
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    pump();
    int presses = 0;
    while (!engine->Steps[0].AwaitingTsk && presses < 30) {
        ASSERT_TRUE(takeReading());
        ++presses;
    }
    EXPECT_EQ(presses, 20);
    EXPECT_EQ(meter.stopCalls, 1);
    EXPECT_FALSE(meter.receiving);
    EXPECT_EQ(measureRowCount(), 0); // nothing is written before the cold junction
    EXPECT_TRUE(view.controls[1].skVisible);

    // empty, then not a number: the step stays open
    view.setEditText(1, ChannelEdit::SKTemperature, QStringLiteral("  "));
    engine->RecordToStringGrid();
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Укажите значение температуры свободных концов эталонного ТП для "
                             "канала 1!"));
    view.setEditText(1, ChannelEdit::SKTemperature, QStringLiteral("2O"));
    engine->RecordToStringGrid();
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Указано недопустимое значение температуры свободных концов "
                             "эталонного ТП для канала 1!"));
    EXPECT_EQ(measureRowCount(), 0);

    view.setEditText(1, ChannelEdit::SKTemperature, QStringLiteral("21.5"));
    engine->RecordToStringGrid();
    EXPECT_EQ(view.editText(1, ChannelEdit::SKTemperature), QStringLiteral("21,5"));
    const auto rows = select(tables::ResultsTP, QStringLiteral("Operation = 'Measure'"));
    ASSERT_EQ(rows.size(), 4u);
    for (int n = 0; n < 4; ++n) {
        EXPECT_EQ(rows[std::size_t(n)].value("MeasNum").toInt(), n + 1);
        EXPECT_DOUBLE_EQ(rows[std::size_t(n)].value("Tsk").toDouble(), 21.5);
    }
    EXPECT_GT(db.DBGetRecordsCount(tables::ResultsTP, QStringLiteral("Operation = 'Delta'")), 0);
    EXPECT_TRUE(view.nextEnabled);
    EXPECT_TRUE(engine->Steps.empty());
    // a further press does nothing
    engine->RecordToStringGrid();
    EXPECT_EQ(measureRowCount(), 4);
}

// The ResultsTP file refuses the calculation rows of a step (a trigger stands for a write that
// fails once the table is open): the store's message at once, and the step stays open until
// a press stores all its rows, each once.
TEST_F(Recording, CalculationRowsThatCannotBeStoredKeepTheStepOpen)
{
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(0, 2));
    engine->JvWizardInteriorPage4Page();
    readAll();
    sqlite::Connection file;
    ASSERT_TRUE(file.openExisting(home.data(QStringLiteral("ResultsTP.cds"))));
    ASSERT_TRUE(file.exec(QStringLiteral(
        "CREATE TRIGGER refuse BEFORE INSERT ON \"ResultsTP\" WHEN NEW.\"Operation\" <> "
        "'Measure' BEGIN SELECT RAISE(ABORT, 'refused'); END")));
    file.close();

    view.setEditText(1, ChannelEdit::SKTemperature, QStringLiteral("20"));
    engine->RecordToStringGrid();
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Не удалось открыть базу данных результатов "
                                                  "поверок ТП! Операция отменена."));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    ASSERT_EQ(engine->Steps.size(), 1u);
    EXPECT_TRUE(engine->Steps[0].AwaitingTsk);
    EXPECT_FALSE(engine->Steps[0].TskEntered);
    EXPECT_FALSE(view.nextEnabled);
    EXPECT_EQ(storedState(), QStringLiteral("MainCycle;0;0;2;"));

    ASSERT_TRUE(file.openExisting(home.data(QStringLiteral("ResultsTP.cds"))));
    ASSERT_TRUE(file.exec(QStringLiteral("DROP TRIGGER refuse")));
    file.close();
    engine->RecordToStringGrid();
    EXPECT_TRUE(view.nextEnabled);
    EXPECT_EQ(storedState(), QStringLiteral("MainCycle;0;1;2;"));
    EXPECT_EQ(measureRowCount(), 4);
    EXPECT_EQ(db.DBGetRecordsCount(tables::ResultsTP, QStringLiteral("Operation = 'Delta'")), 1);
}

TEST_F(Recording, AMercuryReadingThatIsNotANumberIsRefused)
{
    makeBunch(1, {1}, true);
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    pump();
    view.setEditText(1, ChannelEdit::Thermostat, QStringLiteral("35O"));
    engine->RecordToStringGrid();
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Ошибка преобразования измеренного значения в число!"));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_TRUE(engine->Grids[1][1][1].isEmpty());
    EXPECT_EQ(bi1.GetPosition(1), 0);
    view.setEditText(1, ChannelEdit::Thermostat, QStringLiteral("350.4"));
    engine->RecordToStringGrid();
    EXPECT_EQ(engine->Grids[1][1][1], QStringLiteral("350,4"));
    EXPECT_DOUBLE_EQ(engine->Steps[0].Readings[1][0], 350.4);
    EXPECT_EQ(bi1.GetPosition(1), 1);
}

TEST_F(Recording, TypedMercuryReadingsThatDriftOfferTheAbort)
{
    makeBunch(1, {1}, true);
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    pump();
    view.setEditText(1, ChannelEdit::Thermostat, QStringLiteral("350"));
    engine->RecordToStringGrid();
    ASSERT_TRUE(takeReading()); // input 1
    ASSERT_TRUE(takeReading()); // input 1 again
    // back at the thermometer: 1.5 °C more than the first reading
    dialogs.on(QStringLiteral("Температурный ход превысил"), {Dialogs::Answer::Yes});
    view.setEditText(1, ChannelEdit::Thermostat, QStringLiteral("351,5"));
    engine->RecordToStringGrid();
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(measureRowCount(), 0);
}

// Voltmeter frames keep arriving while the operator types the thermometer of a later series:
// a voltmeter warming up or out of range refreshes the group but leaves the typed reading.
// Each new reading, and the next step, starts with an empty edit.
TEST_F(Recording, ATypedMercuryReadingStaysUntilItIsRecorded)
{
    makeBunch(1, {1}, true);
    ASSERT_TRUE(setUp(0, 2));
    engine->JvWizardInteriorPage4Page();
    pump();
    const auto typed = [this] { return view.editText(1, ChannelEdit::Thermostat); };
    view.setEditText(1, ChannelEdit::Thermostat, QStringLiteral("350"));
    engine->RecordToStringGrid();
    ASSERT_TRUE(takeReading()); // input 1
    ASSERT_TRUE(takeReading()); // input 1 again
    ASSERT_EQ(bi1.GetPosition(1), 0);
    ASSERT_TRUE(meter.receiving);
    EXPECT_TRUE(typed().isEmpty());

    view.setEditText(1, ChannelEdit::Thermostat, QStringLiteral("350,2"));
    struct Frame {
        const char *name;
        bool ready, outOfRange;
    };
    for (const Frame f : {Frame{"warming up", false, false}, Frame{"out of range", true, true},
                          Frame{"ready", true, false}}) {
        meter.ready = f.ready;
        meter.outOfRange = f.outOfRange;
        engine->refreshChannelControls(1);
        EXPECT_EQ(typed(), QStringLiteral("350,2")) << f.name;
        EXPECT_TRUE(view.controls[1].recordVisible) << f.name;
    }
    engine->RecordToStringGrid();
    EXPECT_EQ(engine->Grids[1][2][1], QStringLiteral("350,2"));

    ASSERT_TRUE(measureChannel());
    EXPECT_FALSE(engine->acceptMeasurementPage());
    pump();
    ASSERT_EQ(bi1.GetPosition(1), 0);
    EXPECT_TRUE(typed().isEmpty()); // the next step's first reading
}

TEST_F(Recording, TerminationAtTheThirdPointShortensTheStepCount)
{
    settings.setOfferPoverkaTermination(true);
    makeBunch(1, {1, 2});
    inputOffset[2] = 0.5; // input 2 is 12 °C off its characteristic
    ASSERT_TRUE(setUp(0, 5));
    dialogs.on(QStringLiteral("Отклонение от НСХ превысило"),
               {Dialogs::Answer::No, Dialogs::Answer::No, Dialogs::Answer::Yes});
    engine->JvWizardInteriorPage4Page();
    for (int point = 0; point < 3; ++point) {
        ASSERT_TRUE(measureStep()) << point;
        if (point < 2) {
            EXPECT_FALSE(engine->acceptMeasurementPage());
        }
    }
    EXPECT_EQ(dialogs.count(QStringLiteral("№ 12, подключенный ко входу 2 канала 1")), 3);
    EXPECT_TRUE(bunches[1]->PovTerminated);
    EXPECT_EQ(bunches[1]->PovTermMeasPointNum, 2u);
    const auto b = select(tables::BunchesTP, QStringLiteral("ID = %1").arg(bunches[1]->ID));
    ASSERT_EQ(b.size(), 1u);
    EXPECT_TRUE(b[0].value("PovTerminated").toBool());
    EXPECT_EQ(b[0].value("PovTermMeasPointNum").toInt(), 2);
    EXPECT_EQ(storedPointsCount(), 3); // points 0, 1 and 2 were measured
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;0;1;"));
    EXPECT_TRUE(engine->acceptMeasurementPage()); // on to the classes
    engine->JvWizardInteriorPage5Page();
    EXPECT_EQ(view.conclusion[1].rows[2].klass, QStringLiteral("Брак"));
    EXPECT_EQ(view.conclusion[1].rows[1].klass, QStringLiteral("2"));
}

TEST_F(Recording, ATerminatedChannelIsNeverMeasuredAgain)
{
    settings.setOfferPoverkaTermination(true);
    makeBunch(1, {1});
    makeBunch(2, {1});
    inputOffset[1] = 0.5;
    ASSERT_TRUE(setUp(0, 2));
    dialogs.on(QStringLiteral("Отклонение от НСХ превысило"),
               {Dialogs::Answer::Yes, Dialogs::Answer::No});
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    EXPECT_TRUE(bunches[1]->PovTerminated);
    EXPECT_FALSE(bunches[2]->PovTerminated);
    EXPECT_EQ(storedState(), QStringLiteral("MainCycle;0;1;2;")); // channel 2 goes on
    EXPECT_FALSE(engine->acceptMeasurementPage());
    EXPECT_FALSE(view.controls[1].groupEnabled);
    pump();
    EXPECT_EQ(engine->CurrentChannel, 2);
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(db.DBGetRecordsCount(tables::ResultsTP,
                                   QStringLiteral("Operation = 'Measure' and MeasPointNum = 1 and "
                                                  "BunchID = %1")
                                       .arg(bunches[1]->ID)),
              0);
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;0;1;"));
}

TEST_F(Recording, InstabilityCheckAndTakeOverStartTheMainCycleAtItsSecondPoint)
{
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(0, 3, /*primary*/ 0, /*instability*/ true));
    EXPECT_EQ(storedState(), QStringLiteral("Instability;0;0;2;"));
    EXPECT_EQ(view.subtitles.last(), QStringLiteral("Проверка нестабильности: до отжига"));
    dialogs.on(QStringLiteral("Использовать результаты замеров после отжига"),
               {Dialogs::Answer::Yes});
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(storedState(), QStringLiteral("Instability;0;1;2;"));
    EXPECT_FALSE(engine->acceptMeasurementPage());
    EXPECT_EQ(view.subtitles.last(), QStringLiteral("Проверка нестабильности: после отжига"));
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(dialogs.count(QStringLiteral("Отменить поверку?")), 0); // stable thermocouples
    EXPECT_EQ(storedState(), QStringLiteral("MainCycle;1;1;3;"));
    EXPECT_EQ(measureRowCount(QStringLiteral(" and Stage = 'MainCycle' and MeasPointNum = 0")), 4);
    EXPECT_FALSE(engine->acceptMeasurementPage());
    EXPECT_EQ(view.subtitles.last(), QStringLiteral("Определение ТЭДС при 2-й температуре"));
}

TEST_F(Recording, TakingOverOutOfToleranceReadingsOffersTheTermination)
{
    settings.setOfferPoverkaTermination(true);
    makeBunch(1, {1});
    inputOffset[1] = 0.5; // off its characteristic, but the same before and after annealing
    ASSERT_TRUE(setUp(0, 3, 0, true));
    dialogs.on(QStringLiteral("Использовать результаты замеров после отжига"),
               {Dialogs::Answer::Yes});
    dialogs.on(QStringLiteral("Отклонение от НСХ превысило"), {Dialogs::Answer::Yes});
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(dialogs.count(QStringLiteral("Отклонение от НСХ превысило")), 0); // not offered
    engine->acceptMeasurementPage();
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(dialogs.count(QStringLiteral("Отклонение от НСХ превысило")), 1);
    EXPECT_TRUE(bunches[1]->PovTerminated);
    EXPECT_EQ(bunches[1]->PovTermMeasPointNum, 0u);
    // the only channel ended at the first point: the calculation follows
    EXPECT_EQ(storedState(), QStringLiteral("MainCycle;1;1;1;"));
    EXPECT_EQ(storedPointsCount(), 1);
    EXPECT_TRUE(engine->acceptMeasurementPage());
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;1;1;1;"));
}

TEST_F(Recording, WithoutTakeOverTheMainCycleStartsAtItsFirstPoint)
{
    makeBunch(1, {1});
    ASSERT_TRUE(setUp(0, 2, 0, true));
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    engine->acceptMeasurementPage();
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(dialogs.count(QStringLiteral("Использовать результаты замеров после отжига")), 1);
    EXPECT_EQ(storedState(), QStringLiteral("MainCycle;1;0;2;"));
    engine->acceptMeasurementPage();
    EXPECT_EQ(view.subtitles.last(), QStringLiteral("Определение ТЭДС при 1-й температуре"));
}

TEST_F(Recording, AnUnstableThermocoupleOffersToCancel)
{
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(0, 2, 0, true));
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    engine->acceptMeasurementPage();
    inputOffset[1] = 0.2; // input 1 changed by about 5 °C in the annealing
    dialogs.on(QStringLiteral("Отменить поверку?"), {Dialogs::Answer::Yes});
    measureStep();
    EXPECT_EQ(dialogs.count(QStringLiteral("Отменить поверку?")), 1);
    for (const auto &shown : dialogs.shown) {
        if (shown.text.endsWith(QStringLiteral("Отменить поверку?"))) {
            EXPECT_TRUE(shown.text.startsWith(QStringLiteral("Внимание! ")));
        }
    }
    EXPECT_TRUE(view.closed);
    // the verdict was stored before the question: the instability stage is done
    EXPECT_EQ(storedState(), QStringLiteral("Instability;1;2;2;"));
}

// Both channels are ended after the same point of four, each at its own offer.
class EveryChannelEnded : public Recording, public ::testing::WithParamInterface<int>
{
};

TEST_P(EveryChannelEnded, TheVerificationKeepsThePointsMeasuredAndIsCalculatedOverThem)
{
    const int last = GetParam();
    settings.setOfferPoverkaTermination(true);
    makeBunch(1, {1, 2});
    makeBunch(2, {1});
    inputOffset[1] = 0.5; // input 1 of both channels is 12 °C off its characteristic
    ASSERT_TRUE(setUp(0, 4));
    std::deque<Dialogs::Answer> answers(std::size_t(2 * last), Dialogs::Answer::No);
    answers.insert(answers.end(), 2, Dialogs::Answer::Yes);
    dialogs.rules.emplace_back(QStringLiteral("Отклонение от НСХ превысило"), answers);
    engine->JvWizardInteriorPage4Page();
    for (int point = 0; point <= last; ++point) {
        ASSERT_TRUE(measureStep()) << point;
        if (point < last) {
            EXPECT_FALSE(engine->acceptMeasurementPage());
        }
    }
    EXPECT_TRUE(bunches[1]->PovTerminated && bunches[2]->PovTerminated);
    EXPECT_EQ(storedPointsCount(), last + 1);
    EXPECT_EQ(poverka.StepCount, 1u); // the calculation follows the point where both ended
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;0;1;"));

    EXPECT_TRUE(engine->acceptMeasurementPage());
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;1;1;"));
    EXPECT_EQ(storedPointsCount(), last + 1);
    EXPECT_EQ(measureRowCount(QStringLiteral(" and MeasPointNum = %1").arg(last)), 8);
    EXPECT_EQ(measureRowCount(QStringLiteral(" and MeasPointNum > %1").arg(last)), 0);
    engine->JvWizardInteriorPage5Page();
    EXPECT_EQ(view.conclusion[1].rows[1].klass, QStringLiteral("Брак"));
    EXPECT_EQ(view.conclusion[1].rows[2].klass, QStringLiteral("2"));
    EXPECT_EQ(view.conclusion[2].rows[1].klass, QStringLiteral("Брак"));
}

INSTANTIATE_TEST_SUITE_P(AfterPoint, EveryChannelEnded, ::testing::Values(0, 1, 3));

} // namespace
} // namespace kront::test
