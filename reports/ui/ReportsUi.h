#pragma once

#include <QObject>
#include <functional>
#include <memory>

class QWidget;

namespace kront
{

class Database;
class Dialogs;
class PanelSearch;
class ProgramSettings;
class ProtocolPrinter;
class ReportContext;
class SvidIssuer;
class TFormSelectSensorsForSvid;
class TPoverka;

// The protocol of one channel of a verification, shown in the report
// preview (the conclusion page's buttons "Сформировать протокол поверки").
// For the wizard, which holds the verification object: pass it as it is
// (its Bunches with their sensors, its ID); nothing is read from it but the
// fields a protocol prints. The second form loads a stored verification.
// Messages go through `dialogs`; false when nothing was shown.
bool printChannelProtocol(TPoverka &poverka, int channel, Database &db, Dialogs &dialogs,
                          QWidget *parent = nullptr);
bool printChannelProtocol(int poverkaID, int channel, Database &db, Dialogs &dialogs,
                          QWidget *parent = nullptr);

// The same by bunch, for the wizard's hook TFormPoverkaTP::setProtocolPrinter
// (bunchID, poverkaID): `open`, the verification object of the open wizard
// (nullptr when none), is used when it is that verification, else the stored
// one is loaded. Connect it as
//   formPoverkaTP->setProtocolPrinter([&](int bunchID, int poverkaID) {
//       printBunchProtocol(bunchID, poverkaID, current.Poverka(), db, dialogs, formPoverkaTP);
//   });
bool printBunchProtocol(int bunchID, int poverkaID, TPoverka *open, Database &db, Dialogs &dialogs,
                        QWidget *parent = nullptr);

// The results and documents windows of the main window: the search panel
// (embedded in the main window, created with it) and the sensor chooser of
// the documents (created last, in the program's creation order).
class ResultsWindows : public QObject
{
    Q_OBJECT
public:
    // settings: what the documents are issued with (see SvidIssuer).
    ResultsWindows(Database &db, Dialogs &dialogs, ProgramSettings &settings,
                   QObject *parent = nullptr);
    ~ResultsWindows() override;

    // Creates the search panel; `window` (the main window) is the parent of
    // the previews, `close` is what the panel's "Отмена" does.
    PanelSearch *createSearchPanel(QWidget *window, std::function<void()> close);
    // Creates TFormSelectSensorsForSvid.
    TFormSelectSensorsForSvid *createSensorChooser(QWidget *parent);

    PanelSearch *panel() const { return searchPanel; }
    TFormSelectSensorsForSvid *chooser() const { return sensorChooser; }
    ReportContext &context() const { return *ctx; }

    void ButtonPrintProtocolClick(int poverkaID);
    void ButtonSvidClick(int poverkaID);

private:
    Database &db;
    Dialogs &dialogs;
    ProgramSettings &programSettings;
    std::unique_ptr<ReportContext> ctx;
    QWidget *window = nullptr; // parent of the previews
    PanelSearch *searchPanel = nullptr;
    TFormSelectSensorsForSvid *sensorChooser = nullptr;
};

} // namespace kront
