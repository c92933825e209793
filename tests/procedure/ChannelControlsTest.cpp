#include "ProcedureFixture.h"

namespace kront::test
{
namespace
{

const char *const kPress = "Для продолжения нажмите кнопку «Записать показание»";
const char *const kUnsettled = "Значение измеренного напряжения на ТАВЕР-7 нестабильно";
const char *const kMeter = "ТАВЕР-7 не готов";

struct ControlsCase {
    const char *name;
    quint8 stage = stMainCycle;
    int current = 1;
    bool awaiting = false;
    double tsk = -300;
    bool switched = true;
    int position = 0;
    int etalKind = 1;
    bool ready = true;
    bool outOfRange = false;
    bool fixed = true;
    bool stable = true;
    bool control = true;
    bool record = false;
    const char *first = "";
    const char *second = "";
};

class ChannelControls_ : public ProcedureFixture
{
protected:
    const ChannelControls &prepare(const ControlsCase &c)
    {
        settings.setTemperatureStabilityControl(c.control);
        poverka.Stage = c.stage;
        engine->stepState().currentChannel = c.current;
        engine->stepState().currentStep = 0;
        ChannelStep &step = engine->stepState().steps[0];
        step.AwaitingTsk = c.awaiting;
        step.TskTP = c.tsk;
        step.TskEntered = c.tsk > -290;
        step.EtalKind = quint8(c.etalKind);
        bi1.Switched = c.switched;
        bi1.SetPosition(1, quint8(c.position));
        meter.ready = c.ready;
        meter.outOfRange = c.outOfRange;
        engine->readings().fixed().ValueFixed = c.fixed;
        engine->readings().setTemperatureStable(c.stable);
        engine->channelPanels()[1].statusText = QStringLiteral("before");
        engine->channelPanels()[1].recordVisible = false;
        engine->PrepareControls(1);
        return engine->channelPanels()[1];
    }
};

// PrepareControls follows its table row by row: the first row that applies decides.
TEST_F(ChannelControls_, RowByRow)
{
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(0, 1));
    const ControlsCase cases[] = {
        {.name = "initiation", .stage = stInitiation},
        {.name = "no channel", .current = 0},
        {.name = "cold junction entered", .awaiting = true, .tsk = 20},
        {.name = "cold junction awaited",
         .awaiting = true,
         .record = true,
         .first = "Введите значение температуры свободных концов ТП и нажмите кнопку «Записать "
                  "показание»"},
        {.name = "not switched", .switched = false, .first = "before"},
        {.name = "input, meter not ready", .position = 2, .ready = false, .first = kMeter},
        {.name = "input, out of range", .position = 2, .outOfRange = true, .first = kMeter},
        {.name = "input, fixed", .position = 2, .record = true, .first = kPress},
        {.name = "input, fixed while not stable",
         .position = 2,
         .stable = false,
         .record = true,
         .first = kPress},
        {.name = "input, not fixed", .position = 2, .fixed = false, .first = kUnsettled},
        {.name = "mercury reference",
         .etalKind = 0,
         .fixed = false,
         .stable = false,
         .record = true,
         .first = "Введите показание эталонного ртутного термометра и нажмите кнопку «Записать "
                  "показание»"},
        {.name = "reference, meter not ready", .ready = false, .first = kMeter},
        {.name = "reference, out of range", .outOfRange = true, .first = kMeter},
        {.name = "reference, fixed and stable",
         .record = true,
         .first = kPress,
         .second = "Температура стабильна"},
        {.name = "reference, fixed, no stability control",
         .control = false,
         .record = true,
         .first = kPress},
        {.name = "reference, fixed, not stable",
         .stable = false,
         .first = "Подождите стабилизации температуры...",
         .second = "Температура не стабилизировалась"},
        {.name = "reference, not fixed", .fixed = false, .first = kUnsettled},
    };
    for (const ControlsCase &c : cases) {
        const ChannelControls &ctl = prepare(c);
        EXPECT_EQ(ctl.recordVisible, c.record) << c.name;
        EXPECT_EQ(ctl.statusText, QString::fromUtf8(c.first)) << c.name;
        if (!c.switched)
            continue; // nothing was changed or shown
        EXPECT_EQ(ctl.stabilityText, QString::fromUtf8(c.second)) << c.name;
        EXPECT_EQ(view.controls[1].recordVisible, ctl.recordVisible) << c.name;
    }
}

TEST_F(ChannelControls_, DisplaysOfTheRows)
{
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(0, 1));
    const ChannelControls &input = prepare({.name = "input", .position = 2});
    EXPECT_TRUE(input.connectedInputVisible);
    EXPECT_EQ(input.connectedInput, QStringLiteral("2, прямое"));
    EXPECT_TRUE(input.measValueVisible);
    EXPECT_FALSE(input.skVisible);
    EXPECT_FALSE(input.thermostatEditVisible);

    view.setEditText(1, ChannelEdit::Thermostat, QStringLiteral("351"));
    const ChannelControls &mercury =
        prepare({.name = "mercury", .etalKind = 0, .fixed = false, .stable = false});
    EXPECT_EQ(mercury.thermostatCaption, QStringLiteral("Температура термостата, °С:"));
    EXPECT_TRUE(mercury.thermostatEditVisible);
    EXPECT_FALSE(mercury.driftVisible);
    EXPECT_EQ(view.controls[1].focus, std::optional<ChannelEdit>(ChannelEdit::Thermostat));
    EXPECT_TRUE(view.editText(1, ChannelEdit::Thermostat).isEmpty()); // emptied

    const int beeps = view.beeps;
    const ChannelControls &stable = prepare({.name = "stable"});
    EXPECT_EQ(stable.thermostatCaption, QStringLiteral("Температура печи, °С:"));
    EXPECT_TRUE(stable.thermostatValueVisible);
    EXPECT_TRUE(stable.driftVisible);
    EXPECT_EQ(view.beeps, beeps + 1); // the button appeared
    engine->PrepareControls(1);
    EXPECT_EQ(view.beeps, beeps + 1); // it was already shown

    const ChannelControls &notStable = prepare({.name = "not stable", .stable = false});
    EXPECT_TRUE(notStable.thermostatValueVisible);
    EXPECT_FALSE(notStable.driftVisible);

    const ChannelControls &awaited = prepare({.name = "awaited", .awaiting = true});
    EXPECT_TRUE(awaited.skVisible);
    EXPECT_EQ(view.controls[1].focus, std::optional<ChannelEdit>(ChannelEdit::SKTemperature));
    const ChannelControls &closed = prepare({.name = "closed", .awaiting = true, .tsk = 20});
    EXPECT_FALSE(closed.measValueVisible);
    EXPECT_TRUE(closed.measValue.isEmpty());
    EXPECT_FALSE(closed.skVisible);
    EXPECT_EQ(meter.savedStatus, QString()); // the saved text follows the first panel
}

TEST_F(ChannelControls_, TheSavedStatusTextFollowsTheFirstPanel)
{
    makeBunch(1, {1});
    ASSERT_TRUE(setUp(0, 1));
    prepare({.name = "input", .position = 1});
    EXPECT_EQ(meter.savedStatus, QString::fromUtf8(kPress));
    // a link text goes to the panel of the channel
    engine->showChannelStatus(1, QStringLiteral("Ошибка приёма"));
    EXPECT_EQ(view.controls[1].statusText, QStringLiteral("Ошибка приёма"));
}

} // namespace
} // namespace kront::test
