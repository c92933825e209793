#pragma once

#include "db/SqlConnection.h"

struct sqlite3;
struct sqlite3_stmt;

namespace kront::sqlite
{

using Value = sql::Value;
using Statement = sql::Statement;
using Transaction = sql::Transaction;
using sql::quoteIdentifier;

// One open connection to a table file; closed by the destructor.
class Connection : public sql::Connection
{
public:
    Connection() = default;
    ~Connection() override;
    Connection(Connection &&other) noexcept;
    Connection &operator=(Connection &&other) noexcept;
    Connection(const Connection &) = delete;
    Connection &operator=(const Connection &) = delete;

    // Opens an existing file for reading and writing (never creates one).
    bool openExisting(const QString &path);
    // Opens the file, creating it when missing.
    bool openOrCreate(const QString &path);
    void close();

    bool isOpen() const { return db != nullptr; }
    bool isReadOnly() const;
    bool exec(const QString &sql) override;
    QString errorText() const override;
    qint64 changes() const override;
    std::unique_ptr<sql::PreparedStatement> prepare(const QString &sql) override;
    // Takes the write lock at once, so that a transaction never fails half-way for a lock.
    QString beginWriteSql() const override { return QStringLiteral("BEGIN IMMEDIATE"); }
    sqlite3 *handle() const { return db; }

    // How long an operation waits for a lock held by another process (the
    // sqlite3 tool, a second copy of the program) before it gives up; for
    // the connections open already as well.
    static void setBusyTimeoutMs(int ms);

private:
    bool open(const QString &path, int flags);
    sqlite3 *db = nullptr;
};

} // namespace kront::sqlite
