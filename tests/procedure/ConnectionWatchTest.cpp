#include "ProcedureFixture.h"

#include "procedure/ProcedureText.h"

namespace kront::test
{
namespace
{

const QString kLeftOnReference = QStringLiteral(
    "Проверьте подключение: переключатель канала 1, похоже, в положении «T, прямое»");
const QString kQuestionEnd = QStringLiteral(". Записать показание всё равно?");

// A direct verification of one channel (ППО reference graduated 300..1100 °C, ТХА class 2 on
// inputs 1 and 2), stability control off, furnace at 500 °C, cold junction 20 °C.
class ConnectionWatchTest : public ProcedureFixture
{
protected:
    void SetUp() override
    {
        ProcedureFixture::SetUp();
        settings.setTemperatureStabilityControl(false);
    }
    void startRun()
    {
        makeBunch(1, {1, 2});
        ASSERT_TRUE(setUp(0, 2));
        engine->JvWizardInteriorPage4Page();
        pump();
        ASSERT_TRUE(bi1.Switched);
    }
    void settle(double emf)
    {
        for (int i = 0; i < 3; ++i)
            engine->ProcessReading(emf);
    }
    // The reference recorded at 500 °C; the operator is asked for input 1.
    void referenceRecorded()
    {
        startRun();
        settle(ref(500));
        ASSERT_TRUE(ch1().connectionDiagnosis.isEmpty());
        engine->RecordToStringGrid();
        ASSERT_EQ(bi1.GetPosition(1), 1);
    }
    static double ref(double t) { return emfOf(kIndexS, t) - emfOf(kIndexS, 20); }
    static double tha(double t) { return emfOf(kIndexK, t) - emfOf(kIndexK, 20); }
    const ChannelControls &ch1() const { return view.controls[1]; }
    const QString &input1Cell() const { return engine->grid(1)[1][2]; }
};

TEST_F(ConnectionWatchTest, ASwitchLeftOnTheReferenceIsNamedAndAskedAboutBeforeRecording)
{
    referenceRecorded();
    settle(ref(500)); // the switch still on "T"
    EXPECT_EQ(ch1().connectionDiagnosis, kLeftOnReference);
    EXPECT_FALSE(ch1().wrongConnectionVisible); // not the reversed-thermocouple warning
    EXPECT_TRUE(ch1().recordVisible);           // never blocks by itself

    engine->RecordToStringGrid(); // "Нет": the operator corrects the switch first
    EXPECT_EQ(dialogs.count(kLeftOnReference + kQuestionEnd), 1);
    EXPECT_TRUE(input1Cell().isEmpty());
    EXPECT_EQ(bi1.GetPosition(1), 1);

    settle(tha(500));
    EXPECT_TRUE(ch1().connectionDiagnosis.isEmpty());
    engine->RecordToStringGrid();
    EXPECT_EQ(input1Cell(), FixedText(tha(500), 2));
    EXPECT_EQ(dialogs.count(kQuestionEnd), 1); // no question for a value that fits
}

TEST_F(ConnectionWatchTest, AnsweringYesRecordsTheValueAsShown)
{
    referenceRecorded();
    dialogs.on(kQuestionEnd, {Dialogs::Answer::Yes});
    settle(0.004); // an open input
    EXPECT_EQ(ch1().connectionDiagnosis,
              QStringLiteral("Проверьте подключение: вход 1 не подключен или обрыв термопары"));
    engine->RecordToStringGrid();
    EXPECT_EQ(input1Cell(), QStringLiteral("0,00"));
    EXPECT_EQ(bi1.GetPosition(1), 2);
}

TEST_F(ConnectionWatchTest, SwitchedOffInTheSettingsNothingIsDiagnosedOrAsked)
{
    settings.setConnectionCheck(false);
    referenceRecorded();
    settle(ref(500));
    EXPECT_TRUE(ch1().connectionDiagnosis.isEmpty());
    engine->RecordToStringGrid();
    EXPECT_EQ(dialogs.count(kQuestionEnd), 0);
    EXPECT_EQ(input1Cell(), FixedText(ref(500), 2));
}

TEST_F(ConnectionWatchTest, TheReversedWarningKeepsItsTextAndTheDiagnosisAddsToIt)
{
    referenceRecorded();
    settle(-tha(500));
    EXPECT_TRUE(ch1().wrongConnectionVisible);
    EXPECT_EQ(ch1().connectionDiagnosis,
              QStringLiteral("Проверьте подключение: обратная полярность на входе 1"));
}

TEST_F(ConnectionWatchTest, AReferenceBelowItsGraduationSaysWhy)
{
    startRun();
    settle(ref(250));
    EXPECT_EQ(ch1().thermostatValue, QStringLiteral("Вне допустимого диапазона"));
    EXPECT_EQ(ch1().connectionDiagnosis,
              QStringLiteral("Проверьте подключение: ТЭДС эталона вне диапазона его градуировки "
                             "(от 300 до 1100 °C)"));
    settle(ref(500)); // the furnace got there
    EXPECT_TRUE(ch1().connectionDiagnosis.isEmpty());
}

TEST_F(ConnectionWatchTest, NoFurnaceTemperatureYetMeansNoDiagnosisOfAnInput)
{
    // Before the reference has given a temperature in this step nothing is expected of an
    // input (the switch moved at once, as on a resumed run).
    startRun();
    bi1.SetPosition(1, 1);
    engine->readings().setTemperatureStable(true);
    settle(0.0);
    EXPECT_TRUE(ch1().connectionDiagnosis.isEmpty());
}

} // namespace
} // namespace kront::test
