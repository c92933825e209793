#pragma once

#include "settings/StoreSettings.h"

#include <QString>
#include <QStringList>

#include <optional>

namespace kront::test
{

// The tests' database server: KRONT_TEST_PG holds the connection keywords of
// a role that may create databases (scripts/pg-cluster.sh env prints them).
// Without it the tests that need a server skip.
bool serverTestsEnabled();
// Whether the homes of this test run keep their tables on the server:
// KRONT_TEST_STORE=postgresql with the server given. Tests of the table
// files themselves skip then.
bool onServerStore();
// Whether the run asks for the server (KRONT_TEST_STORE=postgresql), given
// or not.
bool serverStoreRequested();

// The exit code of a test program that was asked to run on the server
// without one (ctest counts it as skipped).
inline constexpr int kServerMissingExitCode = 77;

// Makes fresh databases on the tests' server and drops them (with whatever
// is still connected to them) when it goes away.
class TestServer
{
public:
    TestServer() = default;
    ~TestServer();
    TestServer(const TestServer &) = delete;
    TestServer &operator=(const TestServer &) = delete;

    // A new empty database named kront_t_<pid>_<n>, owned by the tests'
    // role; the store settings that name it. nullopt with the reason in
    // error when no server is given or it refuses.
    std::optional<StoreSettings> freshServerDatabase(QString *error = nullptr);
    // The databases made and not yet dropped.
    const QStringList &databases() const { return made; }
    // Drops one of them now; false with the server's reason.
    bool drop(const QString &name, QString *error = nullptr);

private:
    QStringList made;
    qint64 ownerPid = 0; // a forked child never drops its parent's databases
};

// The settings naming `database` on the tests' server (its host, port and
// user from KRONT_TEST_PG).
StoreSettings serverSettings(const QString &database);

} // namespace kront::test
