#pragma once

#include "settings/StoreSettings.h"
#include "tests/support/TestServer.h"

#include <QString>

namespace kront::test
{

// The connection keywords of the tests' server (KRONT_TEST_PG); empty when
// the tests of the server are not to run.
inline QString adminConnectionString()
{
    return qEnvironmentVariable("KRONT_TEST_PG").trimmed();
}
inline QString testServerKeywords()
{
    return adminConnectionString();
}

// The settings naming `database` on the tests' server.
inline StoreSettings serverStoreSettings(const QString &database)
{
    return serverSettings(database);
}

// A new empty database on the tests' server for one test, made with the
// object and dropped (with whatever is still connected to it) when it goes
// away.
class ScratchServerDatabase
{
public:
    ScratchServerDatabase()
    {
        if (const auto made = server.freshServerDatabase(&error))
            store = *made;
    }

    // Whether the database was made; false with the server's reason.
    bool create(QString *reason) const
    {
        if (reason && !made())
            *reason = error;
        return made();
    }
    bool made() const { return !store.database.isEmpty(); }
    const QString &database() const { return store.database; }
    const QString &errorText() const { return error; }
    const StoreSettings &settings() const { return store; }

private:
    TestServer server;
    StoreSettings store;
    QString error;
};

} // namespace kront::test
