#pragma once

#include "db/SqlConnection.h"

typedef struct pg_conn PGconn;

namespace kront::pg
{

// One connection to a PostgreSQL server through its client library. Takes
// the statements written for the embedded store (see serverSql) and gives
// values as the embedded store does: integers as qint64, floating columns as
// double, everything else as text.
class Connection : public sql::Connection
{
public:
    Connection() = default;
    ~Connection() override;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Connects with the client library's keywords (StoreSettings::
    // connectionString); false with the server's or the library's reason in
    // errorText().
    bool open(const QString &connectionString);
    // Whether the connection is up; after a lost connection, reconnects once.
    // Only between operations: statements never reconnect, so that nothing
    // of an operation runs outside its transaction.
    bool ensureOpen();
    bool isOpen() const;
    void close();

    bool exec(const QString &sql) override;
    QString errorText() const override { return error; }
    qint64 changes() const override { return changed; }
    std::unique_ptr<sql::PreparedStatement> prepare(const QString &sql) override;

    PGconn *handle() const { return conn; }
    // For the statements of this connection: the last error and rows changed.
    void setError(const QString &text) { error = text; }
    void setChanges(qint64 n) { changed = n; }

private:
    PGconn *conn = nullptr;
    QString error;
    qint64 changed = 0;
};

// The server's SQL for a text written for the embedded store: "?" and "?N"
// become "$N"; identifiers in double quotes are put in lower case (the server
// keeps the tables and columns in lower case, so quoted and unquoted names
// both find them); string literals are left as they are.
QString serverSql(const QString &sql);

} // namespace kront::pg
