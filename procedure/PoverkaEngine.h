#pragma once

#include "common/Dialogs.h"
#include "db/VerificationConditions.h"
#include "link/LinkInterfaces.h"
#include "metrology/DriftCheck.h"
#include "metrology/FixedValueCheck.h"
#include "metrology/ReferenceTemperature.h"
#include "procedure/ChannelStep.h"
#include "procedure/ConnectionWatch.h"
#include "procedure/GraduationCache.h"
#include "procedure/PoverkaView.h"
#include "procedure/ReadingOrder.h"
#include "procedure/SetupPages.h"

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
// measurement page (steps, measuring runs, reading acceptance, recording) and the conclusion.
// The window forwards its events here and shows what PoverkaView is told. One engine per open
// window; the verification, the switching unit and the settings are the window's (not owned).
//
// A voltmeter or port that disappears in the middle of a run: the link reports it in the status
// panel of the channel, no reading arrives, so the recording button stays withdrawn and nothing
// of the open step is written (a step's rows are written only when it closes). The stored state
// names the open step; the operator closes the window ("Прервать") and later continues the
// verification from the unfinished list at that step.
class PoverkaEngine : public LinkView, public ReadingSink
{
public:
    PoverkaEngine(TPoverka &poverka, TBi1 &bi1, Database &db, Dialogs &dialogs,
                  const ProgramSettings &programSettings, PoverkaView &view);
    ~PoverkaEngine() override;

    // The voltmeter link (not owned); without one no run can start.
    void setLink(MeterLink *link) { meter = link; }
    // Graduation of the reference thermocouples (default: the EtalSens table).
    void setGraduation(GraduationLookup lookup)
    {
        graduation = lookup;
        liveGraduation = std::make_shared<GraduationCache>(std::move(lookup));
    }

    // --- Pages 1..3 (setup) ---
    SetupPrepared Prepare();
    // Page 1 "Далее" of the wizard (JvWizardInteriorPage1NextButtonClick). On success equipLines
    // gets the lines of EquipParamsTP.INI when that file exists (the window replaces its page 2
    // text with them), else stays as it was.
    bool acceptParametersPage(const ParametersPage &page, std::optional<QStringList> &equipLines);
    // Page 2 "Далее" of the wizard (JvWizardInteriorPage2NextButtonClick): the means become the
    // verification's and are written to EquipParamsTP.INI.
    bool acceptMeansPage(const QStringList &lines);
    // Page 3 "Далее" of the wizard (JvWizardInteriorPage3NextButtonClick): stores the verification;
    // resistance texts are normalised in place (the window writes them back into its cells). True:
    // the wizard goes on to page 4.
    bool acceptInspectionPage(InspectionPage &page);

    // --- Page 4 (measurement) ---
    bool InitCurrentStep();
    bool SelectChannel();
    ReadingCursor GetMeasNumAndNextInput(int channel) const;
    void JvWizardInteriorPage4Page(); // page 4 shown: posts message 1026
    // Page 4 "Далее" of the wizard (JvWizardInteriorPage4NextButtonClick): moves on to the
    // next step, or leaves the page once the classes are determined. True when the wizard goes
    // on to page 5.
    bool acceptMeasurementPage();
    void StartMeasuringRun(); // message 1026
    void PrepareControls(int channel);
    void ProcessReading(double x) override; // a reading of the voltmeter, mV
    void RecordToStringGrid();              // ButtonRecordMeas1Click / ButtonRecordMeas2Click
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
    bool isClosed() const { return closed; }

    // LinkView: texts of the link for the first status panel, and refreshes.
    void showChannelStatus(int channel, const QString &text) override;
    void refreshChannelControls(int channel) override { PrepareControls(channel); }

    // --- Page state (read by the window and by tests) ---
    std::vector<ChannelStep> Steps; // one per used channel, channel order
    int CurrentChannel = 0;
    int CurrentStep = -1; // index into Steps of CurrentChannel
    bool TemperatureStable = false;
    bool ReferenceRecorded = false;
    bool DriftWarned = false;
    double EtalTsk = 0; // °C
    FixedValueState Fixed;
    DriftMonitor Drift;
    std::array<ReadingGridText, 3> Grids;     // channels 1..2
    std::array<ChannelControls, 3> Controls;  // channels 1..2
    std::array<QString, 3> DeviationText;     // channels 1..2
    std::array<ConclusionGrid, 3> Conclusion; // grids 1..2
    QString Subtitle;
    bool NextEnabled = false;

private:
    // Setup
    bool storeVerification(const InspectionPage &page);
    bool storeSensors(int channel);
    bool storeBunch(int channel, const InspectionPage &page);
    bool storeConditions();
    void deletePartialData();

    // Steps
    void storeState();
    bool finishCalculation();
    bool endStoppedInstabilityStage();
    void layOutGrids();
    bool chooseReferenceThermometers();
    bool acceptEtalChoice(const EtalChoice &choice);
    void enableChannels();
    void writeGridHeaders();
    void showGrid(int channel);
    ChannelStep *stepOfChannel(int channel);
    const ChannelStep *stepOfChannel(int channel) const;
    ChannelStep *currentStep();
    void moveSwitch(const ReadingCursor &cursor, bool mercuryReferenceOfLaterSeries);

    // Runs
    bool runPromptLoop(const QString &caption, const QString &text, Dialogs::Icon icon);
    bool askReferenceColdJunction(const QString &prompt, double &value);
    void setRunPositions(int currentPosition);
    bool startTransmission();

    // Readings
    void processReference(double x);
    void processInput(double x);
    // What a settled reading says of the connection on the channel (empty when the check is
    // off in the program settings or nothing is wrong).
    QString connectionDiagnosis(int channel, double measured);
    bool askDriftAbort();
    void showDrift(double spread);

    // Recording
    void closeChannelStep(ChannelStep &step);
    bool writeMeasurementRows(const ChannelStep &step, const QString &stage);
    bool offerTermination(ChannelStep &step, quint32 pointNum);
    void applyAllTerminatedRule();
    void completeStep();
    bool finishInstabilityStage();
    void recordReading(ChannelStep &step);

    // Leaving
    void abortVerification();
    void dropSteps();

    // Controls
    void showControls(int channel);
    void setStatus(int channel, const QString &first, const QString &second);
    void hideAllValues(ChannelControls &c);
    void emptyThermometerEditForNewReading(int channel);

    TPoverka &pov;
    TBi1 &bi1;
    Database &db;
    Dialogs &dialogs;
    const ProgramSettings &programSettings;
    PoverkaView &view;
    MeterLink *meter = nullptr;
    GraduationLookup graduation;                     // the step calculation's
    std::shared_ptr<GraduationCache> liveGraduation; // the live furnace temperature's
    ConnectionWatch watch; // every settled reading against its expected EMF
    bool closed = false;
    std::vector<int> storedSensorIDs;  // Sensors rows written by page 3 "Next"
    VerificationConditions conditions; // page 3 "Условия поверки", checked
    QString verifier;                  // page 1, stored with the conditions
    // The mercury thermometer reading each channel's edit was last emptied for (stage, step,
    // grid cell): what the operator types stays until the reading is recorded or the step
    // changes, however often the controls are refreshed meanwhile.
    struct ThermometerReading {
        quint8 stage;
        quint32 step;
        int col, row;
        bool operator==(const ThermometerReading &) const = default;
    };
    std::array<std::optional<ThermometerReading>, 3> thermometerEditReading; // channels 1..2
    // Page 1 was accepted with "Yes" to deleting today's verification of the same number.
    bool replacesSameNumber = false;
};

} // namespace kront
