#include "tests/support/TestServer.h"

#include "db/ServerTables.h"

#include <QCoreApplication>

#include <libpq-fe.h>

#include <memory>

namespace kront::test
{

namespace
{

QByteArray adminKeywords()
{
    return qgetenv("KRONT_TEST_PG");
}

struct ConnDeleter {
    void operator()(PGconn *c) const { PQfinish(c); }
};
struct ResultDeleter {
    void operator()(PGresult *r) const { PQclear(r); }
};
using Conn = std::unique_ptr<PGconn, ConnDeleter>;
using Result = std::unique_ptr<PGresult, ResultDeleter>;

QString trimmed(const char *text)
{
    return QString::fromUtf8(text).trimmed();
}

// Runs one statement on the admin connection; the empty text on success, else
// the server's message, and the error's SQLSTATE in `state`.
QString runAdmin(const QString &statement, QString *state = nullptr)
{
    Conn conn(PQconnectdb(adminKeywords().constData()));
    if (PQstatus(conn.get()) != CONNECTION_OK)
        return QStringLiteral("no connection to the test server (KRONT_TEST_PG=%1): %2")
            .arg(QString::fromUtf8(adminKeywords()), trimmed(PQerrorMessage(conn.get())));
    const Result res(PQexec(conn.get(), statement.toUtf8().constData()));
    if (PQresultStatus(res.get()) == PGRES_COMMAND_OK)
        return {};
    if (state)
        *state = QString::fromLatin1(PQresultErrorField(res.get(), PG_DIAG_SQLSTATE));
    return statement + QStringLiteral(": ") + trimmed(PQresultErrorMessage(res.get()));
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + QString(name).replace(u'"', QLatin1String("\"\"")) + QLatin1Char('"');
}

} // namespace

bool serverTestsEnabled()
{
    return !adminKeywords().trimmed().isEmpty();
}

bool serverStoreRequested()
{
    return qgetenv("KRONT_TEST_STORE").trimmed().toLower() == "postgresql";
}

bool onServerStore()
{
    return serverStoreRequested() && serverTestsEnabled();
}

StoreSettings serverSettings(const QString &database)
{
    return serverSettingsFromKeywords(QString::fromUtf8(adminKeywords()), database);
}

TestServer::~TestServer()
{
    if (ownerPid != QCoreApplication::applicationPid())
        return;
    for (const QString &name : QStringList(made)) {
        QString error;
        if (!drop(name, &error))
            qWarning("%s", qPrintable(error));
    }
}

std::optional<StoreSettings> TestServer::freshServerDatabase(QString *error)
{
    if (!serverTestsEnabled()) {
        if (error)
            *error = QStringLiteral("KRONT_TEST_PG is not set");
        return std::nullopt;
    }
    static int counter = 0;
    const QString name =
        QStringLiteral("kront_t_%1_%2").arg(QCoreApplication::applicationPid()).arg(++counter);
    const QString create = QStringLiteral("CREATE DATABASE ") + quoted(name);
    QString state;
    QString failure = runAdmin(create, &state);
    // A crashed earlier run of a process with the same ID left it behind.
    if (state == QLatin1String("42P04") &&
        runAdmin(QStringLiteral("DROP DATABASE %1 WITH (FORCE)").arg(quoted(name))).isEmpty())
        failure = runAdmin(create);
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return std::nullopt;
    }
    ownerPid = QCoreApplication::applicationPid();
    made << name;
    return serverSettings(name);
}

bool TestServer::drop(const QString &name, QString *error)
{
    const QString failure =
        runAdmin(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(quoted(name)));
    if (!failure.isEmpty()) {
        if (error)
            *error = failure;
        return false;
    }
    made.removeAll(name);
    return true;
}

} // namespace kront::test
