#include "db/Sqlite.h"

#include <sqlite3.h>

#include <chrono>
#include <thread>
#include <utility>

namespace kront::sqlite
{

namespace
{

int busyTimeoutMs = 3000;

// Waits a millisecond at a time while another process holds the lock, until
// the wait of setBusyTimeoutMs has passed. The limit is read at every step, so
// a change reaches the connections that are open already.
int waitForLock(void *, int attempts)
{
    if (attempts >= busyTimeoutMs)
        return 0;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
    return 1;
}

} // namespace

void Connection::setBusyTimeoutMs(int ms)
{
    busyTimeoutMs = ms;
}

Connection::~Connection()
{
    close();
}

Connection::Connection(Connection &&other) noexcept : db(std::exchange(other.db, nullptr)) {}

Connection &Connection::operator=(Connection &&other) noexcept
{
    if (this != &other) {
        close();
        db = std::exchange(other.db, nullptr);
    }
    return *this;
}

bool Connection::open(const QString &path, int flags)
{
    close();
    const QByteArray name = path.toUtf8();
    sqlite3 *handle = nullptr;
    const int rc = sqlite3_open_v2(name.constData(), &handle, flags | SQLITE_OPEN_URI, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(handle); // a handle is returned even on failure
        return false;
    }
    db = handle;
    sqlite3_busy_handler(db, &waitForLock, nullptr);
    sqlite3_extended_result_codes(db, 1);
    return true;
}

bool Connection::openExisting(const QString &path)
{
    return open(path, SQLITE_OPEN_READWRITE);
}

bool Connection::openOrCreate(const QString &path)
{
    return open(path, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

void Connection::close()
{
    if (db) {
        sqlite3_close_v2(db);
        db = nullptr;
    }
}

bool Connection::isReadOnly() const
{
    return db && sqlite3_db_readonly(db, "main") == 1;
}

bool Connection::exec(const QString &sql)
{
    if (!db)
        return false;
    return sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

QString Connection::errorText() const
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("no database");
}

qint64 Connection::changes() const
{
    return db ? sqlite3_changes64(db) : 0;
}

Statement::Statement(Connection &conn, const QString &sql)
{
    if (!conn.handle())
        return;
    const QByteArray text = sql.toUtf8();
    if (sqlite3_prepare_v2(conn.handle(), text.constData(), int(text.size()), &stmt, nullptr) !=
        SQLITE_OK) {
        sqlite3_finalize(stmt);
        stmt = nullptr;
    }
}

Statement::~Statement()
{
    sqlite3_finalize(stmt);
}

void Statement::bind(int index, const Value &value)
{
    if (!stmt)
        return;
    if (std::holds_alternative<qint64>(value)) {
        sqlite3_bind_int64(stmt, index, std::get<qint64>(value));
    } else if (std::holds_alternative<double>(value)) {
        sqlite3_bind_double(stmt, index, std::get<double>(value));
    } else if (std::holds_alternative<QString>(value)) {
        const QByteArray utf8 = std::get<QString>(value).toUtf8();
        sqlite3_bind_text(stmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    } else {
        sqlite3_bind_null(stmt, index);
    }
}

void Statement::bindAll(const std::vector<Value> &values, int firstIndex)
{
    for (std::size_t i = 0; i < values.size(); ++i)
        bind(firstIndex + int(i), values[i]);
}

bool Statement::step()
{
    if (!stmt) {
        error = true;
        return false;
    }
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return true;
    error = rc != SQLITE_DONE;
    return false;
}

bool Statement::run()
{
    while (step()) {
    }
    return !error;
}

void Statement::reset()
{
    if (stmt) {
        sqlite3_reset(stmt);
        sqlite3_clear_bindings(stmt);
    }
    error = false;
}

int Statement::columnCount() const
{
    return stmt ? sqlite3_column_count(stmt) : 0;
}

bool Statement::isNull(int col) const
{
    return sqlite3_column_type(stmt, col) == SQLITE_NULL;
}

qint64 Statement::integer(int col) const
{
    return sqlite3_column_int64(stmt, col);
}

double Statement::real(int col) const
{
    return sqlite3_column_double(stmt, col);
}

QString Statement::text(int col) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(stmt, col)) : QString();
}

Value Statement::value(int col) const
{
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER: return integer(col);
    case SQLITE_FLOAT: return real(col);
    case SQLITE_NULL: return std::monostate{};
    default: return text(col);
    }
}

Transaction::Transaction(Connection &c) : conn(c)
{
    active = conn.exec(QStringLiteral("BEGIN IMMEDIATE"));
}

Transaction::~Transaction()
{
    if (active)
        conn.exec(QStringLiteral("ROLLBACK"));
}

bool Transaction::commit()
{
    if (!active)
        return false;
    if (!conn.exec(QStringLiteral("COMMIT")))
        return false; // the destructor rolls back what is left
    active = false;
    return true;
}

QString quoteIdentifier(const QString &name)
{
    QString inner = name;
    inner.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + inner + QLatin1Char('"');
}

} // namespace kront::sqlite
