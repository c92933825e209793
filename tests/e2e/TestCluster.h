#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace kront::e2e
{

// The tests' database server as a whole, stopped and started again under a
// running scenario (a lost server, a server back). Its folder is the one
// scripts/pg-cluster.sh started it in, named by KRONT_TEST_PG_DIR; it is
// started again on the port KRONT_TEST_PG names.
class TestCluster
{
public:
    // The cluster of this run; nullopt with the reason when the environment
    // does not name one.
    static std::optional<TestCluster> fromEnvironment(QString &why);

    // Stops the server at once (every connection cut, as when the server's
    // machine goes away); false with the script's output.
    bool stop(QString &error);
    // Starts it again and waits until it takes connections.
    bool start(QString &error);

private:
    TestCluster(QString dir, QString onPort) : folder(std::move(dir)), port(std::move(onPort)) {}
    bool run(const QStringList &arguments, QString &error);

    QString folder;
    QString port; // empty: the script's default
};

} // namespace kront::e2e
