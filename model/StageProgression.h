#pragma once

#include "model/TPoverka.h"

namespace kront
{

// The stages of a verification and how its state moves on:
//   Initiation -> [Instability: step 0 before annealing, step 1 after] -> MainCycle: one step
//   per temperature point -> Calculation: one step, StepIndex 1 once the classes are determined.
// Stage, StepIndex and StepCount change only here (and InstabilityDone with them). Every change
// is to be stored as the state string (EncodeState) by the caller.

// The resumable state string: stage name, instability done "1"/"0", step index, step count,
// each followed by ";" (for example "MainCycle;1;3;5;").
QString EncodeState(const TPoverka &poverka);

// Reads Stage, InstabilityDone, StepIndex and StepCount from a state string. An unknown stage
// name keeps the current stage. The step fields are single digits. A step field that does not
// start with a digit is a conversion error: false, and the verification is left unchanged.
bool DecodeState(TPoverka &poverka, const QString &text);

// A verification not yet stored, or one whose first step could not be prepared: Initiation,
// no step, instability not done.
void RestartAtInitiation(TPoverka &poverka);

// What the next step of a verification is, once AdvanceToNextStep has moved the stage on.
enum class NextStep {
    InstabilityBeforeAnnealing, // measure step 0 of the instability check
    InstabilityAfterAnnealing,  // measure step 1 of the instability check
    EndInstability,             // no measuring: both instability steps are measured, but the
                                // program stopped before the stage ended (at the verdict's or
                                // the take-over question); the stage's questions come again
    MainCyclePoint,             // measure temperature point StepIndex of the main cycle
    DetermineClasses,           // no measuring: determine the classes, then FinishCalculation
    Finished,                   // the classes are determined; nothing is left to do
};

struct StepAdvance {
    NextStep step;
    bool stateChanged; // Stage, StepIndex or StepCount changed and must be stored
};

// Moves the stage on as the preparation of the next step does:
// - Instability past its second step: the end of the stage is still to come;
// - instability check wanted and not done: Initiation (or Instability at step 0) becomes
//   Instability 0 of 2; any other state is the step after annealing;
// - otherwise Initiation or Instability become MainCycle 0 of TempPointsCount; a MainCycle
//   with no point left becomes Calculation 0 of 1; a Calculation not yet done (resumed)
//   determines the classes; a done Calculation is finished.
StepAdvance AdvanceToNextStep(TPoverka &poverka);

// Both instability steps are measured and the stage has not moved on to the main cycle.
bool InstabilityStepsMeasured(const TPoverka &poverka);

// Closes a measured step: StepIndex + 1. True when the stage has no step left.
bool CompleteStep(TPoverka &poverka);

// Marks the instability stage complete (after its second step).
void FinishInstability(TPoverka &poverka);

// Starts the main cycle after the instability check: TempPointsCount points, at point 0, or at
// point 1 when the after-annealing readings are taken over as the first point.
void BeginMainCycle(TPoverka &poverka, bool afterAnnealingTakenOver);

// Every channel has ended early: the main cycle ends after point lastPoint (StepCount
// lastPoint + 1), which is also the verification's number of points from now on.
void EndMainCycleAfterPoint(TPoverka &poverka, quint32 lastPoint);

// Starts the calculation after the last temperature point: Calculation 0 of 1.
void BeginCalculation(TPoverka &poverka);

// Ends the calculation once the classes are determined: closes its one step (StepIndex 1).
void FinishCalculation(TPoverka &poverka);

// The classes are determined (Calculation 1 of 1): the conclusion page follows.
bool IsCalculationDone(const TPoverka &poverka);

} // namespace kront
