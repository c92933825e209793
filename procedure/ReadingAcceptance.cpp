// Every voltmeter reading of the channel now measured. The reference input gives the furnace
// temperature and its stability; an input gives the EMF of a thermocouple.
#include "procedure/ReadingAcceptance.h"

#include "common/DecimalRounding.h"
#include "common/Dialogs.h"
#include "common/text/StringFunctionsFormat.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/ChannelPanels.h"
#include "procedure/ProcedureContext.h"
#include "procedure/ProcedureText.h"
#include "settings/ProgramSettings.h"

namespace kront
{

QString FixedText(double value, int digits)
{
    return FloatToStrF(rnd_n(value, digits), TFloatFormat::ffFixed, 15, digits);
}

ReadingAcceptance::ReadingAcceptance(ProcedureContext &context, ChannelPanels &channelPanels,
                                     const GraduationLookup &graduation, ReferenceSpanLookup spans)
    : ctx(context), panels(channelPanels),
      liveGraduation(std::make_shared<GraduationCache>(graduation)), watch(std::move(spans))
{
}

void ReadingAcceptance::setGraduation(const GraduationLookup &lookup)
{
    liveGraduation = std::make_shared<GraduationCache>(lookup);
}

void ReadingAcceptance::process(double x)
{
    if (ctx.host.isClosed() || !ctx.bi1.Switched)
        return;
    const ChannelStep *step = ctx.step.current();
    if (!step || ctx.step.currentChannel == 0)
        return;
    const int position = ctx.bi1.GetPosition(ctx.step.currentChannel);
    if (IsReferencePosition(position))
        processReference(x);
    else if (IsInputPosition(position))
        processInput(x);
}

void ReadingAcceptance::startRun()
{
    driftMonitor.clear();
    ctx.view.showDriftSamples(ctx.step.currentChannel, {}, DriftMonitor::kNotJudged);
    if (ctx.settings.temperatureStabilityControl())
        stable = false;
    recorded = false;
}

bool ReadingAcceptance::askDriftAbort()
{
    driftWarned = true;
    if (!ctx.dialogs.askYesNo(QStringLiteral(
            "Внимание! Температурный ход превысил допустимое значение. Прервать поверку?")))
        return false;
    ctx.host.abortVerification();
    return true;
}

bool ReadingAcceptance::judgeTypedTemperature(int channel, double t)
{
    const DriftJudgement j = driftMonitor.DriftCheck(true, t);
    ctx.view.showDriftSamples(channel, driftMonitor.DriftHistory, j.spread);
    return !j.stable && !driftWarned && askDriftAbort();
}

void ReadingAcceptance::showDrift(double spread)
{
    ctx.view.showDriftSamples(ctx.step.currentChannel, driftMonitor.DriftHistory, spread);
}

void ReadingAcceptance::processReference(double x)
{
    const ChannelStep &step = *ctx.step.current();
    if (step.EtalKind == 0 || recorded || !step.Bunch->EtalSensor)
        return;
    const ProgramSettings &settings = ctx.settings;
    const double v = settings.bi1TInputInvertedPolarity() ? -x : x;
    fixedValue.FixedValueCheck(v, settings.waitForFixedValue());
    const int channel = ctx.step.currentChannel;
    if (!fixedValue.ValueFixed) {
        ctx.host.refreshControls(channel);
        return;
    }
    const TThermometer &etal = *step.Bunch->EtalSensor;
    const double t = ReferenceTemperature(etal.NSHType, etal.ID, ctx.step.etalTsk, rnd_n(v, 3),
                                          [cache = liveGraduation](qint32 id, double emf) {
                                              return (*cache)(id, emf);
                                          })
                         .t;
    const bool control = settings.temperatureStabilityControl();
    bool judgedStable = true;
    double spread = 0;
    if (control) {
        const DriftJudgement j = driftMonitor.DriftCheck(false, t);
        judgedStable = j.stable;
        spread = j.spread;
        showDrift(spread);
    }
    ChannelControls &c = panels[channel];
    if (t >= -299) {
        watch.noteFurnace(ctx.pov, channel, t);
        if (!control || judgedStable) {
            stable = true;
        } else {
            if (stable && !driftWarned && askDriftAbort())
                return;
            stable = false;
        }
        ctx.host.refreshControls(channel);
        c.drift = spread >= DriftMonitor::kNotJudged ? QString() : FixedText(spread, 2);
        c.measValue = FixedText(v, 3);
        if (step.EtalKind >= 1 && step.EtalKind <= 3)
            c.thermostatValue = FixedText(t, 2);
        panels.show(channel);
        return;
    }
    c.measValue = FixedText(v, 3);
    c.measValueVisible = true;
    if (step.EtalKind >= 1 && step.EtalKind <= 3) {
        c.thermostatValue = QStringLiteral("Вне допустимого диапазона");
        c.thermostatCaptionVisible = true;
        c.thermostatValueVisible = true;
    }
    if (control && stable && !driftWarned) {
        if (askDriftAbort())
            return;
    }
    if (control)
        stable = false;
    c.recordVisible = false;
    c.connectionDiagnosis = connectionDiagnosis(channel, rnd_n(v, 3));
    panels.show(channel);
}

QString ReadingAcceptance::connectionDiagnosis(int channel, double measured)
{
    if (!ctx.settings.connectionCheck())
        return QString();
    const StepState &s = ctx.step;
    return watch.diagnose({ctx.pov, ctx.bi1, s.steps, channel, s.etalTsk, s.grids[channel]},
                          measured);
}

void ReadingAcceptance::processInput(double x)
{
    fixedValue.FixedValueCheck(x, ctx.settings.waitForFixedValue());
    if (!stable)
        return;
    const int channel = ctx.step.currentChannel;
    ctx.host.refreshControls(channel);
    // A reversed thermocouple of the direct method; any other reading clears both warnings.
    const bool wrong = ctx.pov.Methodic == 0 && x < 0;
    panels[channel].wrongConnectionVisible = wrong;
    const int other = 3 - channel;
    if (!wrong && panels[other].wrongConnectionVisible) {
        panels[other].wrongConnectionVisible = false;
        panels.show(other);
    }
    panels[channel].measValue = ctx.pov.Methodic == 1 ? FixedText(x, 3) : FixedText(x, 2);
    if (fixedValue.ValueFixed)
        panels[channel].connectionDiagnosis = connectionDiagnosis(channel, x);
    panels.show(channel);
}

} // namespace kront
