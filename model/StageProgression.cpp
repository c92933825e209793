#include "model/StageProgression.h"

#include <QStringView>

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

// The text after the first ";"; the whole text when it holds none.
QStringView afterSeparator(QStringView text)
{
    const qsizetype p = text.indexOf(u';');
    return p < 0 ? text : text.mid(p + 1);
}

// The decimal value of the first character, which must be a digit.
bool firstDigit(QStringView text, quint32 &value)
{
    if (text.isEmpty() || text.front() < u'0' || text.front() > u'9')
        return false;
    value = quint32(text.front().unicode() - u'0');
    return true;
}

} // namespace

QString EncodeState(const TPoverka &poverka)
{
    QString state;
    const QString stage = StageName(poverka.Stage);
    if (!stage.isEmpty())
        state += stage + u';';
    state += poverka.InstabilityDone ? u"1;" : u"0;";
    state += QString::number(poverka.StepIndex) + u';';
    state += QString::number(poverka.StepCount) + u';';
    return state;
}

bool DecodeState(TPoverka &poverka, const QString &text)
{
    QStringView rest(text);
    const qsizetype firstSeparator = rest.indexOf(u';');
    quint8 stage = poverka.Stage;
    if (firstSeparator >= 0)
        StageFromName(rest.left(firstSeparator).toString(), stage);

    rest = afterSeparator(rest);
    const bool instabilityDone = !rest.isEmpty() && rest.front() == u'1';

    quint32 stepIndex = 0;
    rest = afterSeparator(rest);
    if (!firstDigit(rest, stepIndex))
        return false;

    quint32 stepCount = 0;
    rest = afterSeparator(rest);
    if (!firstDigit(rest, stepCount))
        return false;

    poverka.Stage = stage;
    poverka.InstabilityDone = instabilityDone;
    poverka.StepIndex = stepIndex;
    poverka.StepCount = stepCount;
    return true;
}

void RestartAtInitiation(TPoverka &poverka)
{
    setStage(poverka, stInitiation, 0, 0);
    poverka.InstabilityDone = false;
}

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

void EndMainCycleAfterPoint(TPoverka &poverka, quint32 lastPoint)
{
    poverka.StepCount = lastPoint + 1;
}

void FinishCalculation(TPoverka &poverka)
{
    CompleteStep(poverka);
}

bool IsCalculationDone(const TPoverka &poverka)
{
    return poverka.Stage == stCalculation && poverka.StepIndex == 1 && poverka.StepCount == 1;
}

} // namespace kront
