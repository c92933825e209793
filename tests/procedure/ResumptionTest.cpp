#include "ProcedureFixture.h"

#include "procedure/UnfinishedVerifications.h"

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
        db.DBPoverkaInsert({QVariant(), number, clock.now(),
                            finished ? QVariant(clock.now()) : QVariant(),
                            QStringLiteral("ГОСТ 8.338-2002"), 1, 0, true, QVariant(), 3,
                            QStringLiteral("a\r\nb"), state});
        return db.DBGetMaxID(QStringLiteral("Poverki"), QString());
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
        engine = std::make_unique<PoverkaEngine>(*resumed, bi1, db, dialogs, view);
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
    const int before = db.DBGetRecordsCount(QStringLiteral("ResultsTP"), QString());

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
    EXPECT_EQ(db.DBGetRecordsCount(QStringLiteral("ResultsTP"), QString()), before);

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
    EXPECT_EQ(db.DBGetRecordsCount(QStringLiteral("ResultsTP"),
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
    const auto rows = select(QStringLiteral("Poverki"), QString());
    EXPECT_FALSE(rows[0].value("Finished").isNull());
}

TEST_F(Resumption, EndedAfterTheFirstPointIsCalculatedOverThatPointAlone)
{
    programSettings().setOfferPoverkaTermination(true);
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
