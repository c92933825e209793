// The facade of the verification engine: its jobs, the measurement page's "Next", the channel
// controls' state and the end of the window.
#include "procedure/PoverkaEngine.h"

#include "link/MeterLink.h"
#include "model/CodeTables.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/StepResults.h"
#include "settings/ProgramSettings.h"

namespace kront
{

PoverkaEngine::PoverkaEngine(TPoverka &poverka, TBi1 &unit, Database &database, Dialogs &dialogSet,
                             const ProgramSettings &settings, PoverkaView &pageView)
    : ctx{poverka, unit, database, dialogSet, settings, pageView, *this, nullptr, {}}, pov(poverka),
      db(database), dialogs(dialogSet), view(pageView),
      acceptance(ctx, panels, databaseGraduation(database), databaseReferenceSpan(database)),
      recording(ctx, acceptance, panels, run, sequencer, databaseGraduation(database))
{
    for (int channel = 1; channel <= 2; ++channel)
        for (auto &col : ctx.step.grids[std::size_t(channel)])
            for (auto &cell : col)
                cell = kNoReadingCell;
}

PoverkaEngine::~PoverkaEngine() = default;

void PoverkaEngine::setGraduation(const GraduationLookup &lookup)
{
    recording.setGraduation(lookup);
    acceptance.setGraduation(lookup);
}

void PoverkaEngine::JvWizardInteriorPage4Page()
{
    // A resumed verification whose classes were just determined has no step to measure: no
    // run, and no "no channel" warning either.
    if (!closed && !ctx.step.steps.empty())
        view.postStartMeasuringRun();
}

bool PoverkaEngine::acceptMeasurementPage()
{
    if (closed)
        return false;
    if (sequencer.calculationDone()) {
        stopReadings();
        return true;
    }
    if (!sequencer.prepareStep()) {
        dropSteps();
        return false;
    }
    if (pov.Stage == stInstability || pov.Stage == stMainCycle) {
        view.postStartMeasuringRun();
        return false;
    }
    return pov.Stage == stCalculation && !closed;
}

bool PoverkaEngine::PrepareResumed()
{
    if (!sequencer.prepareStep()) {
        dropSteps();
        return false;
    }
    view.showPage(PoverkaPage::Measurement);
    PrepareControls(1);
    PrepareControls(2);
    return true;
}

ChannelState PoverkaEngine::channelState(int channel) const
{
    const ChannelStep *step = ctx.step.stepOfChannel(channel);
    const MeterLink *meter = ctx.meter;
    ChannelState s;
    s.measuring = pov.Stage != stInitiation && ctx.step.currentChannel != 0 && step;
    s.awaitingTsk = step && step->AwaitingTsk;
    s.tskEntered = step && step->TskEntered;
    s.switched = ctx.bi1.Switched;
    s.position = ctx.bi1.GetPosition(channel);
    s.etalKind = step ? step->EtalKind : 0;
    s.meterReady = meter && meter->meterReady();
    s.meterOutOfRange = meter && meter->meterOutOfRange();
    s.meterText = meter ? meter->meterStateText() : QString();
    s.valueFixed = acceptance.fixed().ValueFixed;
    s.temperatureStable = acceptance.temperatureStable();
    s.stabilityControl = ctx.settings.temperatureStabilityControl();
    s.stabilityForecast = ctx.settings.stabilityForecast();
    s.drift = &acceptance.drift();
    return s;
}

void PoverkaEngine::PrepareControls(int channel)
{
    if ((channel != 1 && channel != 2) || closed)
        return;
    panels.update(channel, channelState(channel));
}

void PoverkaEngine::showChannelStatus(int channel, const QString &text)
{
    if ((channel != 1 && channel != 2) || closed)
        return;
    panels.showStatus(channel, text);
}

void PoverkaEngine::stopReadings()
{
    acceptance.clearDrift();
    if (ctx.meter) {
        ctx.meter->pauseNotification();
        ctx.meter->stopReceive();
    }
    dropSteps();
}

void PoverkaEngine::abortVerification()
{
    stopReadings();
    acceptance.allowDriftQuestion();
    WindowClosing();
    view.closeWindow();
}

void PoverkaEngine::endWindow()
{
    dropSteps();
    WindowClosing();
    view.closeWindow();
}

void PoverkaEngine::WindowClosing()
{
    if (closed)
        return;
    closed = true;
    acceptance.clearDrift();
    if (ctx.meter)
        ctx.meter->closeLink();
    dropSteps();
}

} // namespace kront
