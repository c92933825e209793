// Hostile texts typed into the fields of the verification wizard and given to
// its prompts: the number of page 1, the cells of page 3, the mercury
// thermometer reading, the cold-junction temperatures and the thermometer
// correction. Each is refused with its message (nothing stored) or stored as
// it was accepted.
#include "common/ui/StringGrid.h"
#include "metrology/MercuryCorrection.h"
#include "procedure/ui/InspectionPageWidget.h"
#include "procedure/ui/ParametersPageWidget.h"
#include "procedure/ui/RadioGroup.h"
#include "tests/procedure/ProcedureFixture.h"
#include "tests/sensors/ui/GridTyping.h"
#include "tests/support/HostileTexts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace kront::test
{
namespace
{

const QString kNoNumber = QStringLiteral("Укажите номер поверки!");
const QString kBadResistance =
    QStringLiteral("Указаны недопустимые числовые значения для сопротивления!");

class WizardFieldsSweep : public ProcedureFixture
{
protected:
    // Page 1 typed into its widget, then pages 2 and 3 (page 3 as typed into its
    // widget after `type`). True when page 3 stored the verification.
    bool runPages(const QString &number, const std::function<void(InspectionPageWidget &)> &type)
    {
        makeEngine();
        const SetupPrepared prepared = engine->Prepare();
        ParametersPageWidget page1;
        page1.prepare(1);
        page1.show();
        typedNumber = typeIntoLineEdit(page1.EditPoverkaNumber, number);
        page1.RadioGroupVidPoverki->setItemIndex(1);
        page1.RadioGroupMetodPoverki->setItemIndex(0);
        std::optional<QStringList> lines;
        if (!engine->acceptParametersPage(page1.read(), lines))
            return false;
        engine->acceptMeansPage({QStringLiteral("Установка типа КРОНТ-2М, № 5")});
        InspectionPageWidget page3;
        page3.prepare(prepared.serials, usualConditions());
        page3.show();
        if (type)
            type(page3);
        InspectionPage p3 = page3.read();
        return engine->acceptInspectionPage(p3);
    }
    QVariantMap onlyRow(const TableSchema &table)
    {
        const auto rows = select(table, QString());
        return rows.size() == 1 ? rows.front() : QVariantMap();
    }

    QString typedNumber;
};

TEST_F(WizardFieldsSweep, VerificationNumber)
{
    makeBunch(1, {1});
    struct Case {
        QString typed, shown, message, stored;
    } cases[] = {
        {"O'1", "O'1", {}, "O'1"},
        {"\"7\"", "\"7\"", {}, "\"7\""},
        {"100%", "100%", {}, "100%"},
        {"%", "%", {}, "%"},
        {kDrop, kDrop.left(8), {}, "'; DROP"},
        {kLong, kLong.left(8), {}, kLong.left(8)},
        {"A1", "A1", {}, "A1"}, // Latin
        {"А1", "А1", {}, "А1"}, // Cyrillic: another number
        {"1e3", "1e3", {}, "1e3"},
        {"", "", kNoNumber, {}},
        {"        ", "        ", kNoNumber, {}},
    };
    int stored = 0;
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        dialogs.clear();
        const bool ok = runPages(c.typed, nullptr);
        EXPECT_EQ(typedNumber, c.shown);
        if (!c.message.isEmpty()) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(dialogs.texts(), QStringList{c.message});
            EXPECT_EQ(db.DBGetRecordsCount(tables::Poverki, QString()), stored);
            continue;
        }
        ASSERT_TRUE(ok) << dialogs.texts().join("|").toStdString();
        EXPECT_EQ(dialogs.count(QStringLiteral("Поверка с таким номером")), 0);
        ++stored;
        const auto rows = select(tables::Poverki, QStringLiteral("ID = %1").arg(poverka.ID));
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows.front().value("PovNum").toString(), c.stored);
        EXPECT_EQ(db.DBGetRecordsCount(tables::Poverki, QString()), stored);
    }
    // The same numbers typed again are recognised, each as itself only.
    for (const Case &c : cases) {
        if (!c.message.isEmpty())
            continue;
        SCOPED_TRACE(c.typed.toStdString());
        dialogs.clear();
        EXPECT_FALSE(runPages(c.typed, nullptr)); // No keeps the stored one
        EXPECT_EQ(dialogs.count(QStringLiteral("Поверка с таким номером")), 1);
        EXPECT_EQ(db.DBGetRecordsCount(tables::Poverki, QString()), stored);
    }
}

TEST_F(WizardFieldsSweep, InspectionCells)
{
    makeBunch(1, {1, 2});
    enum Grid { Remark, Strength, ResistPos, ResistNeg };
    struct Case {
        Grid grid;
        QString typed, shown, message;
        const char *field; // of the channel 1 bunch row, input 1
        QVariant stored;
    };
    const Case cases[] = {
        {Remark, kDrop, kDrop, {}, "ExtSurveyNotesInp1", kDrop},
        {Remark,
         "Скол 'на' \"корпусе\" 5%",
         "Скол 'на' \"корпусе\" 5%",
         {},
         "ExtSurveyNotesInp1",
         "Скол 'на' \"корпусе\" 5%"},
        {Remark, kLong, kLong.left(80), {}, "ExtSurveyNotesInp1", kLong.left(80)},
        {Remark, "   ", "   ", {}, "ExtSurveyNotesInp1", ""},
        {Strength, kLong, kLong.left(20), {}, "InsulationStrengthInp1", kLong.left(20)},
        {Strength, "'%\"", "'%\"", {}, "InsulationStrengthInp1", "'%\""},
        {ResistPos, "1,5", "1,5", {}, "InsulationResistancePosInp1", 1.5},
        {ResistPos, "1.5", "1.5", {}, "InsulationResistancePosInp1", 1.5},
        {ResistPos, "-0.5", "-0.5", {}, "InsulationResistancePosInp1", -0.5},
        {ResistPos, "1e3", "13", {}, "InsulationResistancePosInp1", 13.0}, // no exponent letter
        {ResistPos, "5e400", "5400", {}, "InsulationResistancePosInp1", 5400.0},
        {ResistPos, "1о5", "15", {}, "InsulationResistancePosInp1", 15.0}, // Cyrillic о
        {ResistPos, "%'\"", "", {}, "InsulationResistancePosInp1", -300.0},
        {ResistPos, "", "", {}, "InsulationResistancePosInp1", -300.0},
        {ResistNeg, "1E-2", "1-2", kBadResistance, nullptr, {}},
        {ResistNeg, "1,5.5", "1,5.5", kBadResistance, nullptr, {}},
        {ResistNeg, "-", "-", kBadResistance, nullptr, {}},
        {ResistNeg, "--1", "--1", kBadResistance, nullptr, {}},
        {ResistNeg, QString(400, u'9'), QString(400, u'9'), kBadResistance, nullptr, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 <%2>").arg(int(c.grid)).arg(c.typed).toStdString());
        db.DBDeletePoverka(QStringLiteral("ID > 0"));
        poverka.BeginNew(clock.now());
        dialogs.clear();
        QString shown;
        const bool ok = runPages(QStringLiteral("17"), [&](InspectionPageWidget &p) {
            switch (c.grid) {
            case Remark:
                shown = typeIntoOpenEditor(p.StringGridExternalSurvey, 1, 1, c.typed);
                p.StringGridExternalSurvey->setCurrentCell(2, 1);
                break;
            case Strength:
                shown = typeIntoOpenEditor(p.StringGridInsulationStrength, 1, 1, c.typed);
                p.StringGridInsulationStrength->setCurrentCell(1, 2);
                break;
            case ResistPos:
            case ResistNeg: {
                const int row = c.grid == ResistPos ? 1 : 2;
                shown = typeIntoOpenEditor(p.StringGridInsulationResistance, row, 1, c.typed);
                p.StringGridInsulationResistance->setCurrentCell(row, 2);
                break;
            }
            }
        });
        EXPECT_EQ(shown, c.shown);
        if (!c.message.isEmpty()) {
            EXPECT_FALSE(ok);
            EXPECT_EQ(dialogs.texts(), QStringList{c.message});
            EXPECT_EQ(db.DBGetRecordsCount(tables::Poverki, QString()), 0);
            EXPECT_EQ(db.DBGetRecordsCount(tables::BunchesTP, QString()), 0);
            continue;
        }
        ASSERT_TRUE(ok) << dialogs.texts().join("|").toStdString();
        const QVariantMap bunch = onlyRow(tables::BunchesTP);
        ASSERT_FALSE(bunch.isEmpty());
        const QVariant v = bunch.value(QLatin1String(c.field));
        if (c.stored.typeId() == QMetaType::Double)
            EXPECT_DOUBLE_EQ(v.toDouble(), c.stored.toDouble());
        else
            EXPECT_EQ(v.toString(), c.stored.toString());
    }
}

// Texts of the verified sensors reach the Sensors table as the editor took them over, and
// each sensor row is found again by its texts.
TEST_F(WizardFieldsSweep, SensorTextsOfTheBunchAreStoredAsTakenOver)
{
    TBunch &b = makeBunch(1, {1, 2, 3, 4});
    const QString serials[] = {QStringLiteral("'; DROP"), QStringLiteral("O'1\"%"),
                               QStringLiteral("A1"), QStringLiteral("А1")};
    for (int i = 1; i <= 4; ++i) {
        TThermometer &s = *b.Sensors[i];
        s.SerialNum = serials[i - 1];
        s.TypeName = QStringLiteral("'%\"_") + serials[i - 1];
        s.Owner = kDrop;
        s.Producer = QStringLiteral("ООО \"Завод\" 100%");
    }
    b.Sensors[4]->ProdYear = 0; // no year typed
    ASSERT_TRUE(setUp(0, 1)) << dialogs.texts().join("|").toStdString();
    for (int i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        const TThermometer &s = *b.Sensors[i];
        const auto rows = select(tables::Sensors, QStringLiteral("ID = %1").arg(s.ID));
        ASSERT_EQ(rows.size(), 1u);
        EXPECT_EQ(rows.front().value("SerialNum").toString(), s.SerialNum);
        EXPECT_EQ(rows.front().value("TypeName").toString(), s.TypeName);
        EXPECT_EQ(rows.front().value("Owner").toString(), kDrop);
        EXPECT_EQ(rows.front().value("Producer").toString(), s.Producer);
    }
    EXPECT_EQ(db.DBGetRecordsCount(tables::Sensors, QString()), 4);
}

// One typed text of the step's edits and what it must give.
struct StepEditCase {
    QString typed;
    QString message; // empty: accepted
    double value;
    QString shown; // the edit (cold junction) or the grid cell (thermometer) afterwards
};

void PrintTo(const StepEditCase &c, std::ostream *os)
{
    *os << '<' << c.typed.toStdString() << '>';
}

const QString kTskEmpty =
    QStringLiteral("Укажите значение температуры свободных концов эталонного ТП для канала 1!");
const QString kTskInvalid = QStringLiteral(
    "Указано недопустимое значение температуры свободных концов эталонного ТП для канала 1!");
const QString kReadingRefused =
    QStringLiteral("Ошибка преобразования измеренного значения в число!");

// The cold-junction temperature of the verified thermocouples, typed into the channel's edit
// when the step closes: four rows with the value, or the message and no row.
class ColdJunctionEditSweep : public ProcedureFixture,
                              public ::testing::WithParamInterface<StepEditCase>
{
};

TEST_P(ColdJunctionEditSweep, ClosesTheStepOrKeepsItOpen)
{
    const StepEditCase &c = GetParam();
    makeBunch(1, {1});
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    pump();
    for (int guard = 0; guard < 10 && !engine->Steps[0].AwaitingTsk; ++guard)
        ASSERT_TRUE(takeReading());
    ASSERT_TRUE(engine->Steps[0].AwaitingTsk);
    dialogs.clear();
    view.setEditText(1, ChannelEdit::SKTemperature, c.typed);
    engine->RecordToStringGrid();
    EXPECT_EQ(view.editText(1, ChannelEdit::SKTemperature), c.shown);
    const auto rows = select(tables::ResultsTP, QStringLiteral("Operation = 'Measure'"));
    if (!c.message.isEmpty()) {
        EXPECT_EQ(dialogs.texts(), QStringList{c.message});
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
        EXPECT_TRUE(rows.empty());
        EXPECT_TRUE(engine->Steps[0].AwaitingTsk);
        return;
    }
    EXPECT_EQ(dialogs.count(QStringLiteral("Указан")), 0);
    ASSERT_EQ(rows.size(), 4u);
    for (const QVariantMap &r : rows)
        EXPECT_DOUBLE_EQ(r.value("Tsk").toDouble(), c.value);
    // The step is closed, whatever the value: the run goes on to Next, and a further press
    // writes nothing twice.
    EXPECT_TRUE(view.nextEnabled);
    EXPECT_EQ(view.posted, 0);
    pump();
    engine->RecordToStringGrid();
    EXPECT_EQ(db.DBGetRecordsCount(tables::ResultsTP, QStringLiteral("Operation = 'Measure'")), 4);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ColdJunctionEditSweep,
    ::testing::Values(
        StepEditCase{"21.5", {}, 21.5, "21,5"}, StepEditCase{"21,5", {}, 21.5, "21,5"},
        StepEditCase{"2.15e1", {}, 21.5, "2,15e1"},
        StepEditCase{"2,15Е1", {}, 21.5, "2,15E1"}, // Cyrillic exponent letter
        StepEditCase{"1E-2", {}, 0.01, "1E-2"}, StepEditCase{"-40", {}, -40, "-40"},
        StepEditCase{"1e3", {}, 1000, "1e3"}, StepEditCase{"1e300", {}, 1e300, "1e300"},
        StepEditCase{"-300", {}, -300, "-300"}, StepEditCase{"-1e300", {}, -1e300, "-1e300"},
        StepEditCase{"5e400", kTskInvalid, 0, "5e400"},
        StepEditCase{"2о", kTskInvalid, 0, "2о"}, // Cyrillic о
        StepEditCase{"21.5.1", kTskInvalid, 0, "21,5,1"}, StepEditCase{"%", kTskInvalid, 0, "%"},
        StepEditCase{kDrop, kTskInvalid, 0, kDrop}, StepEditCase{kLong, kTskInvalid, 0, kLong},
        StepEditCase{"", kTskEmpty, 0, ""}, StepEditCase{"   ", kTskEmpty, 0, "   "}));

// The mercury thermometer reading typed into the channel's edit: the normalised text in the
// grid and its value in the readings, or the message and nothing recorded.
class ThermometerEditSweep : public ProcedureFixture,
                             public ::testing::WithParamInterface<StepEditCase>
{
};

TEST_P(ThermometerEditSweep, RecordsTheReadingOrNothing)
{
    const StepEditCase &c = GetParam();
    makeBunch(1, {1}, true);
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    pump();
    dialogs.clear();
    view.setEditText(1, ChannelEdit::Thermostat, c.typed);
    engine->RecordToStringGrid();
    EXPECT_EQ(engine->Grids[1][1][1], c.shown);
    if (!c.message.isEmpty()) {
        EXPECT_EQ(dialogs.texts(), QStringList{c.message});
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
        EXPECT_EQ(bi1.GetPosition(1), 0); // the run stays at the thermometer
        return;
    }
    EXPECT_EQ(dialogs.count(QStringLiteral("Ошибка")), 0); // only the switch prompt follows
    EXPECT_DOUBLE_EQ(engine->Steps[0].Readings[1][0], c.value);
    EXPECT_EQ(bi1.GetPosition(1), 1);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ThermometerEditSweep,
    ::testing::Values(
        StepEditCase{"350.4", {}, 350.4, "350,4"}, StepEditCase{"350,4", {}, 350.4, "350,4"},
        StepEditCase{"3.504e2", {}, 350.4, "3,504e2"},
        StepEditCase{"3,504Е2", {}, 350.4, "3,504E2"}, // Cyrillic exponent letter
        StepEditCase{" 350 ", {}, 350, "350"}, StepEditCase{"5e400", kReadingRefused, 0, ""},
        StepEditCase{"35О", kReadingRefused, 0, ""}, // Cyrillic О
        StepEditCase{"350.4.1", kReadingRefused, 0, ""}, StepEditCase{"%", kReadingRefused, 0, ""},
        StepEditCase{kDrop, kReadingRefused, 0, ""}, StepEditCase{kLong, kReadingRefused, 0, ""},
        StepEditCase{"", kReadingRefused, 0, ""}, StepEditCase{"   ", kReadingRefused, 0, ""}));

// The cold-junction temperature of the reference thermocouple, asked at the start of a run.
TEST_F(WizardFieldsSweep, ColdJunctionPromptOfTheReference)
{
    const QString invalid = QStringLiteral("Указано недопустимое значение!");
    const QString range = QStringLiteral("Указанное значение выходит за допустимый диапазон!");
    struct Case {
        QString typed, message;
        double value;
    } cases[] = {
        {"21.5", {}, 21.5},    {"21,5", {}, 21.5},
        {" 5e1 ", {}, 50},     {"-5Е1", {}, -50}, // Cyrillic exponent letter
        {"1E-2", {}, 0.01},    {"5.1e1", range, 0},
        {"-50.01", range, 0},  {QString(300, u'1'), range, 0},
        {"5e400", invalid, 0}, {"2о", invalid, 0},
        {"1,5,", invalid, 0},  {"%", invalid, 0},
        {kDrop, invalid, 0},   {"", invalid, 0},
        {"   ", invalid, 0},
    };
    makeBunch(1, {1});
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        dialogs.clear();
        dialogs.inputs.clear();
        dialogs.queueInput(c.typed);
        if (!c.message.isEmpty())
            dialogs.queueInput(QStringLiteral("12"));
        view.posted = 1; // the run starts (again)
        pump();
        EXPECT_FALSE(view.closed);
        EXPECT_EQ(dialogs.count(QStringLiteral("Указан")), c.message.isEmpty() ? 0 : 1);
        if (!c.message.isEmpty()) {
            EXPECT_EQ(dialogs.count(c.message), 1);
            EXPECT_DOUBLE_EQ(engine->EtalTsk, 12);
            // the prompt comes back with the refused text
            EXPECT_EQ(dialogs.count(QStringLiteral("Укажите текущую температуру")), 2);
            continue;
        }
        EXPECT_DOUBLE_EQ(engine->EtalTsk, c.value);
    }
}

// The correction of the mercury thermometer, asked when a step with the thermometer is
// calculated: what is accepted is added to the thermometer's average for the reference
// temperature.
TEST_F(WizardFieldsSweep, MercuryThermometerCorrectionPrompt)
{
    const QString refused = QStringLiteral(
        "Указано недопустимое значение поправки эталонного ртутного стеклянного термометра!");
    struct Case {
        QString typed;
        bool accepted;
        double correction;
    } cases[] = {
        {"0.25", true, 0.25},   {"-0,25", true, -0.25}, {"2.5e-1", true, 0.25},
        {"2,5Е-1", true, 0.25},                     // Cyrillic exponent letter
        {"5e400", false, 0},    {"0,2о", false, 0}, // Cyrillic о
        {"0,2,5", false, 0},    {"%", false, 0},        {kDrop, false, 0},
        {kLong, false, 0},      {"", false, 0},         {"  ", false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        ScriptedDialogs prompts;
        prompts.queueInput(c.typed);
        prompts.queueInput(QStringLiteral("0,5")); // after a refusal
        const double taken = AskMercuryCorrection(prompts, 350.0);
        EXPECT_DOUBLE_EQ(taken, c.accepted ? c.correction : 0.5);
        if (c.accepted) {
            EXPECT_EQ(prompts.shown.size(), 1u);
            continue;
        }
        ASSERT_EQ(prompts.shown.size(), 3u);
        EXPECT_EQ(prompts.shown[1].text, refused);
        EXPECT_EQ(prompts.shown[1].icon, Dialogs::Icon::Warning);
    }
}

// End to end: a refused text, then a correction; the calculation stores the thermometer
// average plus the correction as the reference temperature, far out of any characteristic's
// range as it may be, and the step completes.
class CorrectionSweep : public ProcedureFixture, public ::testing::WithParamInterface<StepEditCase>
{
};

TEST_P(CorrectionSweep, IsAddedToTheThermometerAverage)
{
    const StepEditCase &c = GetParam();
    makeBunch(1, {1}, true);
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    dialogs.queueInput(kDrop);
    dialogs.queueInput(c.typed);
    ASSERT_TRUE(measureStep()) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(dialogs.count(QStringLiteral("Указано недопустимое значение поправки")), 1);
    const auto avg = select(tables::ResultsTP, QStringLiteral("Operation = 'Average'"));
    ASSERT_EQ(avg.size(), 1u);
    EXPECT_DOUBLE_EQ(avg.front().value("t_et").toDouble(), 350);
    EXPECT_DOUBLE_EQ(avg.front().value("t_pret").toDouble(), c.value);
    EXPECT_EQ(select(tables::ResultsTP, QStringLiteral("Operation = 'Measure'")).size(), 4u);
}

INSTANTIATE_TEST_SUITE_P(Texts, CorrectionSweep,
                         ::testing::Values(StepEditCase{"0,5", {}, 350.5, {}},
                                           StepEditCase{"-1e3", {}, -650, {}},
                                           StepEditCase{"1e300", {}, 1e300, {}},
                                           StepEditCase{"-1,7E308", {}, -1.7e308, {}}));

} // namespace
} // namespace kront::test
