// RecordToStringGrid: "Записать показание" takes the shown value into the reading grid and the
// channel's step, moves the run to the next input, and after the last reading closes the step
// of the channel with its measurement rows and calculation.
#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/text/StringFunctions.h"
#include "common/text/StringFunctionsFormat.h"
#include "db/Database.h"
#include "db/ResultsTPQueries.h"
#include "link/MeterLink.h"
#include "metrology/StepCalculation.h"
#include "model/StageProgression.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/InstabilityResults.h"
#include "procedure/PoverkaEngine.h"
#include "settings/ProgramSettings.h"

namespace kront
{

void PoverkaEngine::RecordToStringGrid()
{
    DriftWarned = false;
    if (closed)
        return;
    ChannelStep *step = currentStep();
    if (!step || CurrentChannel == 0)
        return;
    if (step->AwaitingTsk)
        closeChannelStep(*step);
    else
        recordReading(*step);
}

void PoverkaEngine::recordReading(ChannelStep &step)
{
    const int channel = CurrentChannel;
    // A press that arrives after a reading event has withdrawn the button records nothing:
    // the value shown is no longer an accepted one.
    if (!Controls[channel].recordVisible)
        return;
    const ReadingCursor cursor = GetMeasNumAndNextInput(channel);
    if (!cursor.current)
        return;
    const QString &diagnosis = Controls[channel].connectionDiagnosis;
    if (!diagnosis.isEmpty() && !dialogs.askYesNo(ConnectionWatch::recordQuestion(diagnosis))) {
        Fixed.reset(); // the operator corrects the connection: a new value has to settle
        PrepareControls(channel);
        return;
    }
    const int position = bi1.GetPosition(channel);
    const bool reference = IsReferencePosition(position);
    const bool mercury = reference && pov.Methodic == 0 && step.EtalKind == 0;
    const QString text = NormalizeNumberText(
        (mercury ? view.editText(channel, ChannelEdit::Thermostat) : Controls[channel].measValue)
            .trimmed());
    double value = 0;
    if (text.isEmpty() || !IsSignedNumber(text) || !TryStrToFloat(text, value)) {
        dialogs.error(QStringLiteral("Ошибка преобразования измеренного значения в число!"));
        return;
    }
    if (mercury) {
        const DriftJudgement j = Drift.DriftCheck(true, value);
        view.showDriftSamples(channel, Drift.DriftHistory, j.spread);
        if (!j.stable && !DriftWarned) {
            DriftWarned = true;
            if (dialogs.askYesNo(QStringLiteral("Внимание! Температурный ход превысил допустимое "
                                                "значение. Прервать поверку?"))) {
                abortVerification();
                return;
            }
        }
    }
    Grids[channel][cursor.col][cursor.row] = text;
    showGrid(channel);
    double stored = 0;
    TryStrToFloat(Grids[channel][cursor.col][cursor.row], stored);
    const int element = ReadingElement(pov.Methodic, position);
    if (element >= 0)
        step.Readings[std::size_t(cursor.measNum)][std::size_t(element)] = stored;
    if (reference && step.EtalKind != 0)
        ReferenceRecorded = true;

    if (cursor.found) {
        moveSwitch(cursor, mercury && cursor.measNum >= 2);
        if (reference)
            ReferenceRecorded = false;
        if (reference && pov.Methodic == 0 && cursor.nextPosition != kPosDirectReference && meter &&
            !meter->receiveOn() && !meter->startReceive()) {
            dialogs.error(
                QStringLiteral("Не удалось установить режим передачи показаний в измерителе "
                               "ТАВЕР-7!"));
            Drift.clear();
            dropSteps();
            WindowClosing();
            view.closeWindow();
            return;
        }
    } else {
        step.AwaitingTsk = true;
        if (meter)
            meter->stopReceive();
    }
    PrepareControls(channel);
}

void PoverkaEngine::closeChannelStep(ChannelStep &step)
{
    if (step.TskEntered)
        return;
    const int channel = CurrentChannel;
    const QString n = QString::number(channel);
    const QString converted =
        NormalizeNumberText(view.editText(channel, ChannelEdit::SKTemperature));
    view.setEditText(channel, ChannelEdit::SKTemperature, converted);
    const QString text = converted.trimmed();
    if (text.isEmpty()) {
        dialogs.warning(
            QStringLiteral(
                "Укажите значение температуры свободных концов эталонного ТП для канала ") +
            n + QStringLiteral("!"));
        return;
    }
    double tsk = 0;
    if (!IsSignedNumber(text) || !TryStrToFloat(text, tsk)) {
        dialogs.warning(QStringLiteral("Указано недопустимое значение температуры свободных "
                                       "концов эталонного ТП для канала ") +
                        n + QStringLiteral("!"));
        return;
    }
    step.TskTP = tsk;
    step.TskEntered = true;
    const QString stage = EncodeState(pov).section(u';', 0, 0);
    std::optional<QString> deviations;
    if (writeMeasurementRows(step, stage))
        deviations = CalculateStepResults(pov, step, db, dialogs, graduation);
    if (!deviations) {
        // The rows of the step did not all reach the table (the store has said why): the step
        // stays open and the readings stay in the grid, so the operator can press again once
        // the table is writable; the rows are then written anew.
        step.TskTP = -300;
        step.TskEntered = false;
        return;
    }
    const int bunchChannel = step.Bunch->ChannelNum == 2 ? 2 : 1;
    DeviationText[bunchChannel] = *deviations;
    if (closed)
        return;
    if (pov.Stage == stMainCycle)
        offerTermination(step, pov.StepIndex);

    const int finishedChannel = channel;
    if (SelectChannel()) {
        view.postStartMeasuringRun();
        PrepareControls(finishedChannel);
        return;
    }
    completeStep();
}

bool PoverkaEngine::writeMeasurementRows(const ChannelStep &step, const QString &stage)
{
    const bool electrode = pov.Methodic == 1;
    const int series = electrode ? 2 : 4;
    const QDateTime now = programClock().now();
    std::vector<TableRow> rows;
    for (int n = 1; n <= series; ++n) {
        const auto &r = step.Readings[std::size_t(n)];
        const bool thermocouple = electrode || step.EtalKind != 0;
        TableRow row(tables::ResultsTP, {{"PoverkaID", pov.ID},
                                         {"BunchID", step.Bunch->ID},
                                         {"Methodic", int(pov.Methodic)},
                                         {"Stage", stage},
                                         {"MeasPointNum", int(pov.StepIndex)},
                                         {"MeasNum", n},
                                         {"Tsk", step.TskTP},
                                         {"E_et", thermocouple ? r[0] : -300.0},
                                         {"Operation", QStringLiteral("Measure")},
                                         {"EtalSensorType", thermocouple ? 1 : 0},
                                         {"RecordCreationDateTime", now}});
        if (!electrode)
            row.set("t_et", thermocouple ? -300.0 : r[0]);
        for (int input = 1; input <= 4; ++input) {
            row.set(QStringLiteral("TEDSe1Inp%1").arg(input), r[std::size_t(input)]);
            if (electrode)
                row.set(QStringLiteral("TEDSe2Inp%1").arg(input), r[std::size_t(input + 4)]);
        }
        rows.push_back(std::move(row));
    }
    // Rows that an earlier close of this step left (its calculation failed, or the program
    // stopped before the step was stored as complete) are replaced: no series is stored twice.
    return db.DBDeleteResultsTPFilter(
               QStringLiteral("PoverkaID = %1 and BunchID = %2 and Stage = '%3' and MeasPointNum "
                              "= %4 and Operation = 'Measure'")
                   .arg(pov.ID)
                   .arg(step.Bunch->ID)
                   .arg(stage)
                   .arg(pov.StepIndex)) &&
           db.insertRows(tables::ResultsTP, rows);
}

bool PoverkaEngine::offerTermination(ChannelStep &step, quint32 pointNum)
{
    const int channel = step.Bunch->ChannelNum == 2 ? 2 : 1;
    // A bunch ended before the program stopped keeps that decision when the end of the
    // instability stage comes again.
    if (!programSettings.offerPoverkaTermination() || DeviationText[channel].isEmpty() ||
        step.Bunch->PovTerminated)
        return false;
    if (!dialogs.askYesNo(QStringLiteral("Внимание! Отклонение от НСХ превысило предел "
                                         "допускаемого отклонения от НСХ для заявленного класса "
                                         "допуска для следующих ТП:\r\n") +
                          DeviationText[channel] +
                          QStringLiteral("\r\nПрервать поверку для данного канала после "
                                         "завершения текущей стадии?")))
        return false;
    step.Bunch->PovTerminated = true;
    step.Bunch->PovTermMeasPointNum = pointNum;
    db.DBBunchTPSetTerminated(step.Bunch->ID, int(pointNum));
    applyAllTerminatedRule();
    return true;
}

// Every channel ended: the main cycle ends after the last point measured, and the points
// measured (the last one's index + 1) become the verification's number of points.
void PoverkaEngine::applyAllTerminatedRule()
{
    quint32 largest = 0;
    for (const ChannelStep &s : Steps) {
        if (!s.Bunch->PovTerminated)
            return;
        largest = std::max(largest, s.Bunch->PovTermMeasPointNum);
    }
    EndMainCycleAfterPoint(pov, largest);
    db.DBPoverkaTPSetStepCount(pov.ID, int(pov.StepCount));
}

void PoverkaEngine::completeStep()
{
    PrepareControls(1);
    PrepareControls(2);
    const bool stageDone = CompleteStep(pov);
    storeState();
    if (stageDone) {
        if (pov.Stage == stInitiation) {
            dialogs.message(kProgramTitle, Dialogs::Icon::None,
                            QStringLiteral("Недопустимая стадия поверки!!!!!!!!!!!!!!!!!"),
                            Dialogs::Buttons::Ok);
            return;
        }
        if (pov.Stage == stInstability) {
            if (!finishInstabilityStage())
                return;
        } else if (pov.Stage == stMainCycle) {
            BeginCalculation(pov);
        }
    }
    storeState();
    NextEnabled = true;
    view.setNextEnabled(true);
    dropSteps();
}

// The end of the instability stage: the verdict, and the main cycle with or without the
// after-annealing readings taken over. False when the verification was aborted.
bool PoverkaEngine::finishInstabilityStage()
{
    FinishInstability(pov);
    std::vector<ChannelStepValues> values(Steps.begin(), Steps.end());
    const InstabilityVerdict verdict =
        EvaluateInstability(pov, values, db, dialogs, [this] { abortVerification(); });
    if (verdict.aborted || closed)
        return false;
    if (!verdict.text.isEmpty()) {
        storeState();
        if (dialogs.askYesNo(QStringLiteral("Внимание! ") + verdict.text +
                             QStringLiteral("Отменить поверку?"))) {
            abortVerification();
            return false;
        }
    }
    if (!dialogs.askYesNo(QStringLiteral("Использовать результаты замеров после отжига как "
                                         "результаты поверки при первой температуре?"))) {
        BeginMainCycle(pov, false);
        return true;
    }
    for (ChannelStep &step : Steps) {
        if (!DBCopyAfterBurnResultsAsMainCycle1(db, pov.ID, step.Bunch->ID)) {
            // Without the copied rows the first point would have no results: measure it.
            dialogs.error(QStringLiteral(
                "Не удалось перенести результаты замеров после отжига в результаты поверки при "
                "первой температуре! Первая температура будет измерена заново."));
            BeginMainCycle(pov, false);
            return true;
        }
    }
    // The first point is measured: channels may end after it, which shortens the main cycle.
    BeginMainCycle(pov, true);
    for (ChannelStep &step : Steps)
        offerTermination(step, 0);
    return true;
}

} // namespace kront
