#include "model/StageProgression.h"
#include "model/TPoverka.h"

#include <gtest/gtest.h>

namespace kront
{
namespace
{

struct StateCase {
    int stage;
    bool instabilityDone;
    quint32 stepIndex;
    quint32 stepCount;
    const char *text;
};

TEST(StateString, EncodesAndDecodesBackEveryStage)
{
    const StateCase cases[] = {
        {stInitiation, false, 0, 0, "Initiation;0;0;0;"},
        {stInstability, false, 0, 2, "Instability;0;0;2;"},
        {stInstability, false, 1, 2, "Instability;0;1;2;"},
        {stInstability, true, 2, 2, "Instability;1;2;2;"},
        {stMainCycle, false, 2, 4, "MainCycle;0;2;4;"},
        {stMainCycle, true, 3, 5, "MainCycle;1;3;5;"},
        {stMainCycle, true, 8, 8, "MainCycle;1;8;8;"},
        {stCalculation, false, 1, 1, "Calculation;0;1;1;"},
        {stCalculation, true, 0, 1, "Calculation;1;0;1;"},
    };
    for (const StateCase &c : cases) {
        TPoverka original;
        original.Stage = quint8(c.stage);
        original.InstabilityDone = c.instabilityDone;
        original.StepIndex = c.stepIndex;
        original.StepCount = c.stepCount;
        EXPECT_EQ(EncodeState(original), QString::fromLatin1(c.text));

        TPoverka decoded;
        decoded.Stage = stCalculation;
        decoded.InstabilityDone = !c.instabilityDone;
        decoded.StepIndex = 7;
        decoded.StepCount = 7;
        ASSERT_TRUE(DecodeState(decoded, c.text)) << c.text;
        EXPECT_EQ(decoded.Stage, c.stage) << c.text;
        EXPECT_EQ(decoded.InstabilityDone, c.instabilityDone) << c.text;
        EXPECT_EQ(decoded.StepIndex, c.stepIndex) << c.text;
        EXPECT_EQ(decoded.StepCount, c.stepCount) << c.text;
    }
}

// Texts the program never writes but may find in a table: what decoding makes of them.
struct QuirkCase {
    const char *text;
    int stage; // the stage before decoding is MainCycle
    bool instabilityDone;
    quint32 stepIndex;
    quint32 stepCount;
};

TEST(StateString, DecodingReadsOnlyTheFirstCharacterOfEachField)
{
    const QuirkCase cases[] = {
        {"Calculation;0;1;1;", stCalculation, false, 1, 1},
        // Unknown or differently written stage names keep the stage.
        {"Finished;1;2;3;", stMainCycle, true, 2, 3},
        {"mainCycle;0;1;2;", stMainCycle, false, 1, 2},
        {"Initiation ;0;1;2;", stMainCycle, false, 1, 2},
        {";0;1;2;", stMainCycle, false, 1, 2},
        // Only the first character of a field counts.
        {"Instability;10;2;3;", stInstability, true, 2, 3},
        {"Instability;2;2;3;", stInstability, false, 2, 3},
        {"Instability;;2;3;", stInstability, false, 2, 3},
        {"MainCycle;1;12;34;", stMainCycle, true, 1, 3},
        {"MainCycle;1;3x;5y", stMainCycle, true, 3, 5},
        // The last separator is not needed.
        {"Initiation;0;0;0", stInitiation, false, 0, 0},
    };
    for (const QuirkCase &c : cases) {
        TPoverka p;
        p.Stage = stMainCycle;
        ASSERT_TRUE(DecodeState(p, c.text)) << c.text;
        EXPECT_EQ(p.Stage, c.stage) << c.text;
        EXPECT_EQ(p.InstabilityDone, c.instabilityDone) << c.text;
        EXPECT_EQ(p.StepIndex, c.stepIndex) << c.text;
        EXPECT_EQ(p.StepCount, c.stepCount) << c.text;
    }
}

TEST(StateString, AStepFieldThatIsNotADigitFailsAndChangesNothing)
{
    const char *texts[] = {"",
                           "MainCycle",
                           "MainCycle;1;",
                           "MainCycle;1;x;5;",
                           "MainCycle;1;3;",
                           "MainCycle;1;3;;",
                           "MainCycle;1; 3;5;",
                           "MainCycle;1;3;-5;",
                           "MainCycle;1;+3;5;",
                           "Calculation;0;١;1;"}; // an Arabic-Indic digit is not a decimal digit
    for (const char *text : texts) {
        TPoverka p;
        p.Stage = stInstability;
        p.InstabilityDone = false;
        p.StepIndex = 1;
        p.StepCount = 2;
        EXPECT_FALSE(DecodeState(p, QString::fromUtf8(text))) << text;
        EXPECT_EQ(p.Stage, stInstability) << text;
        EXPECT_FALSE(p.InstabilityDone) << text;
        EXPECT_EQ(p.StepIndex, 1u) << text;
        EXPECT_EQ(p.StepCount, 2u) << text;
    }
}

TEST(StageNames, NamesAndBack)
{
    const char *names[] = {"Initiation", "Instability", "MainCycle", "Calculation"};
    for (int stage = 0; stage < 4; ++stage) {
        EXPECT_EQ(StageName(stage), names[stage]);
        quint8 read = 9;
        EXPECT_TRUE(StageFromName(names[stage], read));
        EXPECT_EQ(read, stage);
    }
    EXPECT_TRUE(StageName(4).isEmpty());
    quint8 kept = stMainCycle;
    EXPECT_FALSE(StageFromName("calculation", kept));
    EXPECT_EQ(kept, stMainCycle);
}

// --- stage progression ----------------------------------------------------------------------

QString advance(TPoverka &p, NextStep expected, bool changed)
{
    const StepAdvance a = AdvanceToNextStep(p);
    EXPECT_EQ(a.step, expected) << EncodeState(p).toStdString();
    EXPECT_EQ(a.stateChanged, changed) << EncodeState(p).toStdString();
    return EncodeState(p);
}

TEST(StageProgression, WithoutInstabilityCheckEveryPointThenTheCalculation)
{
    TPoverka p;
    p.TempPointsCount = 3;
    EXPECT_EQ(advance(p, NextStep::MainCyclePoint, true), "MainCycle;0;0;3;");
    for (quint32 point = 0; point < 3; ++point) {
        if (point > 0) {
            EXPECT_EQ(advance(p, NextStep::MainCyclePoint, false),
                      QString("MainCycle;0;%1;3;").arg(point));
        }
        EXPECT_EQ(CompleteStep(p), point == 2);
    }
    EXPECT_EQ(EncodeState(p), "MainCycle;0;3;3;");
    EXPECT_EQ(advance(p, NextStep::DetermineClasses, true), "Calculation;0;0;1;");
    EXPECT_FALSE(IsCalculationDone(p));
    FinishCalculation(p);
    EXPECT_EQ(EncodeState(p), "Calculation;0;1;1;");
    EXPECT_TRUE(IsCalculationDone(p));
    EXPECT_EQ(advance(p, NextStep::Finished, false), "Calculation;0;1;1;");
}

TEST(StageProgression, InstabilityCheckBeforeAndAfterAnnealing)
{
    for (bool takenOver : {false, true}) {
        TPoverka p;
        p.InstabilityCheckNeeded = true;
        p.TempPointsCount = 5;
        EXPECT_EQ(advance(p, NextStep::InstabilityBeforeAnnealing, true), "Instability;0;0;2;");
        EXPECT_FALSE(CompleteStep(p));
        EXPECT_EQ(advance(p, NextStep::InstabilityAfterAnnealing, false), "Instability;0;1;2;");
        EXPECT_TRUE(CompleteStep(p));
        FinishInstability(p);
        EXPECT_EQ(EncodeState(p), "Instability;1;2;2;");
        BeginMainCycle(p, takenOver);
        EXPECT_EQ(EncodeState(p), takenOver ? "MainCycle;1;1;5;" : "MainCycle;1;0;5;");
        EXPECT_EQ(advance(p, NextStep::MainCyclePoint, false), EncodeState(p));
    }
}

TEST(StageProgression, ResumedStatesContinueWhereTheyStopped)
{
    struct Case {
        const char *stored;
        bool instabilityCheck;
        NextStep step;
        bool changed;
        const char *after;
    };
    const Case cases[] = {
        // Stopped during the first instability step: it is measured again.
        {"Instability;0;0;2;", true, NextStep::InstabilityBeforeAnnealing, true,
         "Instability;0;0;2;"},
        {"Instability;0;1;2;", true, NextStep::InstabilityAfterAnnealing, false,
         "Instability;0;1;2;"},
        // Stopped at the take-over question, or at the verdict's question: the end of the
        // stage comes again, nothing is measured a third time.
        {"Instability;0;2;2;", true, NextStep::EndInstability, false, "Instability;0;2;2;"},
        {"Instability;1;2;2;", true, NextStep::EndInstability, false, "Instability;1;2;2;"},
        {"MainCycle;1;3;4;", true, NextStep::MainCyclePoint, false, "MainCycle;1;3;4;"},
        {"MainCycle;0;4;4;", false, NextStep::DetermineClasses, true, "Calculation;0;0;1;"},
        {"Calculation;0;0;1;", false, NextStep::DetermineClasses, false, "Calculation;0;0;1;"},
        {"Calculation;1;1;1;", true, NextStep::Finished, false, "Calculation;1;1;1;"},
    };
    for (const Case &c : cases) {
        TPoverka p;
        p.InstabilityCheckNeeded = c.instabilityCheck;
        p.TempPointsCount = 4;
        ASSERT_TRUE(DecodeState(p, c.stored));
        EXPECT_EQ(advance(p, c.step, c.changed), c.after) << c.stored;
    }
}

TEST(StageProgression, CalculationStartsAfterTheLastPoint)
{
    TPoverka p;
    p.Stage = stMainCycle;
    p.StepIndex = 2;
    p.StepCount = 1; // all channels ended early at the first point
    BeginCalculation(p);
    EXPECT_EQ(EncodeState(p), "Calculation;0;0;1;");
}

TEST(StageProgression, ChannelsEndedEarlyShortenTheMainCycle)
{
    struct Case {
        const char *stored;
        bool takenOver; // the after-annealing readings are point 0, measured already
        quint32 lastPoint;
        const char *ended;
        const char *next;
    };
    const Case cases[] = {
        // Ended right after the taken-over first point: only the calculation is left.
        {"Instability;1;2;2;", true, 0, "MainCycle;1;1;1;", "Calculation;1;0;1;"},
        {"MainCycle;0;2;5;", false, 2, "MainCycle;0;2;3;", "Calculation;0;0;1;"},
        {"MainCycle;1;0;4;", false, 0, "MainCycle;1;0;1;", "Calculation;1;0;1;"},
    };
    for (const Case &c : cases) {
        TPoverka p;
        p.InstabilityCheckNeeded = c.takenOver;
        p.TempPointsCount = 5;
        ASSERT_TRUE(DecodeState(p, c.stored));
        if (c.takenOver)
            BeginMainCycle(p, true);
        EndMainCycleAfterPoint(p, c.lastPoint);
        EXPECT_EQ(EncodeState(p), c.ended) << c.stored;
        if (!c.takenOver) {
            EXPECT_TRUE(CompleteStep(p)) << c.stored;
        }
        EXPECT_EQ(advance(p, NextStep::DetermineClasses, true), c.next) << c.stored;
    }
}

} // namespace
} // namespace kront
