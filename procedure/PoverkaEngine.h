#pragma once

#include "link/LinkInterfaces.h"
#include "metrology/ReferenceTemperature.h"
#include "procedure/ChannelPanels.h"
#include "procedure/MeasuringRun.h"
#include "procedure/PoverkaView.h"
#include "procedure/ProcedureContext.h"
#include "procedure/ReadingAcceptance.h"
#include "procedure/SetupPages.h"
#include "procedure/StepRecording.h"
#include "procedure/StepSequencer.h"
#include "procedure/VerificationSetup.h"

#include <QStringList>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace kront
{

class Database;
class Dialogs;
class MeterLink;
class ProgramSettings;
class TBi1;
class TPoverka;

// The verification procedure behind the window TFormPoverkaTP: setup pages 1..3, the
// measurement page and the conclusion. The window forwards its events here and shows what
// PoverkaView is told. The measurement page is done by jobs the engine owns: the step sequence
// over the stage machine (StepSequencer), measuring runs (MeasuringRun), reading acceptance
// (ReadingAcceptance), step recording (StepRecording) and the channel controls (ChannelPanels,
// ChannelControlsFor). One engine per open window; the verification, the switching unit and
// the settings are the window's (not owned).
//
// A voltmeter or port that disappears in the middle of a run: the link reports it in the status
// panel of the channel, no reading arrives, so the recording button stays withdrawn and nothing
// of the open step is written (a step's rows are written only when it closes). The stored state
// names the open step; the operator closes the window ("Прервать") and later continues the
// verification from the unfinished list at that step.
class PoverkaEngine : public LinkView, public ReadingSink, private EngineHost
{
public:
    PoverkaEngine(TPoverka &poverka, TBi1 &bi1, Database &db, Dialogs &dialogs,
                  const ProgramSettings &programSettings, PoverkaView &view);
    ~PoverkaEngine() override;

    // The voltmeter link (not owned); without one no run can start.
    void setLink(MeterLink *link) { ctx.meter = link; }
    // Graduation of the reference thermocouples (default: the EtalSens table).
    void setGraduation(const GraduationLookup &lookup);

    // --- Pages 1..3 (setup) ---
    SetupPrepared Prepare() { return setup.prepare(); }
    // Page 1 "Далее" of the wizard (JvWizardInteriorPage1NextButtonClick). On success equipLines
    // gets the lines of EquipParamsTP.INI when that file exists (the window replaces its page 2
    // text with them), else stays as it was.
    bool acceptParametersPage(const ParametersPage &page, std::optional<QStringList> &equipLines)
    {
        return setup.acceptParametersPage(page, equipLines);
    }
    // Page 2 "Далее" of the wizard (JvWizardInteriorPage2NextButtonClick): the means become the
    // verification's and are written to EquipParamsTP.INI.
    bool acceptMeansPage(const QStringList &lines) { return setup.acceptMeansPage(lines); }
    // Page 3 "Далее" of the wizard (JvWizardInteriorPage3NextButtonClick): stores the verification;
    // resistance texts are normalised in place (the window writes them back into its cells). True:
    // the wizard goes on to page 4.
    bool acceptInspectionPage(InspectionPage &page) { return setup.acceptInspectionPage(page); }

    // --- Page 4 (measurement) ---
    ReadingCursor GetMeasNumAndNextInput(int channel) const { return ctx.cursor(channel); }
    void JvWizardInteriorPage4Page(); // page 4 shown: posts message 1026
    // Page 4 "Далее" of the wizard (JvWizardInteriorPage4NextButtonClick): moves on to the
    // next step, or leaves the page once the classes are determined. True when the wizard goes
    // on to page 5.
    bool acceptMeasurementPage();
    void StartMeasuringRun() { run.start(); } // message 1026
    void PrepareControls(int channel);
    void ProcessReading(double x) override { acceptance.process(x); } // a reading, mV
    void RecordToStringGrid() { recording.record(); } // ButtonRecordMeas1Click / 2Click
    // A resumed verification: prepares its stored step. True: the window shows page 4.
    bool PrepareResumed();

    // --- Page 5 (conclusion) ---
    // Fills the conclusion grids (JvWizardInteriorPage5Page).
    void JvWizardInteriorPage5Page();
    // BunchesTP ID of the bunch of channel 1 or 2 for its protocol button; 0 when none.
    int ProtocolBunchID(int channel) const;

    // The window closes (finish, close box, abort): stops readings, closes the port, drops
    // the channel steps. Further events are ignored.
    void WindowClosing();
    bool isClosed() const override { return closed; }

    // LinkView: texts of the link for the first status panel, and refreshes.
    void showChannelStatus(int channel, const QString &text) override;
    void refreshChannelControls(int channel) override { PrepareControls(channel); }

    // --- Page state (read by tests) ---
    const std::vector<ChannelStep> &steps() const { return ctx.step.steps; }
    int currentChannel() const { return ctx.step.currentChannel; }
    const ReadingGridText &grid(int channel) const { return ctx.step.grids[std::size_t(channel)]; }
    // The open step and the reading acceptance, for the tests that set up a state directly.
    StepState &stepState() { return ctx.step; }
    ReadingAcceptance &readings() { return acceptance; }
    ChannelPanels &channelPanels() { return panels; }

private:
    // EngineHost
    void refreshControls(int channel) override { PrepareControls(channel); }
    void abortVerification() override;
    void endWindow() override;

    ChannelState channelState(int channel) const;
    void dropSteps() { ctx.step.dropSteps(); }
    void stopReadings(); // the voltmeter stops sending, the steps are dropped

    ProcedureContext ctx;
    TPoverka &pov;
    Database &db;
    Dialogs &dialogs;
    PoverkaView &view;
    ChannelPanels panels{ctx};
    ReadingAcceptance acceptance;
    StepSequencer sequencer{ctx, acceptance, panels};
    MeasuringRun run{ctx, acceptance, panels};
    StepRecording recording;
    VerificationSetup setup{ctx, sequencer};
    bool closed = false;
};

} // namespace kront
