// ProcessReading: every voltmeter reading of the channel now measured. The reference input
// gives the furnace temperature and its stability; an input gives the EMF of a thermocouple.
#include "common/DecimalRounding.h"
#include "common/Dialogs.h"
#include "common/text/StringFunctionsFormat.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/PoverkaEngine.h"
#include "procedure/ProcedureText.h"
#include "settings/ProgramSettings.h"

namespace kront
{

QString FixedText(double value, int digits)
{
    return FloatToStrF(rnd_n(value, digits), TFloatFormat::ffFixed, 15, digits);
}

void PoverkaEngine::ProcessReading(double x)
{
    if (closed || !bi1.Switched)
        return;
    const ChannelStep *step = currentStep();
    if (!step || CurrentChannel == 0)
        return;
    const int position = bi1.GetPosition(CurrentChannel);
    if (IsReferencePosition(position))
        processReference(x);
    else if (IsInputPosition(position))
        processInput(x);
}

bool PoverkaEngine::askDriftAbort()
{
    DriftWarned = true;
    if (!dialogs.askYesNo(QStringLiteral(
            "Внимание! Температурный ход превысил допустимое значение. Прервать поверку?")))
        return false;
    abortVerification();
    return true;
}

void PoverkaEngine::showDrift(double spread)
{
    view.showDriftSamples(CurrentChannel, Drift.DriftHistory, spread);
}

void PoverkaEngine::processReference(double x)
{
    const ChannelStep &step = *currentStep();
    if (step.EtalKind == 0 || ReferenceRecorded || !step.Bunch->EtalSensor)
        return;
    const double v = programSettings.bi1TInputInvertedPolarity() ? -x : x;
    Fixed.FixedValueCheck(v, programSettings.waitForFixedValue());
    if (!Fixed.ValueFixed) {
        PrepareControls(CurrentChannel);
        return;
    }
    const TThermometer &etal = *step.Bunch->EtalSensor;
    const double t = ReferenceTemperature(etal.NSHType, etal.ID, EtalTsk, rnd_n(v, 3),
                                          [cache = liveGraduation](qint32 id, double emf) {
                                              return (*cache)(id, emf);
                                          })
                         .t;
    const bool control = programSettings.temperatureStabilityControl();
    bool stable = true;
    double spread = 0;
    if (control) {
        const DriftJudgement j = Drift.DriftCheck(false, t);
        stable = j.stable;
        spread = j.spread;
        showDrift(spread);
    }
    const int channel = CurrentChannel;
    ChannelControls &c = Controls[channel];
    if (t >= -299) {
        watch.noteFurnace(pov, channel, t);
        if (!control || stable) {
            TemperatureStable = true;
        } else {
            if (TemperatureStable && !DriftWarned && askDriftAbort())
                return;
            TemperatureStable = false;
        }
        PrepareControls(channel);
        c.drift = spread >= DriftMonitor::kNotJudged ? QString() : FixedText(spread, 2);
        c.measValue = FixedText(v, 3);
        if (step.EtalKind >= 1 && step.EtalKind <= 3)
            c.thermostatValue = FixedText(t, 2);
        showControls(channel);
        return;
    }
    c.measValue = FixedText(v, 3);
    c.measValueVisible = true;
    if (step.EtalKind >= 1 && step.EtalKind <= 3) {
        c.thermostatValue = QStringLiteral("Вне допустимого диапазона");
        c.thermostatCaptionVisible = true;
        c.thermostatValueVisible = true;
    }
    if (control && TemperatureStable && !DriftWarned) {
        if (askDriftAbort())
            return;
    }
    if (control)
        TemperatureStable = false;
    c.recordVisible = false;
    c.connectionDiagnosis = connectionDiagnosis(channel, rnd_n(v, 3));
    showControls(channel);
}

QString PoverkaEngine::connectionDiagnosis(int channel, double measured)
{
    if (!programSettings.connectionCheck())
        return QString();
    return watch.diagnose({pov, bi1, Steps, channel, EtalTsk, Grids[channel]}, measured);
}

void PoverkaEngine::processInput(double x)
{
    Fixed.FixedValueCheck(x, programSettings.waitForFixedValue());
    if (!TemperatureStable)
        return;
    const int channel = CurrentChannel;
    PrepareControls(channel);
    // A reversed thermocouple of the direct method; any other reading clears both warnings.
    const bool wrong = pov.Methodic == 0 && x < 0;
    Controls[channel].wrongConnectionVisible = wrong;
    const int other = 3 - channel;
    if (!wrong && Controls[other].wrongConnectionVisible) {
        Controls[other].wrongConnectionVisible = false;
        showControls(other);
    }
    Controls[channel].measValue = pov.Methodic == 1 ? FixedText(x, 3) : FixedText(x, 2);
    if (Fixed.ValueFixed)
        Controls[channel].connectionDiagnosis = connectionDiagnosis(channel, x);
    showControls(channel);
}

} // namespace kront
