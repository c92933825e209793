#pragma once

#include <QString>
#include <QtGlobal>

#include <memory>
#include <variant>
#include <vector>

namespace kront::sql
{

// A value bound to or read from the store: null, integer, real or text.
using Value = std::variant<std::monostate, qint64, double, QString>;

// What a connection prepares: one statement with its parameters and its rows.
// Parameters are written "?" or "?N" (N from 1) whatever the store; a
// connection to a store that spells them otherwise translates the text.
class PreparedStatement
{
public:
    virtual ~PreparedStatement() = default;
    virtual void bind(int index, const Value &value) = 0; // index from 1
    // Advances to the next row: true while a row is available; false after
    // the last row or an error (failed() tells which).
    virtual bool step() = 0;
    virtual bool failed() const = 0;
    // Back to before the first step, with the bindings cleared.
    virtual void reset() = 0;
    virtual int columnCount() const = 0;
    virtual bool isNull(int col) const = 0;
    virtual qint64 integer(int col) const = 0;
    virtual double real(int col) const = 0;
    virtual QString text(int col) const = 0;
    virtual Value value(int col) const = 0;
};

// One open connection to a store: the embedded table files or a database
// server.
class Connection
{
public:
    virtual ~Connection() = default;
    // Runs statements without parameters; false with errorText() on failure.
    virtual bool exec(const QString &sql) = 0;
    virtual QString errorText() const = 0;
    // Rows changed by the last statement.
    virtual qint64 changes() const = 0;
    // Null when the text does not prepare (errorText() tells why).
    virtual std::unique_ptr<PreparedStatement> prepare(const QString &sql) = 0;
    // The statement that begins a write transaction.
    virtual QString beginWriteSql() const { return QStringLiteral("BEGIN"); }
};

// One prepared statement, for the code that runs SQL on any store's
// connection; finalised by the destructor. A text that did not prepare gives
// an invalid statement whose step() fails.
class Statement
{
public:
    Statement(Connection &conn, const QString &sql) : impl(conn.prepare(sql)) {}

    bool isValid() const { return impl != nullptr; }
    void bind(int index, const Value &value)
    {
        if (impl)
            impl->bind(index, value);
    }
    void bindAll(const std::vector<Value> &values, int firstIndex = 1);

    bool step();
    bool failed() const { return !impl || impl->failed(); }
    // Runs a statement that returns no rows; true on success.
    bool run();
    void reset()
    {
        if (impl)
            impl->reset();
    }

    int columnCount() const { return impl ? impl->columnCount() : 0; }
    bool isNull(int col) const { return impl->isNull(col); }
    qint64 integer(int col) const { return impl->integer(col); }
    double real(int col) const { return impl->real(col); }
    QString text(int col) const { return impl->text(col); }
    Value value(int col) const { return impl->value(col); }

private:
    std::unique_ptr<PreparedStatement> impl;
};

// Begins a write transaction and rolls it back unless commit() succeeded
// before the object goes away.
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

} // namespace kront::sql
