// The start of a measuring run of one channel (window message 1026): the voltmeter link, the
// furnace or thermostat and BI1 switch prompts, the cold junction of a ППО reference and the
// start of transmission.
#include "common/Dialogs.h"
#include "common/text/StringFunctions.h"
#include "common/text/StringFunctionsFormat.h"
#include "link/MeterLink.h"
#include "model/CodeTables.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/PoverkaEngine.h"
#include "settings/ProgramSettings.h"

namespace kront
{
namespace
{

const QString kPrepareCaption = QStringLiteral("Подготовка к измерению");

QString channelWord(int channel)
{
    return channel == 1 ? QStringLiteral("первого канала") : QStringLiteral("второго канала");
}

QString furnacePrompt(int channel, const QString &method)
{
    const int other = 3 - channel;
    return QStringLiteral("Установите требуемую температуру в печи, куда помещён пучок ") +
           channelWord(channel) + QStringLiteral(".\r\nУстановите на БИ1 переключатель ") +
           channelWord(other) + QStringLiteral(" в положение \"0\", а переключатель ") +
           channelWord(channel) + QStringLiteral(" в положение \"Т\" для ") + method +
           QStringLiteral(".\r\nЗатем нажмите кнопку \"ОК\".");
}

QString thermostatPrompt(int channel)
{
    return QStringLiteral("Установите требуемую температуру в термостате, куда помещён пучок ") +
           channelWord(channel) +
           QStringLiteral(".\r\nПосле стабилизации температуры в термостате нажмите кнопку "
                          "\"ОК\".");
}

const QString kNoChannel = QStringLiteral("Не удалось выбрать номер канала БИ1!");
const QString kStartReceiveFailed =
    QStringLiteral("Не удалось установить режим передачи показаний в измерителе ТАВЕР-7!");

} // namespace

void PoverkaEngine::StartMeasuringRun()
{
    if (closed)
        return;
    if (pov.ChannelUnused[1] && pov.ChannelUnused[2]) {
        dialogs.warning(QStringLiteral("Не обнаружены поверяемые ТП ни на одном из каналов!"));
        endWindow();
        return;
    }
    if (!SelectChannel()) {
        dialogs.warning(kNoChannel);
        return;
    }
    CurrentStep = -1;
    for (std::size_t i = 0; i < Steps.size(); ++i)
        if (int(Steps[i].Bunch->ChannelNum) == CurrentChannel)
            CurrentStep = int(i);
    Drift.clear();
    view.showDriftSamples(CurrentChannel, {}, DriftMonitor::kNotJudged);
    if (programSettings.temperatureStabilityControl())
        TemperatureStable = false;
    ReferenceRecorded = false;

    if (!meter || (!meter->linkConnected() && !meter->establishLink())) {
        endWindow();
        return;
    }
    ChannelStep *step = currentStep();
    if (!step) {
        dialogs.warning(kNoChannel);
        return;
    }
    const int channel = CurrentChannel;
    const bool ppo = step->Bunch->EtalSensor && step->Bunch->EtalSensor->NSHType == nshPPO;

    if (pov.Methodic == 1) {
        if (!runPromptLoop(kPrepareCaption,
                           furnacePrompt(channel, QStringLiteral("поэлектродного сличения")),
                           Dialogs::Icon::Information)) {
            endWindow();
            return;
        }
        setRunPositions(kPosElectrodeReference);
        EtalTsk = 0;
        if (ppo &&
            !askReferenceColdJunction(
                QStringLiteral("Укажите текущую температуру свободных концов эталонного ТП (от -50 "
                               "до 50 °C) для канала ") +
                    QString::number(channel) + QStringLiteral(":"),
                EtalTsk)) {
            endWindow();
            return;
        }
        if (!startTransmission())
            endWindow();
        return;
    }

    if (step->EtalKind != 0) {
        if (!runPromptLoop(kPrepareCaption,
                           furnacePrompt(channel, QStringLiteral("прямого измерения")),
                           Dialogs::Icon::Information)) {
            endWindow();
            return;
        }
    } else {
        if (!runPromptLoop(kPrepareCaption, thermostatPrompt(channel), Dialogs::Icon::Question)) {
            endWindow();
            return;
        }
        TemperatureStable = true;
    }
    setRunPositions(kPosDirectReference);
    EtalTsk = 0;
    if (step->EtalKind != 0 && ppo &&
        !askReferenceColdJunction(QStringLiteral("Укажите текущую температуру свободных концов "
                                                 "эталонного ТП (от -50 до 50 °C):"),
                                  EtalTsk)) {
        endWindow();
        return;
    }
    if (step->EtalKind >= 1 && step->EtalKind <= 3 && !meter->receiveOn() && !startTransmission())
        endWindow();
}

// The OK/Cancel prompt until OK, or until the operator confirms the cancel (false).
bool PoverkaEngine::runPromptLoop(const QString &caption, const QString &text, Dialogs::Icon icon)
{
    for (;;) {
        if (dialogs.message(caption, icon, text, Dialogs::Buttons::OkCancel) == Dialogs::Answer::Ok)
            return true;
        if (dialogs.message(QStringLiteral("Подтвердите отмену операции"), Dialogs::Icon::Question,
                            QStringLiteral("Прервать выполнение?"),
                            Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes)
            return false;
    }
}

// Cold-junction temperature of the reference thermocouple, -50..50 °C; false on cancel.
bool PoverkaEngine::askReferenceColdJunction(const QString &prompt, double &value)
{
    QString preset = QStringLiteral("0");
    for (;;) {
        const std::optional<QString> answer = dialogs.input(kProgramTitle, prompt, preset);
        if (!answer)
            return false;
        const QString text = NormalizeNumberText(answer->trimmed());
        double v = 0;
        if (!IsSignedNumber(text) || !TryStrToFloat(text, v)) {
            dialogs.warning(QStringLiteral("Указано недопустимое значение!"));
            preset = *answer;
            continue;
        }
        if (v < -50 || v > 50) {
            dialogs.warning(QStringLiteral("Указанное значение выходит за допустимый диапазон!"));
            preset = *answer;
            continue;
        }
        value = v;
        return true;
    }
}

// The operator has set the switches: the channel measured at its reference, the other at "0".
void PoverkaEngine::setRunPositions(int currentPosition)
{
    const int other = 3 - CurrentChannel;
    bi1.SetPosition(CurrentChannel, quint8(currentPosition));
    bi1.SetPosition(other, kPosZero);
    bi1.Switched = true;
    Fixed.reset();
    PrepareControls(other);
    PrepareControls(CurrentChannel);
    if (meter)
        meter->setSavedStatusText(Controls[CurrentChannel].statusText);
}

bool PoverkaEngine::startTransmission()
{
    meter->wait(500);
    return startReceive();
}

bool PoverkaEngine::startReceive()
{
    if (meter->startReceive())
        return true;
    dialogs.error(kStartReceiveFailed);
    return false;
}

} // namespace kront
