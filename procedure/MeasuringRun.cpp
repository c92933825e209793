#include "procedure/MeasuringRun.h"

#include "common/Dialogs.h"
#include "common/text/StringFunctions.h"
#include "common/text/StringFunctionsFormat.h"
#include "link/MeterLink.h"
#include "model/CodeTables.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/ChannelPanels.h"
#include "procedure/ProcedureContext.h"
#include "procedure/ReadingAcceptance.h"
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

void MeasuringRun::start()
{
    if (ctx.host.isClosed())
        return;
    TPoverka &pov = ctx.pov;
    StepState &state = ctx.step;
    if (pov.ChannelUnused[1] && pov.ChannelUnused[2]) {
        ctx.dialogs.warning(QStringLiteral("Не обнаружены поверяемые ТП ни на одном из каналов!"));
        ctx.host.endWindow();
        return;
    }
    if (!selectChannel()) {
        ctx.dialogs.warning(kNoChannel);
        return;
    }
    state.currentStep = -1;
    for (std::size_t i = 0; i < state.steps.size(); ++i)
        if (int(state.steps[i].Bunch->ChannelNum) == state.currentChannel)
            state.currentStep = int(i);
    acceptance.startRun();

    MeterLink *meter = ctx.meter;
    if (!meter || (!meter->linkConnected() && !meter->establishLink())) {
        ctx.host.endWindow();
        return;
    }
    ChannelStep *step = state.current();
    if (!step) {
        ctx.dialogs.warning(kNoChannel);
        return;
    }
    const int channel = state.currentChannel;
    const bool ppo = step->Bunch->EtalSensor && step->Bunch->EtalSensor->NSHType == nshPPO;

    if (pov.Methodic == 1) {
        if (!runPromptLoop(kPrepareCaption,
                           furnacePrompt(channel, QStringLiteral("поэлектродного сличения")),
                           Dialogs::Icon::Information)) {
            ctx.host.endWindow();
            return;
        }
        setRunPositions(kPosElectrodeReference);
        state.etalTsk = 0;
        if (ppo &&
            !askReferenceColdJunction(
                QStringLiteral("Укажите текущую температуру свободных концов эталонного ТП (от -50 "
                               "до 50 °C) для канала ") +
                    QString::number(channel) + QStringLiteral(":"),
                state.etalTsk)) {
            ctx.host.endWindow();
            return;
        }
        if (!startTransmission())
            ctx.host.endWindow();
        return;
    }

    if (step->EtalKind != 0) {
        if (!runPromptLoop(kPrepareCaption,
                           furnacePrompt(channel, QStringLiteral("прямого измерения")),
                           Dialogs::Icon::Information)) {
            ctx.host.endWindow();
            return;
        }
    } else {
        if (!runPromptLoop(kPrepareCaption, thermostatPrompt(channel), Dialogs::Icon::Question)) {
            ctx.host.endWindow();
            return;
        }
        acceptance.setTemperatureStable(true);
    }
    setRunPositions(kPosDirectReference);
    state.etalTsk = 0;
    if (step->EtalKind != 0 && ppo &&
        !askReferenceColdJunction(QStringLiteral("Укажите текущую температуру свободных концов "
                                                 "эталонного ТП (от -50 до 50 °C):"),
                                  state.etalTsk)) {
        ctx.host.endWindow();
        return;
    }
    if (step->EtalKind >= 1 && step->EtalKind <= 3 && !meter->receiveOn() && !startTransmission())
        ctx.host.endWindow();
}

bool MeasuringRun::selectChannel()
{
    StepState &state = ctx.step;
    state.currentChannel = 0;
    for (int channel = 1; channel <= 2 && state.currentChannel == 0; ++channel) {
        if (ctx.pov.ChannelUnused[channel])
            continue;
        const ChannelStep *found = nullptr;
        for (const ChannelStep &step : state.steps)
            if (int(step.Bunch->ChannelNum) == channel && !step.Bunch->PovTerminated)
                found = &step;
        if (found && (!found->AwaitingTsk || !found->TskEntered))
            state.currentChannel = channel;
    }
    if (ctx.meter)
        ctx.meter->setCurrentChannel(state.currentChannel);
    return state.currentChannel != 0;
}

void MeasuringRun::moveSwitch(const ReadingCursor &cursor, bool mercuryReferenceOfLaterSeries)
{
    const int channel = ctx.step.currentChannel;
    if (cursor.nextPosition != ctx.bi1.GetPosition(channel)) {
        const ChannelStep *step = ctx.step.current();
        const bool mercury = ctx.pov.Methodic == 0 && step && step->EtalKind == 0;
        const bool silent = mercury && (cursor.nextPosition == kPosDirectReference ||
                                        mercuryReferenceOfLaterSeries);
        if (!silent) {
            const QString first =
                channel == 1 ? QStringLiteral(
                                   "Установите на БИ1 переключатель первого канала в положение \"")
                             : QStringLiteral(
                                   "Установите на БИ1 переключатель второго канала в положение \"");
            ctx.dialogs.message(kProgramTitle, Dialogs::Icon::Information,
                                first + InputLabel(cursor.nextPosition) +
                                    QStringLiteral("\".\r\nЗатем нажмите кнопку \"ОК\"."),
                                Dialogs::Buttons::Ok);
        }
        ctx.bi1.SetPosition(channel, quint8(cursor.nextPosition));
    }
    acceptance.resetFixed();
}

// The OK/Cancel prompt until OK, or until the operator confirms the cancel (false).
bool MeasuringRun::runPromptLoop(const QString &caption, const QString &text, Dialogs::Icon icon)
{
    for (;;) {
        if (ctx.dialogs.message(caption, icon, text, Dialogs::Buttons::OkCancel) ==
            Dialogs::Answer::Ok)
            return true;
        if (ctx.dialogs.message(QStringLiteral("Подтвердите отмену операции"),
                                Dialogs::Icon::Question, QStringLiteral("Прервать выполнение?"),
                                Dialogs::Buttons::YesNo) == Dialogs::Answer::Yes)
            return false;
    }
}

// Cold-junction temperature of the reference thermocouple, -50..50 °C; false on cancel.
bool MeasuringRun::askReferenceColdJunction(const QString &prompt, double &value)
{
    QString preset = QStringLiteral("0");
    for (;;) {
        const std::optional<QString> answer = ctx.dialogs.input(kProgramTitle, prompt, preset);
        if (!answer)
            return false;
        const QString text = NormalizeNumberText(answer->trimmed());
        double v = 0;
        if (!IsSignedNumber(text) || !TryStrToFloat(text, v)) {
            ctx.dialogs.warning(QStringLiteral("Указано недопустимое значение!"));
            preset = *answer;
            continue;
        }
        if (v < -50 || v > 50) {
            ctx.dialogs.warning(
                QStringLiteral("Указанное значение выходит за допустимый диапазон!"));
            preset = *answer;
            continue;
        }
        value = v;
        return true;
    }
}

// The operator has set the switches: the channel measured at its reference, the other at "0".
void MeasuringRun::setRunPositions(int currentPosition)
{
    const int channel = ctx.step.currentChannel;
    const int other = 3 - channel;
    ctx.bi1.SetPosition(channel, quint8(currentPosition));
    ctx.bi1.SetPosition(other, kPosZero);
    ctx.bi1.Switched = true;
    acceptance.resetFixed();
    ctx.host.refreshControls(other);
    ctx.host.refreshControls(channel);
    if (ctx.meter)
        ctx.meter->setSavedStatusText(panels[channel].statusText);
}

bool MeasuringRun::startTransmission()
{
    ctx.meter->wait(500);
    return startReceive();
}

bool MeasuringRun::startReceive()
{
    if (ctx.meter->startReceive())
        return true;
    ctx.dialogs.error(kStartReceiveFailed);
    return false;
}

} // namespace kront
