#include "model/StageProgression.h"

namespace kront
{
namespace
{

constexpr quint32 kInstabilitySteps = 2; // before and after annealing

void setStage(TPoverka &poverka, quint8 stage, quint32 stepIndex, quint32 stepCount)
{
    poverka.Stage = stage;
    poverka.StepIndex = stepIndex;
    poverka.StepCount = stepCount;
}

StepAdvance advanceInstability(TPoverka &poverka)
{
    if (poverka.Stage == stInitiation ||
        (poverka.Stage == stInstability && poverka.StepIndex == 0)) {
        setStage(poverka, stInstability, 0, kInstabilitySteps);
        return {NextStep::InstabilityBeforeAnnealing, true};
    }
    return {NextStep::InstabilityAfterAnnealing, false};
}

} // namespace

bool InstabilityStepsMeasured(const TPoverka &poverka)
{
    return poverka.Stage == stInstability && poverka.StepIndex >= kInstabilitySteps;
}

StepAdvance AdvanceToNextStep(TPoverka &poverka)
{
    if (InstabilityStepsMeasured(poverka))
        return {NextStep::EndInstability, false};
    if (poverka.InstabilityCheckNeeded && !poverka.InstabilityDone)
        return advanceInstability(poverka);

    switch (poverka.Stage) {
    case stInitiation:
    case stInstability:
        setStage(poverka, stMainCycle, 0, poverka.TempPointsCount);
        return {NextStep::MainCyclePoint, true};
    case stMainCycle:
        if (poverka.StepIndex < poverka.StepCount)
            return {NextStep::MainCyclePoint, false};
        BeginCalculation(poverka);
        return {NextStep::DetermineClasses, true};
    case stCalculation:
        if (poverka.StepIndex < poverka.StepCount)
            return {NextStep::DetermineClasses, false};
        return {NextStep::Finished, false};
    default: return {NextStep::Finished, false};
    }
}

bool CompleteStep(TPoverka &poverka)
{
    ++poverka.StepIndex;
    return poverka.StepIndex >= poverka.StepCount;
}

void FinishInstability(TPoverka &poverka)
{
    poverka.InstabilityDone = true;
}

void BeginMainCycle(TPoverka &poverka, bool afterAnnealingTakenOver)
{
    setStage(poverka, stMainCycle, afterAnnealingTakenOver ? 1 : 0, poverka.TempPointsCount);
}

void BeginCalculation(TPoverka &poverka)
{
    setStage(poverka, stCalculation, 0, 1);
}

void FinishCalculation(TPoverka &poverka)
{
    poverka.StepIndex = 1;
}

bool IsCalculationDone(const TPoverka &poverka)
{
    return poverka.Stage == stCalculation && poverka.StepIndex == 1 && poverka.StepCount == 1;
}

} // namespace kront
