// The steps of the measurement page over the stage machine: preparing a step with its grids and
// reference thermometers, closing it, the end of the instability check and of the calculation.
#include "procedure/StepSequencer.h"

#include "common/Dialogs.h"
#include "db/Database.h"
#include "db/ResultsTPQueries.h"
#include "link/MeterLink.h"
#include "metrology/CalculationRows.h"
#include "model/CodeTables.h"
#include "model/StageProgression.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/ChannelPanels.h"
#include "procedure/ClassResults.h"
#include "procedure/InstabilityResults.h"
#include "procedure/ProcedureContext.h"
#include "procedure/ReadingAcceptance.h"
#include "procedure/StepResults.h"
#include "settings/ProgramSettings.h"

namespace kront
{

void StepSequencer::storeState()
{
    ctx.db.DBPoverkaUpdateState(ctx.pov.ID,
                                EncodeState(ctx.pov)); // a failure is shown by the store
}

bool StepSequencer::finishCalculation()
{
    bool aborted = false;
    const auto abort = [this, &aborted] {
        aborted = true;
        ctx.host.abortVerification();
    };
    if (!DetermineClasses(ctx.pov, ctx.db, ctx.dialogs, abort, ctx.settings.reduceResultClass()))
        return false;
    if (aborted)
        return false;
    FinishCalculation(ctx.pov);
    storeState();
    if (!ctx.db.DBPoverkaSetFinished(ctx.pov.ID, &ctx.pov))
        ctx.dialogs.error(QStringLiteral("Не удалось установить дату завершения поверки!"));
    ctx.view.setNextEnabled(true); // the conclusion follows with "Next"
    return true;
}

bool StepSequencer::prepareStep()
{
    if (ctx.host.isClosed())
        return false;
    const StepAdvance next = AdvanceToNextStep(ctx.pov);
    QString subtitle;
    if (next.stateChanged)
        storeState();
    switch (next.step) {
    case NextStep::InstabilityBeforeAnnealing:
        subtitle = QStringLiteral("Проверка нестабильности: до отжига");
        break;
    case NextStep::InstabilityAfterAnnealing:
        subtitle = QStringLiteral("Проверка нестабильности: после отжига");
        break;
    case NextStep::MainCyclePoint:
        subtitle = QStringLiteral("Определение ТЭДС при ") +
                   QString::number(ctx.pov.StepIndex + 1) + QStringLiteral("-й температуре");
        break;
    case NextStep::EndInstability: return endStoppedInstabilityStage() && prepareStep();
    case NextStep::DetermineClasses: return finishCalculation();
    case NextStep::Finished: return true;
    }
    ctx.view.setMeasurementSubtitle(subtitle);

    layOutGrids();
    if (ctx.pov.Methodic == 1) {
        for (ChannelStep &step : ctx.step.steps) {
            if (step.Bunch->PovTerminated)
                continue;
            if (!step.Bunch->EtalSensor) {
                ctx.dialogs.warning(QStringLiteral(
                    "Внимание! Не указан эталонный ТП для поверки методом поэлектродного "
                    "сличения!"));
                ctx.step.dropSteps();
                return false;
            }
        }
        for (ChannelStep &step : ctx.step.steps)
            step.EtalKind = step.Bunch->EtalSensor ? step.Bunch->EtalSensor->SensKind : 0;
    } else if (!chooseReferenceThermometers()) {
        ctx.step.dropSteps();
        return false;
    }

    ctx.bi1.Switched = false;
    ctx.step.currentChannel = 0;
    ctx.step.currentStep = -1;
    if (ctx.meter)
        ctx.meter->setCurrentChannel(0);
    if (ctx.settings.temperatureStabilityControl())
        acceptance.setTemperatureStable(false);
    ctx.view.setNextEnabled(false);
    enableChannels();
    writeGridHeaders();
    ctx.host.refreshControls(1);
    ctx.host.refreshControls(2);
    return true;
}

// A verification continued after the program stopped at the end of its instability stage (at
// the verdict's question, the take-over question or an offer to end a channel): both annealing
// steps are stored, so they are not measured again; the verdict and the questions come again,
// on the stored rows, and the main cycle begins as the answers say. False when the
// verification was cancelled.
bool StepSequencer::endStoppedInstabilityStage()
{
    layOutGrids(); // the channel steps the verdict and the take-over work on
    for (const ChannelStep &step : ctx.step.steps)
        ctx.step.deviationText[ChannelOf(*step.Bunch)] =
            StoredDeviationText(ctx.db, ctx.pov.ID, *step.Bunch, kStageInstability, 1);
    const bool ended = finishInstabilityStage();
    if (ended)
        storeState();
    ctx.step.dropSteps();
    return ended;
}

void StepSequencer::layOutGrids()
{
    for (int channel = 1; channel <= 2; ++channel)
        for (int col = 1; col <= 4; ++col)
            for (int row = 1; row <= 5; ++row)
                ctx.step.grids[channel][col][row] = kNoReadingCell;
    ctx.step.dropSteps();
    for (int slot = 1; slot <= 2; ++slot) {
        TBunch *bunch = ctx.pov.Bunches[slot];
        if (!bunch)
            continue;
        ChannelStep step;
        step.Bunch = bunch;
        step.TskTP = -300;
        ctx.step.steps.push_back(step);
        const int channel = ChannelOf(*bunch);
        ReadingGridText &grid = ctx.step.grids[channel];
        for (int col = 1; col <= 4; ++col) {
            if (ctx.pov.Methodic == 0 || col == 1 || col == 3)
                grid[col][1].clear();
            for (int input = 1; input <= 4; ++input)
                if (bunch->Sensors[input])
                    grid[col][input + 1].clear();
        }
    }
}

bool StepSequencer::chooseReferenceThermometers()
{
    EtalChooserSetup setup;
    bool needed = false;
    for (ChannelStep &step : ctx.step.steps) {
        const int channel = ChannelOf(*step.Bunch);
        if (step.Bunch->EtalSensor) {
            step.EtalKind = step.Bunch->EtalSensor->SensKind;
            if (!step.Bunch->PovTerminated && !ctx.pov.ChannelUnused[channel]) {
                setup.enabled[channel] = true;
                needed = true;
            }
        } else {
            step.EtalKind = 0;
        }
    }
    for (int channel = 1; channel <= 2; ++channel)
        setup.selected[channel] = setup.enabled[channel] ? -1 : 0;
    if (!needed)
        return true;
    return ctx.view
        .selectEtalSensorType(setup,
                              [this, setup](const EtalChoice &choice) {
                                  EtalChoice c = choice;
                                  for (int ch = 1; ch <= 2; ++ch)
                                      if (!setup.enabled[ch])
                                          c[ch] = -2; // a disabled group is not read
                                  return acceptEtalChoice(c);
                              })
        .has_value();
}

bool StepSequencer::acceptEtalChoice(const EtalChoice &choice)
{
    for (int channel = 1; channel <= 2; ++channel) {
        if (choice[channel] == -2)
            continue;
        const QString n = QString::number(channel);
        if (choice[channel] < 0) {
            ctx.dialogs.warning(
                QStringLiteral("Необходимо выбрать тип термометра для контроля температуры для "
                               "канала ") +
                n + QStringLiteral("!"));
            return false;
        }
        ChannelStep *step = ctx.step.stepOfChannel(channel);
        if (choice[channel] == 0) {
            if (step)
                step->EtalKind = 0;
            continue;
        }
        if (!step || !step->Bunch->EtalSensor) {
            ctx.dialogs.warning(
                QStringLiteral("Нельзя выбрать термометр типа ТП, так как не указан "
                               "эталонный ТП для канала ") +
                n + QStringLiteral("!"));
            return false;
        }
        step->EtalKind = step->Bunch->EtalSensor->SensKind;
    }
    return true;
}

void StepSequencer::enableChannels()
{
    for (int channel = 1; channel <= ctx.pov.ChannelCount && channel <= 2; ++channel) {
        const ChannelStep *step = ctx.step.stepOfChannel(channel);
        const bool off = ctx.pov.ChannelUnused[channel] || (step && step->Bunch->PovTerminated);
        panels[channel].groupEnabled = !off;
        if (off) {
            for (int col = 1; col <= 4; ++col)
                for (int row = 1; row <= 5; ++row)
                    ctx.step.grids[channel][col][row].clear();
        }
        panels.show(channel);
    }
}

void StepSequencer::writeGridHeaders()
{
    static const char16_t *direct[] = {u"Отсчёт 1", u"Отсчёт 2", u"Отсчёт 3", u"Отсчёт 4"};
    static const char16_t *electrode[] = {u"e1, отсчёт 1", u"e2, отсчёт 1", u"e1, отсчёт 2",
                                          u"e2, отсчёт 2"};
    static const char16_t *rows[] = {u"ОБР", u"1", u"2", u"3", u"4"};
    for (int channel = 1; channel <= 2; ++channel) {
        ReadingGridText &grid = ctx.step.grids[channel];
        grid[0][0] = QStringLiteral("Вход:");
        for (int row = 1; row <= 5; ++row)
            grid[0][row] = QString::fromUtf16(rows[row - 1]);
        for (int col = 1; col <= 4; ++col)
            grid[col][0] =
                QString::fromUtf16(ctx.pov.Methodic == 0 ? direct[col - 1] : electrode[col - 1]);
        ctx.view.showReadingGrid(channel, grid);
    }
}

bool StepSequencer::offerTermination(ChannelStep &step, quint32 pointNum)
{
    const int channel = ChannelOf(*step.Bunch);
    // A bunch ended before the program stopped keeps that decision when the end of the
    // instability stage comes again.
    if (!ctx.settings.offerPoverkaTermination() || ctx.step.deviationText[channel].isEmpty() ||
        step.Bunch->PovTerminated)
        return false;
    if (!ctx.dialogs.askYesNo(
            QStringLiteral("Внимание! Отклонение от НСХ превысило предел "
                           "допускаемого отклонения от НСХ для заявленного класса "
                           "допуска для следующих ТП:\r\n") +
            ctx.step.deviationText[channel] +
            QStringLiteral("\r\nПрервать поверку для данного канала после "
                           "завершения текущей стадии?")))
        return false;
    step.Bunch->PovTerminated = true;
    step.Bunch->PovTermMeasPointNum = pointNum;
    ctx.db.DBBunchTPSetTerminated(step.Bunch->ID, int(pointNum));
    applyAllTerminatedRule();
    return true;
}

// Every channel ended: the main cycle ends after the last point measured, and the points
// measured (the last one's index + 1) become the verification's number of points.
void StepSequencer::applyAllTerminatedRule()
{
    quint32 largest = 0;
    for (const ChannelStep &s : ctx.step.steps) {
        if (!s.Bunch->PovTerminated)
            return;
        largest = std::max(largest, s.Bunch->PovTermMeasPointNum);
    }
    EndMainCycleAfterPoint(ctx.pov, largest);
    ctx.db.DBPoverkaTPSetStepCount(ctx.pov.ID, int(ctx.pov.StepCount));
}

void StepSequencer::completeStep()
{
    ctx.host.refreshControls(1);
    ctx.host.refreshControls(2);
    const bool stageDone = CompleteStep(ctx.pov);
    storeState();
    if (stageDone) {
        if (ctx.pov.Stage == stInitiation) {
            ctx.dialogs.message(kProgramTitle, Dialogs::Icon::None,
                                QStringLiteral("Недопустимая стадия поверки!!!!!!!!!!!!!!!!!"),
                                Dialogs::Buttons::Ok);
            return;
        }
        if (ctx.pov.Stage == stInstability) {
            if (!finishInstabilityStage())
                return;
        } else if (ctx.pov.Stage == stMainCycle) {
            BeginCalculation(ctx.pov);
        }
    }
    storeState();
    ctx.view.setNextEnabled(true);
    ctx.step.dropSteps();
}

// The end of the instability stage: the verdict, and the main cycle with or without the
// after-annealing readings taken over. False when the verification was aborted.
bool StepSequencer::finishInstabilityStage()
{
    FinishInstability(ctx.pov);
    std::vector<ChannelStepValues> values(ctx.step.steps.begin(), ctx.step.steps.end());
    const InstabilityVerdict verdict = EvaluateInstability(
        ctx.pov, values, ctx.db, ctx.dialogs, [this] { ctx.host.abortVerification(); });
    if (verdict.aborted || ctx.host.isClosed())
        return false;
    if (!verdict.text.isEmpty()) {
        storeState();
        if (ctx.dialogs.askYesNo(QStringLiteral("Внимание! ") + verdict.text +
                                 QStringLiteral("Отменить поверку?"))) {
            ctx.host.abortVerification();
            return false;
        }
    }
    if (!ctx.dialogs.askYesNo(QStringLiteral("Использовать результаты замеров после отжига как "
                                             "результаты поверки при первой температуре?"))) {
        BeginMainCycle(ctx.pov, false);
        return true;
    }
    for (ChannelStep &step : ctx.step.steps) {
        if (!DBCopyAfterBurnResultsAsMainCycle1(ctx.db, ctx.pov.ID, step.Bunch->ID)) {
            // Without the copied rows the first point would have no results: measure it.
            ctx.dialogs.error(QStringLiteral(
                "Не удалось перенести результаты замеров после отжига в результаты поверки при "
                "первой температуре! Первая температура будет измерена заново."));
            BeginMainCycle(ctx.pov, false);
            return true;
        }
    }
    // The first point is measured: channels may end after it, which shortens the main cycle.
    BeginMainCycle(ctx.pov, true);
    for (ChannelStep &step : ctx.step.steps)
        offerTermination(step, 0);
    return true;
}

void StepSequencer::restartAtInitiation()
{
    RestartAtInitiation(ctx.pov);
}

bool StepSequencer::calculationDone() const
{
    return IsCalculationDone(ctx.pov);
}

} // namespace kront
