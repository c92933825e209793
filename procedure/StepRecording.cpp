// "Записать показание": the shown value goes into the reading grid and the channel's step, the
// run moves to the next input, and after the last reading the step of the channel closes with
// its measurement rows and calculation.
#include "procedure/StepRecording.h"

#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/text/StringFunctions.h"
#include "common/text/StringFunctionsFormat.h"
#include "db/Database.h"
#include "link/MeterLink.h"
#include "model/StageProgression.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/ChannelPanels.h"
#include "procedure/MeasuringRun.h"
#include "procedure/ProcedureContext.h"
#include "procedure/ReadingAcceptance.h"
#include "procedure/StepResults.h"
#include "procedure/StepSequencer.h"

namespace kront
{

StepRecording::StepRecording(ProcedureContext &context, ReadingAcceptance &readings,
                             ChannelPanels &channelPanels, MeasuringRun &measuringRun,
                             StepSequencer &steps, GraduationLookup lookup)
    : ctx(context), pov(context.pov), db(context.db), acceptance(readings), panels(channelPanels),
      run(measuringRun), sequencer(steps), graduation(std::move(lookup))
{
}

void StepRecording::record()
{
    acceptance.allowDriftQuestion();
    if (ctx.host.isClosed())
        return;
    ChannelStep *step = ctx.step.current();
    if (!step || ctx.step.currentChannel == 0)
        return;
    if (step->AwaitingTsk)
        closeChannelStep(*step);
    else
        recordReading(*step);
}

void StepRecording::recordReading(ChannelStep &step)
{
    const int channel = ctx.step.currentChannel;
    // A press that arrives after a reading event has withdrawn the button records nothing:
    // the value shown is no longer an accepted one.
    if (!panels[channel].recordVisible)
        return;
    const ReadingCursor cursor = ctx.cursor(channel);
    if (!cursor.current)
        return;
    const QString &diagnosis = panels[channel].connectionDiagnosis;
    if (!diagnosis.isEmpty() && !ctx.dialogs.askYesNo(ConnectionWatch::recordQuestion(diagnosis))) {
        acceptance.resetFixed(); // the operator corrects the connection: a new value has to settle
        ctx.host.refreshControls(channel);
        return;
    }
    const int position = ctx.bi1.GetPosition(channel);
    const bool reference = IsReferencePosition(position);
    const bool mercury = reference && pov.Methodic == 0 && step.EtalKind == 0;
    const QString text = NormalizeNumberText(
        (mercury ? ctx.view.editText(channel, ChannelEdit::Thermostat) : panels[channel].measValue)
            .trimmed());
    double value = 0;
    if (text.isEmpty() || !IsSignedNumber(text) || !TryStrToFloat(text, value)) {
        ctx.dialogs.error(QStringLiteral("Ошибка преобразования измеренного значения в число!"));
        return;
    }
    if (mercury && acceptance.judgeTypedTemperature(channel, value))
        return;
    ctx.step.grids[channel][cursor.col][cursor.row] = text;
    ctx.view.showReadingGrid(channel, ctx.step.grids[channel]);
    double stored = 0;
    TryStrToFloat(ctx.step.grids[channel][cursor.col][cursor.row], stored);
    const int element = ReadingElement(pov.Methodic, position);
    if (element >= 0)
        step.Readings[std::size_t(cursor.measNum)][std::size_t(element)] = stored;
    if (reference && step.EtalKind != 0)
        acceptance.setReferenceRecorded(true);

    if (cursor.found) {
        run.moveSwitch(cursor, mercury && cursor.measNum >= 2);
        if (reference)
            acceptance.setReferenceRecorded(false);
        if (reference && pov.Methodic == 0 && cursor.nextPosition != kPosDirectReference &&
            ctx.meter && !ctx.meter->receiveOn() && !run.startReceive()) {
            acceptance.clearDrift();
            ctx.host.endWindow();
            return;
        }
    } else {
        step.AwaitingTsk = true;
        if (ctx.meter)
            ctx.meter->stopReceive();
    }
    ctx.host.refreshControls(channel);
}

void StepRecording::closeChannelStep(ChannelStep &step)
{
    if (step.TskEntered)
        return;
    const int channel = ctx.step.currentChannel;
    const QString n = QString::number(channel);
    const QString converted =
        NormalizeNumberText(ctx.view.editText(channel, ChannelEdit::SKTemperature));
    ctx.view.setEditText(channel, ChannelEdit::SKTemperature, converted);
    const QString text = converted.trimmed();
    if (text.isEmpty()) {
        ctx.dialogs.warning(
            QStringLiteral(
                "Укажите значение температуры свободных концов эталонного ТП для канала ") +
            n + QStringLiteral("!"));
        return;
    }
    double tsk = 0;
    if (!IsSignedNumber(text) || !TryStrToFloat(text, tsk)) {
        ctx.dialogs.warning(QStringLiteral("Указано недопустимое значение температуры свободных "
                                           "концов эталонного ТП для канала ") +
                            n + QStringLiteral("!"));
        return;
    }
    step.TskTP = tsk;
    step.TskEntered = true;
    const QString stage = EncodeState(pov).section(u';', 0, 0);
    std::optional<QString> deviations;
    if (writeMeasurementRows(step, stage))
        deviations = CalculateStepResults(pov, step, db, ctx.dialogs, graduation);
    if (!deviations) {
        // The rows of the step did not all reach the table (the store has said why): the step
        // stays open and the readings stay in the grid, so the operator can press again once
        // the table is writable; the rows are then written anew.
        step.TskTP = -300;
        step.TskEntered = false;
        return;
    }
    const int bunchChannel = ChannelOf(*step.Bunch);
    ctx.step.deviationText[bunchChannel] = *deviations;
    if (ctx.host.isClosed())
        return;
    if (pov.Stage == stMainCycle)
        sequencer.offerTermination(step, pov.StepIndex);

    const int finishedChannel = channel;
    if (run.selectChannel()) {
        ctx.view.postStartMeasuringRun();
        ctx.host.refreshControls(finishedChannel);
        return;
    }
    sequencer.completeStep();
}

bool StepRecording::writeMeasurementRows(const ChannelStep &step, const QString &stage)
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

} // namespace kront
