#pragma once

#include <QString>
#include <QtGlobal>

#include <variant>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace kront::sqlite
{

// A value bound to or read from SQLite: null, integer, real or text.
using Value = std::variant<std::monostate, qint64, double, QString>;

// One open database connection; closed by the destructor.
class Connection
{
public:
    Connection() = default;
    ~Connection();
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
    // Runs statements without parameters; false with errorText() on failure.
    bool exec(const QString &sql);
    QString errorText() const;
    qint64 changes() const;
    sqlite3 *handle() const { return db; }

    // How long an operation waits for a lock held by another process (the
    // sqlite3 tool, a second copy of the program) before it gives up; for
    // the connections open already as well.
    static void setBusyTimeoutMs(int ms);

private:
    bool open(const QString &path, int flags);
    sqlite3 *db = nullptr;
};

// One prepared statement; finalised by the destructor.
class Statement
{
public:
    Statement(Connection &conn, const QString &sql);
    ~Statement();
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return stmt != nullptr; }
    void bind(int index, const Value &value); // index from 1
    void bindAll(const std::vector<Value> &values, int firstIndex = 1);

    // Advances to the next row: true while a row is available. After the
    // last row (or an error) it returns false; failed() tells which.
    bool step();
    bool failed() const { return error; }
    // Runs a statement that returns no rows; true on success.
    bool run();
    void reset();

    int columnCount() const;
    bool isNull(int col) const;
    qint64 integer(int col) const;
    double real(int col) const;
    QString text(int col) const;
    Value value(int col) const;

private:
    sqlite3_stmt *stmt = nullptr;
    bool error = false;
};

// Begins a write transaction (BEGIN IMMEDIATE) and rolls it back unless
// commit() succeeded before the object goes away.
class Transaction
{
public:
    explicit Transaction(Connection &conn);
    ~Transaction();
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    bool isActive() const { return active; }
    bool commit();

private:
    Connection &conn;
    bool active = false;
};

// Quotes an identifier for SQL text ("name" with inner quotes doubled).
QString quoteIdentifier(const QString &name);

} // namespace kront::sqlite
