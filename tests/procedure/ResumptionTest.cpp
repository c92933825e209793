#include "ProcedureFixture.h"

#include "procedure/UnfinishedVerifications.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace kront::test
{
namespace
{

TEST(UnfinishedStageText, StateStringsAsListed)
{
    struct Case {
        bool instability;
        const char *state;
        const char *text;
    };
    const Case cases[] = {
        {true, "Instability;0;1;2;", "Проверка нестабильности, после отжига"},
        {true, "Initiation;0;0;0;", "Инициализация, до отжига"},
        {true, "Instability;0;0;2;", "Проверка нестабильности, до отжига"},
        {true, "MainCycle;1;2;5;", "Определение ТЭДС ЧЭ ТП, шаг 2 из 5"},
        {false, "MainCycle;0;2;5;", "Определение ТЭДС ЧЭ ТП, шаг 2 из 5"},
        {false, "Calculation;0;0;1;", "Обработка результатов, шаг 0 из 1"},
        {false, "Initiation;0;0;0;", "Инициализация, шаг 0 из 0"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(UnfinishedVerifications::StageText(c.instability, QString::fromLatin1(c.state)),
                  QString::fromUtf8(c.text))
            << c.state;
}

class Resumption : public ProcedureFixture
{
protected:
    Resumption() : list(db, dialogs) {}

    // A stored verification row with a state; its ID.
    int storePoverka(const QString &number, const QString &state, bool finished = false)
    {
        db.DBPoverkaInsert(
            TableRow(tables::Poverki, {{"PovNum", number},
                                       {"Started", clock.now()},
                                       {"Finished", finished ? QVariant(clock.now()) : QVariant()},
                                       {"GOSTnum", "ГОСТ 8.338-2002"},
                                       {"Methodic", 1},
                                       {"Kind", 0},
                                       {"InstabilityCheckNeeded", true},
                                       {"TempPointsCount", 3},
                                       {"EquipmentParams", "a\r\nb"},
                                       {"CurrPovState", state}}));
        return db.DBGetMaxID(tables::Poverki, QString());
    }

    // The operator closes the window, picks the verification from the list and continues it.
    std::unique_ptr<TPoverka> reopen()
    {
        engine->WindowClosing();
        view = FakeView();
        dialogs.on(QStringLiteral("Вы хотите продолжить поверку"), {Dialogs::Answer::Yes});
        const auto rows = list.List();
        if (!rows || rows->size() != 1)
            return nullptr;
        auto resumed = list.Resume(rows->front());
        if (!resumed)
            return nullptr;
        bi1 = TBi1();
        meter = FakeMeter();
        engine = std::make_unique<PoverkaEngine>(*resumed, bi1, db, dialogs, settings, view);
        engine->setLink(&meter);
        return resumed;
    }

    UnfinishedVerifications list;
};

TEST_F(Resumption, TheListShowsOnlyUnfinishedVerifications)
{
    storePoverka(QStringLiteral("1"), QStringLiteral("MainCycle;0;2;5;"), true);
    storePoverka(QStringLiteral("2"), QStringLiteral("Calculation;0;1;1;"));
    storePoverka(QStringLiteral("3"), QStringLiteral("Calculation;1;1;1;"));
    const int id = storePoverka(QStringLiteral("4"), QStringLiteral("Instability;0;1;2;"));
    const auto rows = list.List();
    ASSERT_TRUE(rows.has_value());
    ASSERT_EQ(rows->size(), 1u);
    const UnfinishedRow &r = rows->front();
    EXPECT_EQ(r.cells[0], QStringLiteral("4"));
    EXPECT_EQ(r.cells[1], QStringLiteral("10.12.2026 09:00:00"));
    EXPECT_EQ(r.cells[2], QStringLiteral("Поэлектродное сличение"));
    EXPECT_EQ(r.cells[3], QStringLiteral("Первичная"));
    EXPECT_EQ(r.cells[4], QStringLiteral("Проверка нестабильности, после отжига"));
    EXPECT_EQ(r.cells[5], QString::number(id));
    EXPECT_EQ(r.id, id);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(Resumption, DeletionAsksAndTheEmptyListSaysSo)
{
    storePoverka(QStringLiteral("O'5"), QStringLiteral("MainCycle;0;0;2;"));
    auto rows = list.List();
    ASSERT_EQ(rows->size(), 1u);
    list.Delete(rows->front()); // No
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Вы действительно хотите удалить поверку №O'5 от 10.12.2026 09:00:00 "
                             "со всеми её результатами из базы данных?"));
    EXPECT_EQ(list.List()->size(), 1u);
    dialogs.on(QStringLiteral("удалить поверку"), {Dialogs::Answer::Yes});
    list.Delete(rows->front());
    dialogs.clear();
    rows = list.List();
    ASSERT_TRUE(rows.has_value());
    EXPECT_TRUE(rows->empty());
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Незавершенные поверки не найдены."));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Information);
}

TEST_F(Resumption, ClosedMidStepContinuesAtTheStoredStep)
{
    makeBunch(1, {1, 2});
    makeBunch(2, {3});
    ASSERT_TRUE(setUp(0, 2));
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    engine->acceptMeasurementPage();
    pump();
    ASSERT_TRUE(takeReading());
    ASSERT_TRUE(takeReading());
    const int before = db.DBGetRecordsCount(tables::ResultsTP, QString());

    auto resumed = reopen();
    ASSERT_TRUE(resumed);
    EXPECT_EQ(meter.closeCalls, 0);
    EXPECT_EQ(resumed->ID, poverka.ID);
    EXPECT_EQ(resumed->Stage, stMainCycle);
    EXPECT_EQ(resumed->StepIndex, 1u);
    EXPECT_EQ(resumed->StepCount, 2u);
    EXPECT_EQ(resumed->EquipmentParams,
              QStringList{QStringLiteral("Установка типа КРОНТ-2М, № 5")});
    ASSERT_EQ(resumed->OwnedBunches.size(), 2u);
    ASSERT_TRUE(resumed->Bunches[1] && resumed->Bunches[2]);
    EXPECT_EQ(resumed->Bunches[1]->ID, bunches[1]->ID);
    EXPECT_EQ(resumed->Bunches[1]->EtalSensor->NSHType, nshPPO);
    EXPECT_EQ(resumed->Bunches[2]->Sensors[3]->SerialNum, QStringLiteral("23"));
    EXPECT_FALSE(resumed->ChannelUnused[1]);
    EXPECT_FALSE(resumed->ChannelUnused[2]);
    EXPECT_EQ(db.DBGetRecordsCount(tables::ResultsTP, QString()), before);

    ASSERT_TRUE(engine->PrepareResumed());
    EXPECT_EQ(view.page, PoverkaPage::Measurement);
    EXPECT_EQ(view.subtitles.last(), QStringLiteral("Определение ТЭДС при 2-й температуре"));
    EXPECT_TRUE(engine->Grids[1][1][1].isEmpty()); // the step starts again with empty grids
    engine->JvWizardInteriorPage4Page();
    // the rest of the verification runs on the rebuilt bunches; the fixture's helpers read
    // the step index of the resumed verification
    poverka.StepIndex = resumed->StepIndex;
    poverka.Methodic = resumed->Methodic;
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(db.DBGetRecordsCount(tables::ResultsTP,
                                   QStringLiteral("Operation = 'Measure' and MeasPointNum = 1")),
              8);
    EXPECT_TRUE(engine->acceptMeasurementPage());
    engine->JvWizardInteriorPage5Page();
    EXPECT_EQ(view.conclusion[1].rows[2].serial, QStringLiteral("12"));
    EXPECT_EQ(view.conclusion[1].rows[2].conclusion, QStringLiteral("Годен. "));
    EXPECT_EQ(view.conclusion[2].rows[3].klass, QStringLiteral("2"));
    EXPECT_TRUE(list.List()->empty());
}

TEST_F(Resumption, ClosedAfterTheLastStepGoesStraightToTheConclusion)
{
    makeBunch(1, {1});
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;0;1;"));
    auto resumed = reopen();
    ASSERT_TRUE(resumed);
    EXPECT_EQ(list.List().value_or(std::vector<UnfinishedRow>{1}).size(), 1u);
    ASSERT_TRUE(engine->PrepareResumed()); // the classes are determined now
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;1;1;"));
    EXPECT_TRUE(view.nextEnabled);
    engine->JvWizardInteriorPage4Page();
    EXPECT_EQ(view.posted, 0); // nothing to measure
    EXPECT_TRUE(engine->acceptMeasurementPage());
    const auto rows = select(tables::Poverki, QString());
    EXPECT_FALSE(rows[0].value("Finished").isNull());
}

TEST_F(Resumption, EndedAfterTheFirstPointIsCalculatedOverThatPointAlone)
{
    settings.setOfferPoverkaTermination(true);
    makeBunch(1, {1, 2});
    inputOffset[1] = 0.5; // off its characteristic
    ASSERT_TRUE(setUp(0, 3));
    dialogs.on(QStringLiteral("Отклонение от НСХ превысило"), {Dialogs::Answer::Yes});
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;0;1;"));
    auto resumed = reopen();
    ASSERT_TRUE(resumed);
    EXPECT_EQ(resumed->TempPointsCount, 1u); // the one point measured
    EXPECT_TRUE(resumed->Bunches[1]->PovTerminated);
    ASSERT_TRUE(engine->PrepareResumed());
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;1;1;"));
    EXPECT_TRUE(engine->acceptMeasurementPage());
    engine->JvWizardInteriorPage5Page();
    EXPECT_EQ(view.conclusion[1].rows[1].klass, QStringLiteral("Брак"));
    EXPECT_EQ(view.conclusion[1].rows[2].klass, QStringLiteral("2"));
    EXPECT_TRUE(list.List()->empty());
}

TEST_F(Resumption, ClosedBetweenTheInstabilityStepsContinuesAfterAnnealing)
{
    makeBunch(1, {1});
    ASSERT_TRUE(setUp(0, 1, 0, true));
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    auto resumed = reopen();
    ASSERT_TRUE(resumed);
    ASSERT_TRUE(engine->PrepareResumed());
    EXPECT_EQ(view.subtitles.last(), QStringLiteral("Проверка нестабильности: после отжига"));
    EXPECT_EQ(resumed->Stage, stInstability);
    EXPECT_EQ(resumed->StepIndex, 1u);
}

// The program stops (window closed, power cut) while a question at the end of the instability
// stage is open: the table files stay as they were at that moment. Continuing asks that
// question again and measures neither annealing step a second time.
struct StopCase {
    const char *name;
    const char *stopAt;  // the question open when the program stops
    double offsetBefore; // mV on input 1 before annealing
    double offsetAfter;  // and after it
    bool offerTermination;
    bool takeOverAgain; // the answer to the take-over question after continuing
    const char *stoppedState;
    const char *continuedState;
};

void PrintTo(const StopCase &c, std::ostream *os)
{
    *os << c.name;
}

const char *const kTakeOver = "Использовать результаты замеров после отжига";

class StoppedAtTheEndOfTheInstabilityStage : public Resumption,
                                             public ::testing::WithParamInterface<StopCase>
{
protected:
    // From the first message box holding `text` on, the table files are kept as they were
    // while it was open.
    void stopAt(const QString &text)
    {
        dialogs.onMessage = [this, text](const QString &shown) {
            if (stopped || !shown.contains(text))
                return;
            stopped = true;
            const QDir data(home.path() + QStringLiteral("/Data"));
            for (const QString &name : data.entryList(QDir::Files))
                ASSERT_TRUE(QFile::copy(data.filePath(name), atStop.filePath(name)));
        };
    }
    // The program starts again on the files the stop left.
    void restart()
    {
        dialogs.onMessage = nullptr;
        for (const QString &name : QDir(atStop.path()).entryList(QDir::Files)) {
            QFile::remove(home.data(name));
            ASSERT_TRUE(QFile::copy(atStop.filePath(name), home.data(name)));
        }
    }
    int rowCount(const QString &filter) { return db.DBGetRecordsCount(tables::ResultsTP, filter); }

    bool stopped = false;
    QTemporaryDir atStop;
};

TEST_P(StoppedAtTheEndOfTheInstabilityStage, ContinuingAsksAgainAndMeasuresNothingTwice)
{
    const StopCase &c = GetParam();
    settings.setOfferPoverkaTermination(c.offerTermination);
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(0, 2, 0, true));
    dialogs.on(QString::fromUtf8(kTakeOver), {Dialogs::Answer::Yes});
    stopAt(QString::fromUtf8(c.stopAt));
    inputOffset[1] = c.offsetBefore;
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    engine->acceptMeasurementPage();
    inputOffset[1] = c.offsetAfter;
    measureStep();
    ASSERT_TRUE(stopped);
    restart();
    EXPECT_EQ(storedState(), QString::fromUtf8(c.stoppedState));

    dialogs.rules.clear();
    dialogs.on(QString::fromUtf8(kTakeOver),
               {c.takeOverAgain ? Dialogs::Answer::Yes : Dialogs::Answer::No});
    dialogs.clear();
    auto resumed = reopen();
    ASSERT_TRUE(resumed);
    ASSERT_TRUE(engine->PrepareResumed());
    EXPECT_EQ(dialogs.count(QString::fromUtf8(c.stopAt)), 1);
    EXPECT_EQ(dialogs.count(QString::fromUtf8(kTakeOver)), 1);
    EXPECT_EQ(storedState(), QString::fromUtf8(c.continuedState));
    EXPECT_FALSE(view.subtitles.contains(QStringLiteral("Проверка нестабильности: после отжига")));
    EXPECT_EQ(view.subtitles.last(),
              QStringLiteral("Определение ТЭДС при %1-й температуре").arg(resumed->StepIndex + 1));
    EXPECT_EQ(rowCount(QStringLiteral("Stage = 'Instability' and Operation = 'Measure'")), 8);
    EXPECT_EQ(rowCount(QStringLiteral("Stage = 'Instability' and MeasPointNum > 1")), 0);

    // The rest of the verification; the fixture's helpers read the resumed step index.
    engine->JvWizardInteriorPage4Page();
    for (int guard = 0; guard < 3 && resumed->Stage == stMainCycle; ++guard) {
        poverka.StepIndex = resumed->StepIndex;
        ASSERT_TRUE(measureStep());
        engine->acceptMeasurementPage();
    }
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;1;1;1;"));
    // Every main-cycle point once, taken over or measured, with one set of results.
    for (int point = 0; point < 2; ++point) {
        const QString at = QStringLiteral(" and MeasPointNum = %1").arg(point);
        EXPECT_EQ(rowCount("Stage = 'MainCycle' and Operation = 'Measure'" + at), 4) << point;
        EXPECT_EQ(rowCount("Stage = 'Calculation' and Operation = 'Delta'" + at), 1) << point;
    }
    EXPECT_EQ(rowCount(QStringLiteral("Stage = 'Instability'")), 2 * (4 + 6));
}

INSTANTIATE_TEST_SUITE_P(
    Questions, StoppedAtTheEndOfTheInstabilityStage,
    ::testing::Values(StopCase{"TakeOverThenYes", kTakeOver, 0, 0, false, true,
                               "Instability;0;2;2;", "MainCycle;1;1;2;"},
                      StopCase{"TakeOverThenNo", kTakeOver, 0, 0, false, false,
                               "Instability;0;2;2;", "MainCycle;1;0;2;"},
                      // input 1 changed in the annealing: the verdict's question comes first
                      StopCase{"Verdict", "Отменить поверку?", 0, 0.2, false, true,
                               "Instability;1;2;2;", "MainCycle;1;1;2;"},
                      // stopped after the after-annealing rows were copied: they are copied once
                      StopCase{"EndingTheChannel", "Отклонение от НСХ превысило", 0.5, 0.5, true,
                               true, "Instability;0;2;2;", "MainCycle;1;1;2;"}),
    [](const auto &p) { return std::string(p.param.name); });

TEST_F(Resumption, AMissingSensorRowAbandonsTheResumption)
{
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(0, 1));
    db.DBDeleteSensor(bunches[1]->Sensors[2]->ID);
    engine->WindowClosing();
    dialogs.on(QStringLiteral("Вы хотите продолжить поверку"), {Dialogs::Answer::Yes});
    const auto rows = list.List();
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_FALSE(list.Resume(rows->front()));
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Не удалось извлечь данные поверяемого ТП, подключенного ко 2-му "
                             "входу, из базы данных! Операция отменена."));
}

TEST_F(Resumption, AnUnreadableStateAbandonsTheResumption)
{
    storePoverka(QStringLiteral("9"), QStringLiteral("MainCycle;0;x;2;"));
    dialogs.on(QStringLiteral("Вы хотите продолжить поверку"), {Dialogs::Answer::Yes});
    const auto rows = list.List();
    ASSERT_EQ(rows->size(), 1u);
    EXPECT_FALSE(list.Resume(rows->front()));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    dialogs.rules.clear();
    EXPECT_FALSE(list.Resume(rows->front())); // No: nothing happens
}

} // namespace
} // namespace kront::test
