#include "ProcedureFixture.h"

#include <cmath>

namespace kront::test
{
namespace
{

const QString kNotStable = QStringLiteral("Температура не стабилизировалась");

// A direct verification of one channel with its first run started; the furnace approaches
// 500 °C from `from` with a time constant of 10 minutes, a settled reference value every 20 s.
class StabilityPanel : public ProcedureFixture
{
protected:
    void startRun()
    {
        makeBunch(1, {1});
        ASSERT_TRUE(setUp(0, 1));
        engine->JvWizardInteriorPage4Page();
        pump();
        ASSERT_TRUE(bi1.Switched);
    }
    void furnaceFor(int seconds, double from, double drift = 0)
    {
        for (int s = 0; s < seconds; s += 20) {
            clock.advanceSeconds(20);
            elapsed += 20;
            const double t = 500 + (from - 500) * std::exp(-elapsed / 600.0) + drift * elapsed;
            for (int i = 0; i < 3; ++i) // settled
                engine->ProcessReading(emfOf(kIndexS, t) - emfOf(kIndexS, 20));
        }
    }
    const QString &panel() const { return view.controls[1].stabilityText; }
    double elapsed = 0;
};

TEST_F(StabilityPanel, TheEstimateStandsInTheStabilityPanelUntilTheJudgementTakesOver)
{
    startRun();
    furnaceFor(60, 470);
    EXPECT_EQ(panel(), kNotStable); // a minute is too short to try
    furnaceFor(9 * 60, 470);
    EXPECT_TRUE(panel().startsWith(QStringLiteral("Стабилизация ≈ через ")))
        << panel().toStdString();
    EXPECT_TRUE(panel().endsWith(QStringLiteral(" мин")));
}

TEST_F(StabilityPanel, ASteadyDriftCannotBeEstimatedAndTheJudgementTakesOverAfterHalfAnHour)
{
    startRun();
    furnaceFor(10 * 60, 500, 0.02); // 1,2 °C a minute
    EXPECT_EQ(panel(), QStringLiteral("Стабилизация: оценка невозможна"));
    furnaceFor(25 * 60, 500, 0.02);
    EXPECT_EQ(panel(), kNotStable);
    EXPECT_FALSE(view.controls[1].drift.isEmpty()); // judged: the drift is shown
}

TEST_F(StabilityPanel, SwitchedOffTheEstimateIsNotShown)
{
    settings.setStabilityForecast(false);
    startRun();
    furnaceFor(10 * 60, 470);
    EXPECT_EQ(panel(), kNotStable);
}

} // namespace
} // namespace kront::test
