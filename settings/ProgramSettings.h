#pragma once

#include "settings/SettingsFile.h"

#include <QObject>
#include <QStringList>

namespace kront
{

class Dialogs;

enum class DocumentKind { Certificate, Notice };

// Automatic numbering of one kind of document.
struct DocumentNumbering {
    bool autoNum = false;
    int nextNum = 1;
    int digitsCount = 3;
};

// What the controls of the settings window show. The window fills its
// controls from here once, at creation, and writes every edit back at once,
// so that the link (port text) and the document numbering read the values
// the operator sees, saved or not.
struct SettingsForm {
    QStringList ports;    // items of the port box
    QString portText;     // text of the (editable) port box
    int channelItem = 1;  // 1 or 2; 0 when no item is selected
    int polarityItem = 1; // 1 direct, 2 inverted
    bool disableStabilityControl = false;
    bool waitForFixedValue = true;
    bool reduceResultClass = false;
    bool offerPoverkaTermination = false;
    bool connectionCheck = true;
    bool stabilityForecast = true;
    QStringList organNameLines;
    QString rukDolgnost;
    DocumentNumbering svid;
    DocumentNumbering izv;
};

// The settings of the run. The six values the measurement and calculation
// read are loaded at start-up and replaced only by "Применить"; the form
// holds the settings window's current control values.
class ProgramSettings : public QObject
{
    Q_OBJECT
public:
    explicit ProgramSettings(QObject *parent = nullptr);

    // Values held for the run.
    int taver7Channel() const { return s.channel; } // 1 or 2; 0 after applying no choice
    bool bi1TInputInvertedPolarity() const { return s.inverted; }
    bool temperatureStabilityControl() const { return s.stabilityControl; }
    bool waitForFixedValue() const { return s.waitFixed; }
    bool reduceResultClass() const { return s.reduceClass; }
    bool offerPoverkaTermination() const { return s.offerTermination; }
    // Each reading checked against the EMF its switch position should give.
    bool connectionCheck() const { return s.connectionCheck; }
    // The time until the furnace is stable, estimated while it is not.
    bool stabilityForecast() const { return s.stabilityForecast; }

    // The settings window's controls.
    SettingsForm &form() { return s.form; }
    const SettingsForm &form() const { return s.form; }
    bool isLoaded() const { return s.loaded; }

    // The port name the link connects to: the port box text right now.
    QString portName() const { return s.form.portText; }
    QString metrologyOrganName() const;
    QString rukDolgnost() const { return s.form.rukDolgnost; }
    DocumentNumbering numbering(DocumentKind kind) const;
    // The next number left-padded with "0" to the digits count.
    QString proposedDocumentNumber(DocumentKind kind) const;

    // Reads the settings file into the values and the form. foundPorts: the
    // serial ports found, in order. The stored port is selected when it is
    // listed; a stored device path that exists but is not listed (a
    // pseudo-terminal, a symlink) is added and selected; otherwise the first
    // found port stays selected.
    void load(const QStringList &foundPorts);

    // "Применить" of the connection page and of the program settings page,
    // in the order the keys are written. A failed write is reported through
    // dialogs and ends the writing; the values of the run change anyway.
    bool applyConnection(Dialogs &dialogs);
    bool applyProgramOptions(Dialogs &dialogs);

    // A document was printed under automatic numbering with the number k:
    // the next number becomes k + 1 in the form and in the file.
    bool documentNumberUsed(DocumentKind kind, int number, Dialogs &dialogs);
    // Automatic numbering is switched off in the form and in the file.
    bool switchAutoNumberingOff(DocumentKind kind, Dialogs &dialogs);

    // Values set directly, without the file (tests).
    void setTaver7Channel(int value) { s.channel = value; }
    void setBi1TInputInvertedPolarity(bool value) { s.inverted = value; }
    void setTemperatureStabilityControl(bool value) { s.stabilityControl = value; }
    void setWaitForFixedValue(bool value) { s.waitFixed = value; }
    void setReduceResultClass(bool value) { s.reduceClass = value; }
    void setOfferPoverkaTermination(bool value) { s.offerTermination = value; }
    void setConnectionCheck(bool value) { s.connectionCheck = value; }
    void setStabilityForecast(bool value) { s.stabilityForecast = value; }

    // Back to the defaults of every key, nothing loaded (tests, start-up).
    void reset();

Q_SIGNALS:
    // The core changed the form (document numbering): the window shows it.
    void formChanged();

private:
    DocumentNumbering &numberingOf(DocumentKind kind);

    // The defaults of the keys until the settings file is loaded.
    struct State {
        int channel = 1;
        bool inverted = false;
        bool stabilityControl = true;
        bool waitFixed = true;
        bool reduceClass = false;
        bool offerTermination = false;
        bool connectionCheck = true;
        bool stabilityForecast = true;
        SettingsForm form;
        bool loaded = false;
    };
    State s;
};

// The settings of the running program.
ProgramSettings &programSettings();

// The message shown when the settings file cannot be written.
QString settingsWriteFailureText(const QString &path, const QString &reason);

} // namespace kront
