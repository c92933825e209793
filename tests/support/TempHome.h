#pragma once

#include "common/AppHome.h"
#include "tests/support/TestServer.h"

#include <QDir>
#include <QTemporaryDir>

#include <optional>

namespace kront::test
{

// A fresh program home with empty Data/, Config/, Protocol/ and Help/
// folders, made the program's home for the lifetime of the object. The
// installed defaults are looked for in defaults(), which does not exist
// until a test puts files there.
//
// On the server store (KRONT_TEST_STORE=postgresql, see onServerStore(), or
// Store::Server) the home gets a fresh database of the tests' server, named
// in the [Store] section of its settings files (the test program's own and
// kront.INI, which kront-cli reads), so that every Database made in the test
// keeps its tables there; the database is dropped with the home.
class TempHome
{
public:
    enum class Store { AsTheRunAsks, Server };

    explicit TempHome(Store store = Store::AsTheRunAsks);

    QString path() const { return dir.path(); }
    QString data(const QString &name) const { return dir.path() + "/Data/" + name; }
    QString config(const QString &name) const { return dir.path() + "/Config/" + name; }
    QString defaults() const { return dir.path() + "/share/kront"; }
    // The server database the home's tables are in; nullopt for the table files.
    const std::optional<StoreSettings> &serverStore() const { return server; }

private:
    void useServer();

    QTemporaryDir dir;
    TestServer testServer;
    std::optional<StoreSettings> server;
};

} // namespace kront::test

// For a test of the table files themselves (their bytes, locks, journal,
// indexes as the file keeps them): skipped when the homes keep their tables
// on the server.
#define KRONT_SKIP_ON_SERVER_STORE()                                                               \
    do {                                                                                           \
        if (::kront::test::onServerStore())                                                        \
            GTEST_SKIP() << "a test of the table files; the tables are on the server";             \
    } while (false)
