#include "procedure/ChannelControlsRule.h"
#include "model/CodeTables.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

const char *const kPress = "Для продолжения нажмите кнопку «Записать показание»";
const char *const kUnsettled = "Значение измеренного напряжения на ТАВЕР-7 нестабильно";
const char *const kMeter = "ТАВЕР-7 не готов";
const char *const kFurnace = "Температура печи, °С:";
constexpr int kInput2 = 2;

// A channel state as a row of the table: by default a reference thermocouple at the reference
// input of a run, the reading settled and the furnace stable.
struct StateRow {
    bool measuring = true;
    bool awaiting = false;
    bool entered = false;
    bool switched = true;
    int position = kPosDirectReference;
    int etalKind = 1;
    bool ready = true;
    bool outOfRange = false;
    bool fixed = true;
    bool stable = true;
    bool control = true;
};

ChannelState stateOf(const StateRow &r)
{
    ChannelState s;
    s.measuring = r.measuring;
    s.awaitingTsk = r.awaiting;
    s.tskEntered = r.entered;
    s.switched = r.switched;
    s.position = r.position;
    s.etalKind = r.etalKind;
    s.meterReady = r.ready;
    s.meterOutOfRange = r.outOfRange;
    s.meterText = QString::fromUtf8(kMeter);
    s.valueFixed = r.fixed;
    s.temperatureStable = r.stable;
    s.stabilityControl = r.control;
    return s;
}

// What a row shows; every display not named is hidden.
struct Shown {
    bool record = false;
    const char *first = "";
    const char *second = "";
    bool input = false; // "Подключенный вход:"
    bool value = false; // "Измеренное значение:"
    bool drift = false;
    bool caption = false;
    bool furnace = false; // the furnace temperature value
    bool edit = false;    // the mercury thermometer's edit
    bool sk = false;
    std::optional<ChannelEdit> focus = std::nullopt;
};

struct Case {
    const char *name;
    StateRow state;
    Shown shown;
};

// The controls every row starts from: all displays hidden, nothing recorded.
ChannelControls hidden()
{
    ChannelControls c;
    c.statusText = QStringLiteral("before");
    return c;
}

TEST(ChannelControlsFor, EachStateShowsItsControls)
{
    const Case cases[] = {
        {"initiation or no channel", {.measuring = false}, {}},
        {"cold junction entered", {.awaiting = true, .entered = true}, {}},
        {"cold junction awaited",
         {.awaiting = true},
         {.record = true,
          .first = "Введите значение температуры свободных концов ТП и нажмите кнопку «Записать "
                   "показание»",
          .sk = true,
          .focus = ChannelEdit::SKTemperature}},
        {"input, meter not ready",
         {.position = kInput2, .ready = false},
         {.first = kMeter, .input = true, .value = true}},
        {"input, out of range",
         {.position = kInput2, .outOfRange = true},
         {.first = kMeter, .input = true, .value = true}},
        {"input, settled",
         {.position = kInput2},
         {.record = true, .first = kPress, .input = true, .value = true}},
        {"input, settled while the furnace is not stable",
         {.position = kInput2, .stable = false},
         {.record = true, .first = kPress, .input = true, .value = true}},
        {"input, not settled",
         {.position = kInput2, .fixed = false},
         {.first = kUnsettled, .input = true, .value = true}},
        {"mercury reference",
         {.etalKind = 0, .fixed = false, .stable = false},
         {.record = true,
          .first = "Введите показание эталонного ртутного термометра и нажмите кнопку «Записать "
                   "показание»",
          .input = true,
          .caption = true,
          .edit = true,
          .focus = ChannelEdit::Thermostat}},
        {"reference, meter not ready",
         {.ready = false},
         {.first = kMeter, .input = true, .value = true}},
        {"reference, out of range",
         {.outOfRange = true},
         {.first = kMeter, .input = true, .value = true}},
        {"reference, settled and stable",
         {},
         {.record = true,
          .first = kPress,
          .second = "Температура стабильна",
          .input = true,
          .value = true,
          .drift = true,
          .caption = true,
          .furnace = true}},
        {"reference, settled, stability not judged",
         {.control = false},
         {.record = true,
          .first = kPress,
          .input = true,
          .value = true,
          .drift = true,
          .caption = true,
          .furnace = true}},
        {"reference, settled, not stable",
         {.stable = false},
         {.first = "Подождите стабилизации температуры...",
          .second = "Температура не стабилизировалась",
          .input = true,
          .value = true,
          .caption = true,
          .furnace = true}},
        {"reference, not settled",
         {.fixed = false},
         {.first = kUnsettled,
          .input = true,
          .value = true,
          .drift = true,
          .caption = true,
          .furnace = true}},
    };
    const DriftMonitor drift; // no history: the judged text
    for (const Case &row : cases) {
        ChannelState state = stateOf(row.state);
        state.drift = &drift;
        const std::optional<ChannelControls> c = ChannelControlsFor(hidden(), state);
        ASSERT_TRUE(c) << row.name;
        const Shown &e = row.shown;
        EXPECT_EQ(c->recordVisible, e.record) << row.name;
        EXPECT_EQ(c->statusText, QString::fromUtf8(e.first)) << row.name;
        EXPECT_EQ(c->stabilityText, QString::fromUtf8(e.second)) << row.name;
        EXPECT_EQ(c->connectedInputVisible, e.input) << row.name;
        EXPECT_EQ(c->measValueVisible, e.value) << row.name;
        EXPECT_EQ(c->driftVisible, e.drift) << row.name;
        EXPECT_EQ(c->thermostatCaptionVisible, e.caption) << row.name;
        EXPECT_EQ(c->thermostatValueVisible, e.furnace) << row.name;
        EXPECT_EQ(c->thermostatEditVisible, e.edit) << row.name;
        EXPECT_EQ(c->skVisible, e.sk) << row.name;
        EXPECT_EQ(c->focus, e.focus) << row.name;
        EXPECT_TRUE(c->groupEnabled) << row.name;
    }
}

TEST(ChannelControlsFor, CaptionsAndConnectedInputFollowTheSwitch)
{
    const auto input = ChannelControlsFor(hidden(), stateOf({.position = kInput2}));
    EXPECT_EQ(input->connectedInput, QStringLiteral("2, прямое"));
    const auto furnace = ChannelControlsFor(hidden(), stateOf({}));
    EXPECT_EQ(furnace->connectedInput, InputLabel(kPosDirectReference));
    EXPECT_EQ(furnace->thermostatCaption, QString::fromUtf8(kFurnace));
    const auto mercury = ChannelControlsFor(hidden(), stateOf({.etalKind = 0}));
    EXPECT_EQ(mercury->thermostatCaption, QStringLiteral("Температура термостата, °С:"));
}

// Before the operator has set the switches, and while the channel rests at "0", the controls
// stay as they are; a channel that is not measured is cleared all the same.
TEST(ChannelControlsFor, NothingChangesUntilTheSwitchesAreSet)
{
    const ChannelControls before = hidden();
    EXPECT_FALSE(ChannelControlsFor(before, stateOf({.switched = false})));
    EXPECT_FALSE(ChannelControlsFor(before, stateOf({.position = kPosZero})));
    const auto idle = ChannelControlsFor(before, stateOf({.measuring = false, .switched = false}));
    ASSERT_TRUE(idle);
    EXPECT_TRUE(idle->statusText.isEmpty());
    const auto awaited = ChannelControlsFor(before, stateOf({.awaiting = true, .switched = false}));
    ASSERT_TRUE(awaited);
    EXPECT_TRUE(awaited->recordVisible);
}

// The recording button beeps when it appears for a stable furnace, not on every refresh.
TEST(ChannelControlsFor, TheButtonBeepsOnceWhenItAppears)
{
    const auto appeared = ChannelControlsFor(hidden(), stateOf({}));
    EXPECT_TRUE(appeared->beep);
    const auto again = ChannelControlsFor(*appeared, stateOf({}));
    EXPECT_TRUE(again->recordVisible);
    EXPECT_FALSE(again->beep);
    const auto input = ChannelControlsFor(hidden(), stateOf({.position = kInput2}));
    EXPECT_FALSE(input->beep);
}

// The values of the last reading are the acceptance's: a new state keeps them until the step
// of the channel closes; the connection warnings go with every new state.
TEST(ChannelControlsFor, ReadingValuesStayUntilTheStepCloses)
{
    ChannelControls shown = hidden();
    shown.measValue = QStringLiteral("12,345");
    shown.drift = QStringLiteral("0,20");
    shown.thermostatValue = QStringLiteral("350,12");
    shown.wrongConnectionVisible = true;
    shown.connectionDiagnosis = QStringLiteral("обрыв");
    shown.groupEnabled = false;
    shown.beep = true;
    shown.focus = ChannelEdit::Thermostat;

    const auto settling = ChannelControlsFor(shown, stateOf({.fixed = false}));
    EXPECT_EQ(settling->measValue, shown.measValue);
    EXPECT_EQ(settling->drift, shown.drift);
    EXPECT_EQ(settling->thermostatValue, shown.thermostatValue);
    EXPECT_FALSE(settling->wrongConnectionVisible);
    EXPECT_TRUE(settling->connectionDiagnosis.isEmpty());
    EXPECT_FALSE(settling->groupEnabled); // the group's enabling is the step's, not the state's
    EXPECT_FALSE(settling->beep);
    EXPECT_FALSE(settling->focus);

    const auto idle = ChannelControlsFor(shown, stateOf({.measuring = false}));
    EXPECT_EQ(idle->measValue, shown.measValue);
    EXPECT_TRUE(idle->wrongConnectionVisible);

    const auto closed = ChannelControlsFor(shown, stateOf({.awaiting = true, .entered = true}));
    EXPECT_TRUE(closed->measValue.isEmpty());
    EXPECT_TRUE(closed->drift.isEmpty());
    EXPECT_TRUE(closed->thermostatValue.isEmpty());
    EXPECT_TRUE(closed->connectedInput.isEmpty());
    EXPECT_FALSE(closed->wrongConnectionVisible);
}

} // namespace
} // namespace kront::test
