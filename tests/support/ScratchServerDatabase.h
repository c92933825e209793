#pragma once

#include "db/PgConnection.h"
#include "settings/StoreSettings.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QString>

#include <atomic>
#include <optional>

namespace kront::test
{

// The tests' database server: KRONT_TEST_PG holds the connection keywords of
// a role that may create databases. Empty when none is given (the tests that
// need a server skip then).
inline QString adminConnectionString()
{
    return qEnvironmentVariable("KRONT_TEST_PG").trimmed();
}

// One keyword's value of a connection string (key=value or key='value').
inline QString connectionKeyword(const QString &keywords, const QString &key)
{
    const QRegularExpression re(
        QStringLiteral("(?:^|\\s)%1\\s*=\\s*(?:'((?:[^'\\\\]|\\\\.)*)'|(\\S+))").arg(key));
    const QRegularExpressionMatch m = re.match(keywords);
    if (!m.hasMatch())
        return QString();
    return m.capturedLength(1) > 0 ? m.captured(1) : m.captured(2);
}

// The settings naming `database` on the tests' server.
inline StoreSettings serverStoreSettings(const QString &database)
{
    const QString admin = adminConnectionString();
    StoreSettings s;
    s.kind = StoreSettings::Kind::PostgreSql;
    s.host = connectionKeyword(admin, QStringLiteral("host"));
    const QString port = connectionKeyword(admin, QStringLiteral("port"));
    if (!port.isEmpty())
        s.port = port.toInt();
    s.user = connectionKeyword(admin, QStringLiteral("user"));
    s.database = database;
    return s;
}

// A new empty database on the tests' server for one test, dropped (with
// whatever is still connected to it) when the object goes away.
class ScratchServerDatabase
{
public:
    ScratchServerDatabase()
    {
        if (adminConnectionString().isEmpty() || !admin.open(adminConnectionString())) {
            error = admin.errorText();
            return;
        }
        static std::atomic<int> made{0};
        name = QStringLiteral("kront_s_%1_%2").arg(QCoreApplication::applicationPid()).arg(++made);
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
        if (!admin.exec(QStringLiteral("CREATE DATABASE %1").arg(name))) {
            error = admin.errorText();
            name.clear();
        }
    }
    ~ScratchServerDatabase()
    {
        if (!name.isEmpty())
            admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    }
    ScratchServerDatabase(const ScratchServerDatabase &) = delete;
    ScratchServerDatabase &operator=(const ScratchServerDatabase &) = delete;

    bool made() const { return !name.isEmpty(); }
    const QString &database() const { return name; }
    const QString &errorText() const { return error; }
    StoreSettings settings() const { return serverStoreSettings(name); }

private:
    pg::Connection admin;
    QString name;
    QString error;
};

} // namespace kront::test
