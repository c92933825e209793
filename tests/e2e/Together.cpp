#include "Together.h"

#include "E2eHome.h"
#include "E2eScenario.h"
#include "ReferenceRegister.h"
#include "SharedStoreCheck.h"
#include "common/UnattendedDialogs.h"
#include "db/Database.h"
#include "db/ServerTables.h"
#include "tests/support/TestServer.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTextStream>

#include <algorithm>
#include <memory>

namespace kront::e2e
{

namespace
{

// Time for a run to start its windows and issue its documents, beyond its
// scenario's own time-out.
constexpr int kMarginSeconds = 300;

// The messages of the preparing connection, kept for the report.
class NotedDialogs : public UnattendedDialogs
{
public:
    QStringList notes;

protected:
    void note(Icon, const QString &text) override { notes << text; }
};

struct Installation {
    QString name;
    QString scenarioPath;
    Scenario scenario;
    QString home;
    QString log;
    std::unique_ptr<QProcess> process;
};

bool loadAll(std::vector<Installation> &runs, QTextStream &out)
{
    QStringList numbers;
    for (Installation &run : runs) {
        QStringList errors;
        if (!loadScenario(run.scenarioPath, run.scenario, errors)) {
            out << errors.join(u'\n') << Qt::endl;
            return false;
        }
        if (numbers.contains(run.scenario.number)) {
            out << "two scenarios make verification " << run.scenario.number
                << "; each run is told apart by its number" << Qt::endl;
            return false;
        }
        numbers << run.scenario.number;
    }
    return true;
}

// The reference thermocouples of all the scenarios, each once; false when two
// scenarios give one of them different data.
bool sharedReferences(const std::vector<Installation> &runs, std::vector<EtalTPData> &references,
                      QTextStream &out)
{
    for (const Installation &run : runs) {
        for (const auto &[channel, data] : scenarioReferences(run.scenario)) {
            const auto same =
                std::find_if(references.begin(), references.end(),
                             [&](const EtalTPData &r) { return sameReference(r, data); });
            if (same == references.end()) {
                references.push_back(data);
            } else if (!sameReferenceData(*same, data)) {
                out << run.scenarioPath << ": the reference " << data.params[EtalTPData::Serial]
                    << " of channel " << channel << " differs from the other scenario's"
                    << Qt::endl;
                return false;
            }
        }
    }
    return true;
}

// The tables and the register, made before any installation starts.
bool prepare(Database &db, NotedDialogs &dialogs, const std::vector<EtalTPData> &references,
             QTextStream &out)
{
    bool ok = db.ensureTables();
    for (const EtalTPData &r : references)
        ok = ok && registerReference(r, db, dialogs);
    if (!ok)
        out << "FAILED: the shared database was not prepared: " << dialogs.notes.join(u' ')
            << Qt::endl;
    return ok;
}

void start(Installation &run, const QString &sim, const QString &database)
{
    run.process = std::make_unique<QProcess>();
    run.process->setProcessChannelMode(QProcess::MergedChannels);
    run.process->setStandardOutputFile(run.log);
    run.process->start(QCoreApplication::applicationFilePath(),
                       {QStringLiteral("--home"), run.home, QStringLiteral("--sim"), sim,
                        QStringLiteral("--server-database"), database,
                        QStringLiteral("--installation"), run.name,
                        QStringLiteral("--references-registered"), run.scenarioPath});
}

// Waits for every run until the deadline; those still running then are
// killed. The failures.
QStringList waitForAll(std::vector<Installation> &runs, int seconds)
{
    QStringList failures;
    const QDeadlineTimer deadline(std::chrono::seconds{seconds});
    for (Installation &run : runs) {
        QProcess &p = *run.process;
        if (!p.waitForStarted(int(std::max<qint64>(deadline.remainingTime(), 1))) ||
            !p.waitForFinished(int(std::max<qint64>(deadline.remainingTime(), 1)))) {
            failures << QStringLiteral("%1: %2").arg(run.name, p.errorString());
            p.kill();
            p.waitForFinished(10000);
        } else if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            failures << QStringLiteral("%1: ended with exit code %2%3")
                            .arg(run.name)
                            .arg(p.exitCode())
                            .arg(p.exitStatus() == QProcess::NormalExit
                                     ? QString()
                                     : QStringLiteral(" (crashed)"));
        }
    }
    return failures;
}

QString outputOf(const Installation &run)
{
    QFile f(run.log);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

} // namespace

int playTogether(const QString &home, const QString &sim, const QStringList &scenarios,
                 QTextStream &out)
{
    std::vector<Installation> runs(size_t(scenarios.size()));
    for (qsizetype i = 0; i < scenarios.size(); ++i) {
        Installation &run = runs[size_t(i)];
        run.name = QStringLiteral("Установка %1").arg(i + 1);
        run.scenarioPath = QFileInfo(scenarios[i]).absoluteFilePath();
        run.home = QDir(home).filePath(QStringLiteral("installation-%1").arg(i + 1));
        run.log = QDir(home).filePath(QStringLiteral("installation-%1.log").arg(i + 1));
    }
    std::vector<EtalTPData> references;
    if (!loadAll(runs, out) || !sharedReferences(runs, references, out))
        return 2;
    if (!test::serverTestsEnabled()) {
        out << "no tests' database server (KRONT_TEST_PG, scripts/pg-cluster.sh); skipped"
            << Qt::endl;
        return test::kServerMissingExitCode;
    }
    QString error;
    if (!makeHome(home, false, error)) {
        out << error << Qt::endl;
        return 2;
    }
    test::TestServer server;
    const auto store = server.freshServerDatabase(&error);
    if (!store) {
        out << "no database on the test server: " << error << Qt::endl;
        return 2;
    }
    out << "installations together on " << store->serverName() << Qt::endl;
    NotedDialogs dialogs;
    Database db(dialogs, std::make_unique<ServerTables>(*store));
    if (!prepare(db, dialogs, references, out))
        return 1;

    int seconds = 0;
    for (Installation &run : runs) {
        start(run, sim, store->connectionString());
        seconds = std::max(seconds, run.scenario.timeoutSeconds + kMarginSeconds);
    }
    QStringList failures = waitForAll(runs, seconds);
    std::vector<Participant> participants;
    for (const Installation &run : runs) {
        const QString output = outputOf(run);
        out << "--- " << run.name << ": " << QFileInfo(run.scenarioPath).fileName() << Qt::endl
            << output << Qt::endl;
        const auto seen = VerificationRows::fromOutput(output);
        if (seen)
            participants.push_back({run.name, run.scenario.number, *seen});
        else
            failures << run.name + QStringLiteral(": its rows were not reported");
    }
    if (participants.size() == runs.size())
        failures << checkSharedStore(db, participants, int(references.size()));
    for (const QString &failure : failures)
        out << "FAILED: " << failure << Qt::endl;
    out << (failures.isEmpty() ? "PASSED" : "FAILED") << Qt::endl;
    return failures.isEmpty() ? 0 : 1;
}

} // namespace kront::e2e
