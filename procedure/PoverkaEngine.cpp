// The steps of the measurement page: preparing a step, choosing the channel and the reference
// thermometer, page 4 "Next", leaving the window.
#include "procedure/PoverkaEngine.h"

#include "common/Dialogs.h"
#include "db/Database.h"
#include "link/MeterLink.h"
#include "metrology/CalculationRows.h"
#include "model/CodeTables.h"
#include "model/StageProgression.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/ClassResults.h"
#include "procedure/StepResults.h"
#include "settings/ProgramSettings.h"

namespace kront
{

PoverkaEngine::PoverkaEngine(TPoverka &poverka, TBi1 &unit, Database &database, Dialogs &dialogSet,
                             const ProgramSettings &settings, PoverkaView &pageView)
    : pov(poverka), bi1(unit), db(database), dialogs(dialogSet), programSettings(settings),
      view(pageView), graduation(databaseGraduation(database)),
      liveGraduation(std::make_shared<GraduationCache>(graduation)),
      watch(databaseReferenceSpan(database))
{
    for (int channel = 1; channel <= 2; ++channel)
        for (auto &col : Grids[channel])
            for (auto &cell : col)
                cell = kNoReadingCell;
}

PoverkaEngine::~PoverkaEngine() = default;

void PoverkaEngine::storeState()
{
    db.DBPoverkaUpdateState(pov.ID, EncodeState(pov)); // a failure is shown by the store
}

bool PoverkaEngine::finishCalculation()
{
    bool aborted = false;
    const auto abort = [this, &aborted] {
        aborted = true;
        abortVerification();
    };
    if (!DetermineClasses(pov, db, dialogs, abort, programSettings.reduceResultClass()))
        return false;
    if (aborted)
        return false;
    FinishCalculation(pov);
    storeState();
    if (!db.DBPoverkaSetFinished(pov.ID, &pov))
        dialogs.error(QStringLiteral("Не удалось установить дату завершения поверки!"));
    NextEnabled = true; // the conclusion follows with "Next"
    view.setNextEnabled(true);
    return true;
}

bool PoverkaEngine::InitCurrentStep()
{
    if (closed)
        return false;
    const StepAdvance next = AdvanceToNextStep(pov);
    if (next.stateChanged)
        storeState();
    switch (next.step) {
    case NextStep::InstabilityBeforeAnnealing:
        Subtitle = QStringLiteral("Проверка нестабильности: до отжига");
        break;
    case NextStep::InstabilityAfterAnnealing:
        Subtitle = QStringLiteral("Проверка нестабильности: после отжига");
        break;
    case NextStep::MainCyclePoint:
        Subtitle = QStringLiteral("Определение ТЭДС при ") + QString::number(pov.StepIndex + 1) +
                   QStringLiteral("-й температуре");
        break;
    case NextStep::EndInstability: return endStoppedInstabilityStage() && InitCurrentStep();
    case NextStep::DetermineClasses: return finishCalculation();
    case NextStep::Finished: return true;
    }
    view.setMeasurementSubtitle(Subtitle);

    layOutGrids();
    if (pov.Methodic == 1) {
        for (ChannelStep &step : Steps) {
            if (step.Bunch->PovTerminated)
                continue;
            if (!step.Bunch->EtalSensor) {
                dialogs.warning(QStringLiteral(
                    "Внимание! Не указан эталонный ТП для поверки методом поэлектродного "
                    "сличения!"));
                dropSteps();
                return false;
            }
        }
        for (ChannelStep &step : Steps)
            step.EtalKind = step.Bunch->EtalSensor ? step.Bunch->EtalSensor->SensKind : 0;
    } else if (!chooseReferenceThermometers()) {
        dropSteps();
        return false;
    }

    bi1.Switched = false;
    CurrentChannel = 0;
    CurrentStep = -1;
    if (meter)
        meter->setCurrentChannel(0);
    if (programSettings.temperatureStabilityControl())
        TemperatureStable = false;
    NextEnabled = false;
    view.setNextEnabled(false);
    enableChannels();
    writeGridHeaders();
    PrepareControls(1);
    PrepareControls(2);
    return true;
}

// A verification continued after the program stopped at the end of its instability stage (at
// the verdict's question, the take-over question or an offer to end a channel): both annealing
// steps are stored, so they are not measured again; the verdict and the questions come again,
// on the stored rows, and the main cycle begins as the answers say. False when the
// verification was cancelled.
bool PoverkaEngine::endStoppedInstabilityStage()
{
    layOutGrids(); // the channel steps the verdict and the take-over work on
    for (const ChannelStep &step : Steps)
        DeviationText[step.Bunch->ChannelNum == 2 ? 2 : 1] =
            StoredDeviationText(db, pov.ID, *step.Bunch, kStageInstability, 1);
    const bool ended = finishInstabilityStage();
    if (ended)
        storeState();
    dropSteps();
    return ended;
}

void PoverkaEngine::layOutGrids()
{
    for (int channel = 1; channel <= 2; ++channel)
        for (int col = 1; col <= 4; ++col)
            for (int row = 1; row <= 5; ++row)
                Grids[channel][col][row] = kNoReadingCell;
    dropSteps();
    for (int slot = 1; slot <= 2; ++slot) {
        TBunch *bunch = pov.Bunches[slot];
        if (!bunch)
            continue;
        ChannelStep step;
        step.Bunch = bunch;
        step.TskTP = -300;
        Steps.push_back(step);
        const int channel = bunch->ChannelNum == 2 ? 2 : 1;
        ReadingGridText &grid = Grids[channel];
        for (int col = 1; col <= 4; ++col) {
            if (pov.Methodic == 0 || col == 1 || col == 3)
                grid[col][1].clear();
            for (int input = 1; input <= 4; ++input)
                if (bunch->Sensors[input])
                    grid[col][input + 1].clear();
        }
    }
}

bool PoverkaEngine::chooseReferenceThermometers()
{
    EtalChooserSetup setup;
    bool needed = false;
    for (ChannelStep &step : Steps) {
        const int channel = step.Bunch->ChannelNum == 2 ? 2 : 1;
        if (step.Bunch->EtalSensor) {
            step.EtalKind = step.Bunch->EtalSensor->SensKind;
            if (!step.Bunch->PovTerminated && !pov.ChannelUnused[channel]) {
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
    return view
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

bool PoverkaEngine::acceptEtalChoice(const EtalChoice &choice)
{
    for (int channel = 1; channel <= 2; ++channel) {
        if (choice[channel] == -2)
            continue;
        const QString n = QString::number(channel);
        if (choice[channel] < 0) {
            dialogs.warning(
                QStringLiteral("Необходимо выбрать тип термометра для контроля температуры для "
                               "канала ") +
                n + QStringLiteral("!"));
            return false;
        }
        ChannelStep *step = stepOfChannel(channel);
        if (choice[channel] == 0) {
            if (step)
                step->EtalKind = 0;
            continue;
        }
        if (!step || !step->Bunch->EtalSensor) {
            dialogs.warning(QStringLiteral("Нельзя выбрать термометр типа ТП, так как не указан "
                                           "эталонный ТП для канала ") +
                            n + QStringLiteral("!"));
            return false;
        }
        step->EtalKind = step->Bunch->EtalSensor->SensKind;
    }
    return true;
}

void PoverkaEngine::enableChannels()
{
    for (int channel = 1; channel <= pov.ChannelCount && channel <= 2; ++channel) {
        const ChannelStep *step = stepOfChannel(channel);
        const bool off = pov.ChannelUnused[channel] || (step && step->Bunch->PovTerminated);
        Controls[channel].groupEnabled = !off;
        if (off) {
            for (int col = 1; col <= 4; ++col)
                for (int row = 1; row <= 5; ++row)
                    Grids[channel][col][row].clear();
        }
        showControls(channel);
    }
}

void PoverkaEngine::writeGridHeaders()
{
    static const char16_t *direct[] = {u"Отсчёт 1", u"Отсчёт 2", u"Отсчёт 3", u"Отсчёт 4"};
    static const char16_t *electrode[] = {u"e1, отсчёт 1", u"e2, отсчёт 1", u"e1, отсчёт 2",
                                          u"e2, отсчёт 2"};
    static const char16_t *rows[] = {u"ОБР", u"1", u"2", u"3", u"4"};
    for (int channel = 1; channel <= 2; ++channel) {
        ReadingGridText &grid = Grids[channel];
        grid[0][0] = QStringLiteral("Вход:");
        for (int row = 1; row <= 5; ++row)
            grid[0][row] = QString::fromUtf16(rows[row - 1]);
        for (int col = 1; col <= 4; ++col)
            grid[col][0] =
                QString::fromUtf16(pov.Methodic == 0 ? direct[col - 1] : electrode[col - 1]);
        showGrid(channel);
    }
}

void PoverkaEngine::showGrid(int channel)
{
    view.showReadingGrid(channel, Grids[channel]);
}

ChannelStep *PoverkaEngine::stepOfChannel(int channel)
{
    ChannelStep *found = nullptr;
    for (ChannelStep &step : Steps)
        if (int(step.Bunch->ChannelNum) == channel)
            found = &step; // the last record of the channel
    return found;
}

const ChannelStep *PoverkaEngine::stepOfChannel(int channel) const
{
    return const_cast<PoverkaEngine *>(this)->stepOfChannel(channel);
}

ChannelStep *PoverkaEngine::currentStep()
{
    if (CurrentStep < 0 || CurrentStep >= int(Steps.size()))
        return nullptr;
    return &Steps[std::size_t(CurrentStep)];
}

bool PoverkaEngine::SelectChannel()
{
    CurrentChannel = 0;
    for (int channel = 1; channel <= 2 && CurrentChannel == 0; ++channel) {
        if (pov.ChannelUnused[channel])
            continue;
        const ChannelStep *found = nullptr;
        for (const ChannelStep &step : Steps)
            if (int(step.Bunch->ChannelNum) == channel && !step.Bunch->PovTerminated)
                found = &step;
        if (found && (!found->AwaitingTsk || !found->TskEntered))
            CurrentChannel = channel;
    }
    if (meter)
        meter->setCurrentChannel(CurrentChannel);
    return CurrentChannel != 0;
}

ReadingCursor PoverkaEngine::GetMeasNumAndNextInput(int channel) const
{
    if (channel != 1 && channel != 2)
        return {};
    return kront::GetMeasNumAndNextInput(Grids[channel], pov.Methodic, bi1.GetPosition(channel));
}

void PoverkaEngine::moveSwitch(const ReadingCursor &cursor, bool mercuryReferenceOfLaterSeries)
{
    const int channel = CurrentChannel;
    if (cursor.nextPosition != bi1.GetPosition(channel)) {
        const ChannelStep *step = currentStep();
        const bool mercury = pov.Methodic == 0 && step && step->EtalKind == 0;
        const bool silent = mercury && (cursor.nextPosition == kPosDirectReference ||
                                        mercuryReferenceOfLaterSeries);
        if (!silent) {
            const QString first =
                channel == 1 ? QStringLiteral(
                                   "Установите на БИ1 переключатель первого канала в положение \"")
                             : QStringLiteral(
                                   "Установите на БИ1 переключатель второго канала в положение \"");
            dialogs.message(kProgramTitle, Dialogs::Icon::Information,
                            first + InputLabel(cursor.nextPosition) +
                                QStringLiteral("\".\r\nЗатем нажмите кнопку \"ОК\"."),
                            Dialogs::Buttons::Ok);
        }
        bi1.SetPosition(channel, quint8(cursor.nextPosition));
    }
    Fixed.reset();
}

void PoverkaEngine::JvWizardInteriorPage4Page()
{
    // A resumed verification whose classes were just determined has no step to measure: no
    // run, and no "no channel" warning either.
    if (!closed && !Steps.empty())
        view.postStartMeasuringRun();
}

bool PoverkaEngine::acceptMeasurementPage()
{
    if (closed)
        return false;
    if (IsCalculationDone(pov)) {
        Drift.clear();
        if (meter) {
            meter->pauseNotification();
            meter->stopReceive();
        }
        dropSteps();
        return true;
    }
    if (!InitCurrentStep()) {
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
    if (!InitCurrentStep()) {
        dropSteps();
        return false;
    }
    view.showPage(PoverkaPage::Measurement);
    PrepareControls(1);
    PrepareControls(2);
    return true;
}

void PoverkaEngine::dropSteps()
{
    Steps.clear();
    CurrentStep = -1;
}

void PoverkaEngine::abortVerification()
{
    Drift.clear();
    if (meter) {
        meter->pauseNotification();
        meter->stopReceive();
    }
    dropSteps();
    DriftWarned = false;
    WindowClosing();
    view.closeWindow();
}

void PoverkaEngine::WindowClosing()
{
    if (closed)
        return;
    closed = true;
    Drift.clear();
    if (meter)
        meter->closeLink();
    dropSteps();
}

} // namespace kront
