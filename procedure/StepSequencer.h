#pragma once

#include "procedure/PoverkaView.h"

#include <QtGlobal>

namespace kront
{

class ChannelPanels;
class ReadingAcceptance;
struct ChannelStep;
struct ProcedureContext;

// The steps of a verification over the stage machine (StageProgression): preparing the next
// step with its reading grids and reference thermometers, closing a measured step, the end of
// the instability check, channels ended early, and the determination of the classes. The only
// job of the engine that moves the stage, the step index or the step count; every move is
// stored as the verification's state.
class StepSequencer
{
public:
    StepSequencer(ProcedureContext &context, ReadingAcceptance &readings,
                  ChannelPanels &channelPanels)
        : ctx(context), acceptance(readings), panels(channelPanels)
    {
    }

    // Prepares the next step of the verification (the stage moves on as needed). False when
    // it cannot be measured, or the verification was cancelled.
    bool prepareStep();
    // Every channel's readings of the step are stored: the step closes, the stage moves on.
    void completeStep();
    // The step of a channel failed its tolerance: the operator may end the channel after the
    // stage (pointNum is its last point). True when it ends.
    bool offerTermination(ChannelStep &step, quint32 pointNum);
    // A verification whose first step could not be prepared starts afresh.
    void restartAtInitiation();
    // The classes are determined: the conclusion page follows.
    bool calculationDone() const;

private:
    void storeState();
    bool finishCalculation();
    bool endStoppedInstabilityStage();
    bool finishInstabilityStage();
    void applyAllTerminatedRule();
    void layOutGrids();
    bool chooseReferenceThermometers();
    bool acceptEtalChoice(const EtalChoice &choice);
    void enableChannels();
    void writeGridHeaders();

    ProcedureContext &ctx;
    ReadingAcceptance &acceptance;
    ChannelPanels &panels;
};

} // namespace kront
