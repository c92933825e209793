#include "TestCluster.h"

#include <QDir>
#include <QProcess>
#include <QRegularExpression>

namespace kront::e2e
{

namespace
{
constexpr int kScriptTimeoutMs = 120000;

// The port keyword of the tests' connection string ("host=... port=55432 ...").
QString portOf(const QString &connection)
{
    static const QRegularExpression port(QStringLiteral("(?:^|\\s)port\\s*=\\s*(\\d+)"));
    return port.match(connection).captured(1);
}
} // namespace

std::optional<TestCluster> TestCluster::fromEnvironment(QString &why)
{
    const QString dir = qEnvironmentVariable("KRONT_TEST_PG_DIR");
    if (dir.isEmpty()) {
        why = QStringLiteral("KRONT_TEST_PG_DIR does not name the folder of the tests' server "
                             "(the DIR of scripts/pg-cluster.sh start DIR)");
        return std::nullopt;
    }
    if (!QDir(dir).exists()) {
        why = QStringLiteral("KRONT_TEST_PG_DIR names no folder: ") + dir;
        return std::nullopt;
    }
    return TestCluster(QDir(dir).absolutePath(), portOf(qEnvironmentVariable("KRONT_TEST_PG")));
}

bool TestCluster::stop(QString &error)
{
    return run({QStringLiteral("stop"), folder}, error);
}

bool TestCluster::start(QString &error)
{
    QStringList arguments{QStringLiteral("start"), folder};
    if (!port.isEmpty())
        arguments << port;
    return run(arguments, error);
}

bool TestCluster::run(const QStringList &arguments, QString &error)
{
    QProcess script;
    script.setProcessChannelMode(QProcess::MergedChannels);
    script.start(QStringLiteral("bash"), QStringList{QStringLiteral(KRONT_PG_CLUSTER)} + arguments);
    const bool done = script.waitForFinished(kScriptTimeoutMs);
    if (done && script.exitStatus() == QProcess::NormalExit && script.exitCode() == 0)
        return true;
    if (!done)
        script.kill();
    error = QStringLiteral("scripts/pg-cluster.sh %1 failed: %2")
                .arg(arguments.join(u' '), QString::fromUtf8(script.readAll()).trimmed());
    return false;
}

} // namespace kront::e2e
