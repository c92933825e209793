#include "ProcedureFixture.h"

#include "procedure/ProcedureText.h"

namespace kront::test
{
namespace
{

const QString kDriftQuestion =
    QStringLiteral("Внимание! Температурный ход превысил допустимое значение. Прервать поверку?");

// A direct verification of one channel (ППО reference, inputs 1 and 2) with its first run
// started: the switch at the reference, transmission on.
class ReadingAcceptance : public ProcedureFixture
{
protected:
    void startRun(int method = 0)
    {
        makeBunch(1, {1, 2});
        ASSERT_TRUE(setUp(method, 2));
        engine->JvWizardInteriorPage4Page();
        pump();
        ASSERT_TRUE(bi1.Switched);
    }
    double refEmf(double t) const { return emfOf(kIndexS, t) - emfOf(kIndexS, 20); }
    // One reference reading a minute after the last one.
    void referenceAt(double t, int seconds = 60)
    {
        clock.advanceSeconds(seconds);
        engine->ProcessReading(refEmf(t));
    }
    const ChannelControls &ch1() const { return view.controls[1]; }
};

TEST_F(ReadingAcceptance, TheReferenceIsOfferedOnlyAfterHalfAnHourOfStableTemperature)
{
    settings.setStabilityForecast(false); // the panel as without the estimate
    startRun();
    for (int i = 0; i < 20; ++i)
        referenceAt(350);
    // twenty minutes only: not judged
    EXPECT_FALSE(ch1().recordVisible);
    EXPECT_TRUE(ch1().drift.isEmpty());
    EXPECT_EQ(ch1().statusText, QStringLiteral("Подождите стабилизации температуры..."));
    EXPECT_EQ(ch1().stabilityText, QStringLiteral("Температура не стабилизировалась"));
    EXPECT_TRUE(ch1().thermostatValue.startsWith(QStringLiteral("350,0")));
    EXPECT_EQ(ch1().measValue, FixedText(refEmf(350), 3));
    for (int i = 0; i < 14; ++i)
        referenceAt(350); // the first two only settled the value; a judgement needs > 30 min
    EXPECT_TRUE(ch1().recordVisible);
    EXPECT_EQ(ch1().drift, QStringLiteral("0,00"));
    EXPECT_EQ(ch1().stabilityText, QStringLiteral("Температура стабильна"));
    EXPECT_EQ(view.lastDriftSampleCount, 32); // the chart shows the history kept
    EXPECT_EQ(dialogs.count(kDriftQuestion), 0);
}

TEST_F(ReadingAcceptance, WithoutStabilityControlTheFixedValueIsEnough)
{
    settings.setTemperatureStabilityControl(false);
    startRun();
    referenceAt(350, 1);
    referenceAt(350, 1);
    EXPECT_FALSE(ch1().recordVisible); // two readings: not fixed yet
    referenceAt(350, 1);
    EXPECT_TRUE(ch1().recordVisible);
    EXPECT_TRUE(ch1().stabilityText.isEmpty());
}

TEST_F(ReadingAcceptance, WaitForFixedValueOffAcceptsTheFirstReading)
{
    settings.setTemperatureStabilityControl(false);
    settings.setWaitForFixedValue(false);
    startRun();
    referenceAt(350, 1);
    EXPECT_TRUE(ch1().recordVisible);
}

TEST_F(ReadingAcceptance, ADriftAfterStabilityOffersTheAbortOnce)
{
    startRun();
    for (int i = 0; i < 34; ++i)
        referenceAt(350);
    ASSERT_TRUE(ch1().recordVisible);
    // the furnace runs away: 1.5 °C above the half-hour minimum (three equal readings to settle)
    referenceAt(351.5, 1);
    referenceAt(351.5, 1);
    referenceAt(351.5, 1);
    EXPECT_EQ(dialogs.count(kDriftQuestion), 1);
    EXPECT_FALSE(ch1().recordVisible);
    EXPECT_FALSE(engine->readings().temperatureStable());
    referenceAt(351.6, 1);
    referenceAt(351.6, 1);
    referenceAt(351.6, 1);
    EXPECT_EQ(dialogs.count(kDriftQuestion), 1); // once until the next recording
    EXPECT_FALSE(view.closed);
}

TEST_F(ReadingAcceptance, AnsweringYesToTheDriftQuestionAbortsAndLeavesItResumable)
{
    startRun();
    for (int i = 0; i < 34; ++i)
        referenceAt(350);
    const QString state = storedState();
    dialogs.on(QStringLiteral("Температурный ход превысил"), {Dialogs::Answer::Yes});
    for (int i = 0; i < 3; ++i)
        referenceAt(352, 1);
    EXPECT_TRUE(view.closed);
    EXPECT_TRUE(engine->isClosed());
    EXPECT_TRUE(engine->steps().empty());
    EXPECT_TRUE(engine->readings().drift().DriftHistory.empty());
    EXPECT_GE(meter.closeCalls, 1);
    EXPECT_EQ(storedState(), state); // the stored state still names this step
    // nothing arrives after the window closed
    engine->ProcessReading(refEmf(350));
    engine->RecordToStringGrid();
    EXPECT_EQ(dialogs.count(kDriftQuestion), 1);
}

TEST_F(ReadingAcceptance, AReferenceOutsideItsGraduationGivesNoTemperature)
{
    startRun();
    for (int i = 0; i < 34; ++i)
        referenceAt(350);
    ASSERT_TRUE(ch1().recordVisible);
    for (int i = 0; i < 3; ++i)
        referenceAt(1150, 1); // above the last graduation point
    EXPECT_EQ(ch1().thermostatValue, QStringLiteral("Вне допустимого диапазона"));
    EXPECT_FALSE(ch1().recordVisible);
    EXPECT_EQ(dialogs.count(kDriftQuestion), 1); // a stable temperature was lost
    EXPECT_TRUE(engine->readings().drift().DriftHistory.empty());
}

TEST_F(ReadingAcceptance, InvertedPolarityOfTheReferenceInput)
{
    settings.setBi1TInputInvertedPolarity(true);
    settings.setTemperatureStabilityControl(false);
    startRun();
    for (int i = 0; i < 3; ++i)
        engine->ProcessReading(-refEmf(350));
    EXPECT_TRUE(ch1().recordVisible);
    EXPECT_TRUE(ch1().thermostatValue.startsWith(QStringLiteral("350,0")));
}

TEST_F(ReadingAcceptance, AReversedThermocoupleShowsTheRedWarningInTheDirectMethod)
{
    settings.setTemperatureStabilityControl(false);
    startRun();
    for (int i = 0; i < 3; ++i)
        engine->ProcessReading(refEmf(350));
    engine->RecordToStringGrid();
    ASSERT_EQ(bi1.GetPosition(1), 1);
    for (int i = 0; i < 3; ++i)
        engine->ProcessReading(-0.5);
    EXPECT_TRUE(ch1().wrongConnectionVisible);
    EXPECT_EQ(ch1().measValue, QStringLiteral("-0,50"));
    for (int i = 0; i < 3; ++i)
        engine->ProcessReading(13.4951);
    EXPECT_FALSE(ch1().wrongConnectionVisible);
    EXPECT_EQ(ch1().measValue, QStringLiteral("13,50"));
}

TEST_F(ReadingAcceptance, TheElectrodeComparisonShowsThreeDecimalsAndNoWarning)
{
    settings.setTemperatureStabilityControl(false);
    startRun(1);
    for (int i = 0; i < 3; ++i)
        engine->ProcessReading(refEmf(350));
    engine->RecordToStringGrid();
    ASSERT_EQ(bi1.GetPosition(1), 7);
    for (int i = 0; i < 3; ++i)
        engine->ProcessReading(-0.5);
    EXPECT_FALSE(ch1().wrongConnectionVisible);
    EXPECT_EQ(ch1().measValue, QStringLiteral("-0,500"));
}

TEST_F(ReadingAcceptance, AnUnsettledOrUnreadyMeterWithdrawsTheButton)
{
    settings.setTemperatureStabilityControl(false);
    startRun();
    for (int i = 0; i < 3; ++i)
        engine->ProcessReading(refEmf(350));
    ASSERT_TRUE(ch1().recordVisible);
    engine->ProcessReading(refEmf(350) + 0.002);
    EXPECT_FALSE(ch1().recordVisible);
    EXPECT_EQ(ch1().statusText,
              QStringLiteral("Значение измеренного напряжения на ТАВЕР-7 нестабильно"));
    meter.ready = false;
    meter.stateText = QStringLiteral("ТАВЕР-7: прогрев");
    engine->ProcessReading(refEmf(350));
    engine->refreshChannelControls(1);
    EXPECT_FALSE(ch1().recordVisible);
    EXPECT_EQ(ch1().statusText, QStringLiteral("ТАВЕР-7: прогрев"));
    // a press that arrives after the button was withdrawn records nothing
    engine->RecordToStringGrid();
    EXPECT_TRUE(engine->grid(1)[1][1].isEmpty());
}

TEST_F(ReadingAcceptance, ReadingsBeforeTheSwitchesAreSetAreIgnored)
{
    makeBunch(1, {1});
    ASSERT_TRUE(setUp(0, 1));
    engine->ProcessReading(refEmf(350)); // page shown, run not started
    EXPECT_EQ(engine->readings().fixed().FixedCount, 0);
    EXPECT_FALSE(view.controls[1].recordVisible);
}

} // namespace
} // namespace kront::test
