#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace kront::e2e
{

// A verified thermocouple of a channel as the operator types it into the
// connected-sensors editor; its type and deviation are the simulator's.
struct ScenarioSensor {
    bool present = false;
    QString type;   // simulator type text (Latin code or short name)
    QString serial; // "Сер. №"
    QString name;   // "Наименование"
    QString klass = QStringLiteral("2");
    QString year;
};

struct ScenarioChannel {
    QString reference = QStringLiteral("none"); // PPO, PRO, mercury or none
    QString graduation;                         // °C:mV pairs
    QString referenceSerial, referenceName, referenceRank = QStringLiteral("1");
    bool referenceLookup = false; // row "ОБР" filled from the register by its serial number
    std::array<ScenarioSensor, 5> inputs; // 1..4
    int thermometer = -1; // chooser item: 0 mercury, 1 reference thermocouple, -1 as offered
    bool used() const;
};

// One answer rule: a question whose text contains `match` gets `yes`.
struct AnswerRule {
    QString match;
    bool yes = true;
    int times = -1; // how often it applies; -1 always
};

// A moment at which the operator closes the wizard.
struct Interruption {
    enum class When { Presses, StepEnd } when = When::Presses;
    int count = 0;      // recording presses in all, or completed steps
    bool resume = true; // continue from the unfinished list afterwards
    int afterMs = 0;    // the operator first waits this long (wall clock), touching nothing
};

// The tests' database server stopped or started again under the scenario: after
// the N-th recording, while a message box containing a text is open, or just
// before the next continuation from the unfinished list.
struct ServerEvent {
    enum class Action { Stop, Start } action = Action::Stop;
    enum class When { Presses, Message, Resume } when = When::Presses;
    int presses = 0;
    QString text;
};

struct Expectation {
    QString key;      // state, finished, result, measure_rows, message, no_message, conclusion, ...
    QString value;    // the text after "=" as written
    QStringList args; // the same split at blanks
    int line = 0;
};

// An end-to-end scenario: the simulated installation (the simulator's own
// keys, handed to kront-taver-sim), the sensors typed by the operator, the
// verification parameters, the operator's answers, interruptions and the
// expected outcome. Format: docs/e2e-scenarios.md.
struct Scenario {
    QString path;
    QStringList simulatorLines; // the part of the file the simulator reads
    double coldJunction = 0;    // °C, from the simulator part
    std::array<ScenarioChannel, 3> channels;

    // [verification]
    QString number = QStringLiteral("E2E");
    bool primary = false;
    bool instability = false;
    int method = 0;             // 0 direct, 1 electrode comparison
    std::vector<double> points; // furnace set-point of each main-cycle point, °C
    double instabilityTemperature = 0;
    QString tskText;             // typed into EditSKTemperature (default: cold junction)
    QString referenceTskText;    // answer to the reference cold-junction question
    QStringList remarks;         // page 3 remark per position 1..8 ("" to skip)
    QString resistance;          // page 3 "Rиз +" and "Rиз -" of every position
    QString sensorFile;          // the committed sensors are also saved as Config/<sensorFile>
    bool issueDocuments = false; // a certificate or notice for every sensor once finished
    // page 3 "Условия поверки": temperature, pressure, humidity as typed, and other factors
    QStringList conditions{QStringLiteral("21,5"), QStringLiteral("100,2"), QStringLiteral("48")};
    QString otherFactors;

    // [settings]
    bool stabilityControl = true;
    bool waitFixed = true;
    bool offerTermination = false;
    bool reduceClass = false;
    double clockFactor = 300;
    double training = 0; // the training mode with this clock factor instead of clock_factor
    int periodMs = 100;
    bool linePacing = false; // the simulator sends at 9600 baud instead of at once
    int timeoutSeconds = 600;

    std::vector<AnswerRule> answers;
    std::vector<Interruption> interruptions;
    std::vector<QStringList> simCommands; // [events] sim = PRESSES command...
    // [events] reopen = COMMAND: when the wizard closed by itself (a link
    // failure), the simulator command ("" for none) before continuing again.
    QStringList reopens;
    // [events] stop = TEXT: the program stops (a power cut) while the message
    // box containing TEXT is open; each line once, in order.
    QStringList stops;
    // [events] correct = COMMAND: the operator answers "Нет" to recording a diagnosed value and
    // corrects the connection (the simulator command); each line once, in order.
    QStringList corrections;
    // [events] server = stop|start after N | when TEXT | at_resume: played in order, each once.
    std::vector<ServerEvent> serverEvents;
    std::vector<Expectation> expectations;
    // [registry]: the lab's registry data put into the home before a registry_export check, as
    // key and words (cipher, verifier, owner, time_zone, type, mieta, instrument).
    std::vector<std::pair<QString, QString>> registry;
};

// Reads a scenario; false with the problems (file and line) in errors.
bool loadScenario(const QString &path, Scenario &scenario, QStringList &errors);

} // namespace kront::e2e
