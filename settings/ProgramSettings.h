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

// The options of the program settings page that take effect together with
// "Применить".
struct ProgramOptions {
    bool stabilityControl = true;
    bool waitFixed = true;
    bool reduceClass = false;
    bool offerTermination = false;
    bool connectionCheck = true;   // each reading checked against its expected EMF
    bool stabilityForecast = true; // the time until the furnace is stable estimated
};

// The settings of the run. The values the measurement and calculation read
// are loaded at start-up and replaced only by "Применить". The port name, the
// organisation name, the head's position and the document numbering are read
// the moment they are used: the settings window writes every edit of them
// here at once, so that the link and the documents use what the operator
// sees, saved or not.
class ProgramSettings : public QObject
{
    Q_OBJECT
public:
    explicit ProgramSettings(QObject *parent = nullptr);

    // Values held for the run.
    int taver7Channel() const { return s.channel; } // 1 or 2; 0 after applying no choice
    bool bi1TInputInvertedPolarity() const { return s.inverted; }
    bool temperatureStabilityControl() const { return s.options.stabilityControl; }
    bool waitForFixedValue() const { return s.options.waitFixed; }
    bool reduceResultClass() const { return s.options.reduceClass; }
    bool offerPoverkaTermination() const { return s.options.offerTermination; }
    bool connectionCheck() const { return s.options.connectionCheck; }
    bool stabilityForecast() const { return s.options.stabilityForecast; }
    bool isLoaded() const { return s.loaded; }

    // The port name the link connects to.
    QString portName() const { return s.port; }
    void setPortName(const QString &port) { s.port = port; }
    QStringList organNameLines() const { return s.organNameLines; }
    void setOrganNameLines(const QStringList &lines) { s.organNameLines = lines; }
    QString metrologyOrganName() const;
    QString rukDolgnost() const { return s.rukDolgnost; }
    void setRukDolgnost(const QString &text) { s.rukDolgnost = text; }
    DocumentNumbering numbering(DocumentKind kind) const;
    void setNumbering(DocumentKind kind, const DocumentNumbering &numbering);
    // The next number left-padded with "0" to the digits count.
    QString proposedDocumentNumber(DocumentKind kind) const;

    // Reads the settings file into the values; the port as it is stored.
    void load();

    // "Применить" of the connection page: the port name as it stands, the
    // voltmeter channel (1 or 2; 0 is no choice and leaves the file's key as
    // it is) and the polarity, written in this order. A failed write is
    // reported through dialogs and ends the writing; the values of the run
    // change anyway.
    bool applyConnection(int channel, bool inverted, Dialogs &dialogs);
    // "Применить" of the program settings page: the options, then the
    // organisation name, the head's position and the document numbering as
    // they stand, in the order the keys are written.
    bool applyProgramOptions(const ProgramOptions &options, Dialogs &dialogs);

    // A document was printed under automatic numbering with the number k:
    // the next number becomes k + 1 here and in the file.
    bool documentNumberUsed(DocumentKind kind, int number, Dialogs &dialogs);
    // Automatic numbering is switched off here and in the file.
    bool switchAutoNumberingOff(DocumentKind kind, Dialogs &dialogs);

    // Values set directly, without the file (tests).
    void setTaver7Channel(int value) { s.channel = value; }
    void setBi1TInputInvertedPolarity(bool value) { s.inverted = value; }
    void setTemperatureStabilityControl(bool value) { s.options.stabilityControl = value; }
    void setWaitForFixedValue(bool value) { s.options.waitFixed = value; }
    void setReduceResultClass(bool value) { s.options.reduceClass = value; }
    void setOfferPoverkaTermination(bool value) { s.options.offerTermination = value; }
    void setConnectionCheck(bool value) { s.options.connectionCheck = value; }
    void setStabilityForecast(bool value) { s.options.stabilityForecast = value; }

    // Back to the defaults of every key, nothing loaded.
    void reset();

Q_SIGNALS:
    // The document numbering changed as a document was printed: the
    // settings window shows it.
    void numberingChanged();

private:
    DocumentNumbering &numberingOf(DocumentKind kind);

    // The defaults of the keys until the settings file is loaded.
    struct State {
        int channel = 1;
        bool inverted = false;
        ProgramOptions options;
        QString port;
        QStringList organNameLines;
        QString rukDolgnost;
        DocumentNumbering svid;
        DocumentNumbering izv;
        bool loaded = false;
    };
    State s;
};

// The message shown when the settings file cannot be written.
QString settingsWriteFailureText(const QString &path, const QString &reason);

} // namespace kront
