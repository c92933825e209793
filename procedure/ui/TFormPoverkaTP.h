#pragma once

#include "procedure/PoverkaView.h"

#include <QDialog>
#include <functional>
#include <memory>

class QLabel;
class QPushButton;
class QStackedWidget;

namespace kront
{

class ChannelGroupWidget;
class ConclusionPageWidget;
class Database;
class Dialogs;
class InspectionPageWidget;
class LinkProgress;
class MeansPageWidget;
class MeterLink;
class ParametersPageWidget;
class PoverkaEngine;
class ProgramSettings;
class TBi1;
class TFormSelectEtalSensorType;
class TPoverka;

// Window message that starts a measuring run of the measurement page.
constexpr int kStartMeasuringRunMessage = 1026; // WM_USER + 2

// "Поверка ТП": the verification wizard of five pages. The window lays out
// the controls, copies them into the engine's page data and shows what the
// engine tells it; the procedure itself is PoverkaEngine's. Created once at
// start-up; every verification (new or resumed) gets its own engine and
// voltmeter link while the window is open.
class TFormPoverkaTP : public QDialog, public PoverkaView
{
    Q_OBJECT
public:
    // Makes the voltmeter link of a verification; the engine is its view
    // and reading sink. May return nullptr (no run can then start).
    using LinkFactory = std::function<std::unique_ptr<MeterLink>(PoverkaEngine &engine)>;
    // Prints the verification protocol of one bunch (as the results search prints it).
    using ProtocolPrinter = std::function<void(int bunchID, int poverkaID)>;

    // settings: the program's, read by the engine and the link of every
    // verification.
    TFormPoverkaTP(Database &db, Dialogs &dialogs, const ProgramSettings &settings,
                   QWidget *parent = nullptr);
    ~TFormPoverkaTP() override;

    void setEtalChooser(TFormSelectEtalSensorType *chooser) { etalChooser = chooser; }
    // By default every verification gets the program's link (ProgramMeterLink).
    void setLinkFactory(LinkFactory factory) { makeLink = std::move(factory); }
    // The progress window the program's link shows while it connects (not owned).
    void setLinkProgress(LinkProgress *progress) { linkProgress = progress; }
    void setProtocolPrinter(ProtocolPrinter printer) { PrintProtocolBunch = std::move(printer); }
    void setHelpHandler(std::function<void(int topic)> handler) { showHelp = std::move(handler); }

    // A new verification: prepares the pages and shows the window modally.
    void ExecuteNew(TPoverka &poverka, TBi1 &bi1);
    // The preparation alone (the window is not shown), and the release of the
    // verification's engine and link that closing the window does.
    void PrepareNew(TPoverka &poverka, TBi1 &bi1);
    void Release() { end(); }
    // A resumed verification: prepares its stored step and, when that
    // succeeds, shows the window modally on the measurement page. False
    // when the step could not be prepared (the window was not shown).
    bool ExecuteResumed(TPoverka &poverka, TBi1 &bi1);

    int currentPage() const; // 1..5
    QString subtitle() const;
    PoverkaEngine *engine() const { return eng.get(); }

    // Wizard buttons.
    void BackButtonClick();
    void NextButtonClick();
    void FinishButtonClick();
    void CancelButtonClick();
    void HelpButtonClick();
    // Protocol buttons of page 5.
    void Button1ProtClick() { protocolClick(1); }
    void Button2ProtClick() { protocolClick(2); }

    ParametersPageWidget *page1;
    MeansPageWidget *page2;
    InspectionPageWidget *page3;
    QWidget *page4;
    ConclusionPageWidget *page5;
    ChannelGroupWidget *channelGroup(int channel) const;
    QPushButton *ButtonBack;
    QPushButton *ButtonNext;
    QPushButton *ButtonFinish;
    QPushButton *ButtonCancel;
    QPushButton *ButtonHelp;

    // PoverkaView
    void showPage(PoverkaPage page) override;
    void setMeasurementSubtitle(const QString &subtitle) override;
    void setNextEnabled(bool enabled) override;
    void showChannelControls(int channel, const ChannelControls &controls) override;
    void showReadingGrid(int channel, const ReadingGridText &grid) override;
    QString editText(int channel, ChannelEdit edit) const override;
    void setEditText(int channel, ChannelEdit edit, const QString &text) override;
    std::optional<EtalChoice>
    selectEtalSensorType(const EtalChooserSetup &setup,
                         const std::function<bool(const EtalChoice &)> &accept) override;
    void showDriftSamples(int channel, const std::vector<DriftSample> &samples,
                          double spread) override;
    void showConclusion(const std::array<ConclusionGrid, 3> &grids) override;
    void postStartMeasuringRun() override;
    void closeWindow() override;

Q_SIGNALS:
    // The controls of a channel group were set to what the engine decided,
    // its two status panels included (link and receive texts arrive here).
    void channelControlsShown(int channel, const kront::ChannelControls &controls);

protected:
    bool event(QEvent *e) override;
    void done(int result) override;

private:
    QWidget *buildMeasurementPage();
    QLayout *buildButtons();
    void begin(TPoverka &poverka, TBi1 &bi1);
    void end();
    void clearMeasurementPage();
    void goToPage(int page);
    void updateButtons();
    void protocolClick(int channel);

    Database &db;
    Dialogs &dialogs;
    const ProgramSettings &programSettings;
    QLabel *labelSubtitle;
    QStackedWidget *pages;
    ChannelGroupWidget *groups[2];
    TFormSelectEtalSensorType *etalChooser = nullptr;
    std::unique_ptr<TFormSelectEtalSensorType> ownChooser;
    LinkFactory makeLink;
    LinkProgress *linkProgress = nullptr;
    ProtocolPrinter PrintProtocolBunch;
    std::function<void(int)> showHelp;
    TPoverka *poverka = nullptr;
    std::unique_ptr<PoverkaEngine> eng;
    std::unique_ptr<MeterLink> link;
    QString page4Subtitle;
    bool nextOnPage4 = false;
};

} // namespace kront
