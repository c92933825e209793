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

namespace
{

// A prepared statement of a table file's connection.
class FileStatement : public sql::PreparedStatement
{
public:
    explicit FileStatement(sqlite3_stmt *s) : stmt(s) {}
    ~FileStatement() override { sqlite3_finalize(stmt); }

    void bind(int index, const Value &value) override;
    bool step() override;
    bool failed() const override { return error; }
    void reset() override;
    int columnCount() const override { return sqlite3_column_count(stmt); }
    bool isNull(int col) const override { return sqlite3_column_type(stmt, col) == SQLITE_NULL; }
    qint64 integer(int col) const override { return sqlite3_column_int64(stmt, col); }
    double real(int col) const override { return sqlite3_column_double(stmt, col); }
    QString text(int col) const override;
    Value value(int col) const override;

private:
    sqlite3_stmt *stmt;
    bool error = false;
};

void FileStatement::bind(int index, const Value &value)
{
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

bool FileStatement::step()
{
    const int rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW)
        return true;
    error = rc != SQLITE_DONE;
    return false;
}

void FileStatement::reset()
{
    sqlite3_reset(stmt);
    sqlite3_clear_bindings(stmt);
    error = false;
}

QString FileStatement::text(int col) const
{
    const auto *data = reinterpret_cast<const char *>(sqlite3_column_text(stmt, col));
    return data ? QString::fromUtf8(data, sqlite3_column_bytes(stmt, col)) : QString();
}

Value FileStatement::value(int col) const
{
    switch (sqlite3_column_type(stmt, col)) {
    case SQLITE_INTEGER: return integer(col);
    case SQLITE_FLOAT: return real(col);
    case SQLITE_NULL: return std::monostate{};
    default: return text(col);
    }
}

} // namespace

std::unique_ptr<sql::PreparedStatement> Connection::prepare(const QString &sql)
{
    if (!db)
        return nullptr;
    const QByteArray text = sql.toUtf8();
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, text.constData(), int(text.size()), &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    return std::make_unique<FileStatement>(stmt);
}

} // namespace kront::sqlite
