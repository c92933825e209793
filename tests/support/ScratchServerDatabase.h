#pragma once

#include "db/PgConnection.h"
#include "settings/StoreSettings.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QString>

#include <cstdio>

namespace kront::test
{

// The test database server: KRONT_TEST_PG holds an administrator's connection
// keywords ("host=127.0.0.1 port=55432 user=kront dbname=kront"); empty when
// the tests of the server are not to run.
inline QString testServerKeywords()
{
    return qEnvironmentVariable("KRONT_TEST_PG");
}

// A database of its own on the test server for one test, dropped with the
// object. The keywords are read as plain key=value words (no quoting).
class ScratchServerDatabase
{
public:
    ScratchServerDatabase() = default;
    ScratchServerDatabase(const ScratchServerDatabase &) = delete;
    ScratchServerDatabase &operator=(const ScratchServerDatabase &) = delete;
    ~ScratchServerDatabase()
    {
        if (!name.isEmpty() &&
            !admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name)))
            std::fprintf(stderr, "test database %s left on the server: %s\n", qPrintable(name),
                         qPrintable(admin.errorText()));
    }

    // Makes the database; false with the server's reason.
    bool create(QString *reason)
    {
        const QString keywords = testServerKeywords();
        if (!admin.open(keywords)) {
            *reason = admin.errorText();
            return false;
        }
        store.kind = StoreSettings::Kind::PostgreSql;
        store.host = QStringLiteral("localhost");
        for (const QString &word : keywords.split(u' ', Qt::SkipEmptyParts)) {
            const QString key = word.section(u'=', 0, 0);
            const QString value = word.section(u'=', 1);
            if (key == QLatin1String("host") || key == QLatin1String("hostaddr"))
                store.host = value;
            else if (key == QLatin1String("port"))
                store.port = value.toInt();
            else if (key == QLatin1String("user"))
                store.user = value;
        }
        const QString candidate =
            QStringLiteral("kront_test_%1_%2")
                .arg(QCoreApplication::applicationPid())
                .arg(QRandomGenerator::global()->generate64() % 1000000000000ull);
        if (!admin.exec(QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0")
                            .arg(candidate))) {
            *reason = admin.errorText();
            return false;
        }
        name = candidate;
        store.database = name;
        return true;
    }

    const StoreSettings &settings() const { return store; }

private:
    pg::Connection admin;
    QString name;
    StoreSettings store;
};

} // namespace kront::test
