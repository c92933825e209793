#include "db/PgConnection.h"

#include <libpq-fe.h>

#include <cmath>

namespace kront::pg
{

namespace
{

// Type identifiers of the server's catalogue, fixed for every server.
constexpr Oid kBool = 16, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kOid = 26;
constexpr Oid kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;

QString resultError(const PGresult *res, PGconn *conn)
{
    const char *text = res ? PQresultErrorMessage(res) : PQerrorMessage(conn);
    return QString::fromUtf8(text).trimmed();
}

bool succeeded(const PGresult *res)
{
    const ExecStatusType st = PQresultStatus(res);
    return st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK;
}

// The text form of a value for the server, with the type it is sent as.
std::pair<QByteArray, Oid> parameter(const sql::Value &v)
{
    if (const auto *i = std::get_if<qint64>(&v))
        return {QByteArray::number(*i), kInt8};
    if (const auto *d = std::get_if<double>(&v)) {
        if (std::isnan(*d))
            return {"NaN", kFloat8};
        if (std::isinf(*d))
            return {*d > 0 ? "Infinity" : "-Infinity", kFloat8};
        return {QByteArray::number(*d, 'g', 17), kFloat8};
    }
    return {std::get<QString>(v).toUtf8(), kText};
}

// A statement of the server's connection: run when first stepped, with every
// row of its result kept until the statement is reset or goes away.
class ServerStatement : public sql::PreparedStatement
{
public:
    ServerStatement(Connection &c, QByteArray text, int parameterCount)
        : conn(c), sql(std::move(text)), params(std::size_t(parameterCount))
    {
    }
    ~ServerStatement() override { PQclear(result); }

    void bind(int index, const sql::Value &value) override
    {
        if (index >= 1 && index <= int(params.size()))
            params[std::size_t(index - 1)] = value;
    }
    bool step() override
    {
        if (!result && !execute())
            return false;
        return ++row < PQntuples(result);
    }
    bool failed() const override { return error; }
    void reset() override
    {
        PQclear(std::exchange(result, nullptr));
        std::fill(params.begin(), params.end(), sql::Value{});
        row = -1;
        error = false;
    }
    int columnCount() const override { return result ? PQnfields(result) : 0; }
    bool isNull(int col) const override { return PQgetisnull(result, row, col) != 0; }
    qint64 integer(int col) const override
    {
        if (PQftype(result, col) == kBool)
            return raw(col) == "t" ? 1 : 0;
        if (isFloat(col))
            return qint64(real(col));
        return raw(col).toLongLong();
    }
    double real(int col) const override
    {
        const QByteArray text = raw(col);
        if (text == "NaN")
            return std::nan("");
        if (text == "Infinity" || text == "-Infinity")
            return text.startsWith('-') ? -INFINITY : INFINITY;
        return text.toDouble();
    }
    QString text(int col) const override
    {
        return QString::fromUtf8(PQgetvalue(result, row, col), PQgetlength(result, row, col));
    }
    sql::Value value(int col) const override
    {
        if (isNull(col))
            return std::monostate{};
        switch (PQftype(result, col)) {
        case kBool:
        case kInt2:
        case kInt4:
        case kInt8:
        case kOid: return integer(col);
        case kFloat4:
        case kFloat8:
        case kNumeric: return real(col);
        default: return text(col);
        }
    }

private:
    bool isFloat(int col) const
    {
        const Oid t = PQftype(result, col);
        return t == kFloat4 || t == kFloat8 || t == kNumeric;
    }
    QByteArray raw(int col) const
    {
        return QByteArray(PQgetvalue(result, row, col), PQgetlength(result, row, col));
    }
    bool execute();

    Connection &conn;
    QByteArray sql;
    std::vector<sql::Value> params;
    PGresult *result = nullptr;
    int row = -1;
    bool error = false;
};

bool ServerStatement::execute()
{
    std::vector<QByteArray> texts(params.size());
    std::vector<const char *> values(params.size(), nullptr);
    std::vector<Oid> types(params.size(), 0);
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (std::holds_alternative<std::monostate>(params[i]))
            continue; // null, of the type the statement gives it
        std::tie(texts[i], types[i]) = parameter(params[i]);
        values[i] = texts[i].constData();
    }
    if (!conn.isOpen()) {
        // Never reconnected here: a new session would run the rest of an
        // operation outside its transaction.
        conn.setError(QStringLiteral("connection to the server lost"));
        error = true;
        return false;
    }
    result = PQexecParams(conn.handle(), sql.constData(), int(params.size()), types.data(),
                          values.data(), nullptr, nullptr, 0);
    if (!succeeded(result)) {
        conn.setError(resultError(result, conn.handle()));
        PQclear(std::exchange(result, nullptr));
        error = true;
        return false;
    }
    conn.setChanges(QByteArray(PQcmdTuples(result)).toLongLong());
    return true;
}

// Reads the parameter after a "?" at text[i]: its number, 0 for a bare "?".
int parameterNumber(const QString &text, qsizetype &i)
{
    qsizetype j = i + 1;
    while (j < text.size() && text[j].isDigit())
        ++j;
    const int n = j > i + 1 ? text.mid(i + 1, j - i - 1).toInt() : 0;
    i = j;
    return n;
}

// serverSql, also giving the number of parameters the text uses.
QString translate(const QString &sql, int *parameterCount)
{
    QString out;
    out.reserve(sql.size() + 8);
    int highest = 0;
    for (qsizetype i = 0; i < sql.size();) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"') {
            // Up to the closing quote; a doubled quote stays inside.
            qsizetype j = i + 1;
            while (j < sql.size()) {
                if (sql[j] == c) {
                    if (j + 1 < sql.size() && sql[j + 1] == c) {
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            const QString quoted = sql.mid(i, j + 1 - i);
            out += c == u'"' ? quoted.toLower() : quoted;
            i = j + 1;
        } else if (c == u'?') {
            int n = parameterNumber(sql, i);
            if (n == 0)
                n = highest + 1;
            highest = std::max(highest, n);
            out += u'$' + QString::number(n);
        } else {
            out += c;
            ++i;
        }
    }
    if (parameterCount)
        *parameterCount = highest;
    return out;
}

} // namespace

QString serverSql(const QString &sql)
{
    return translate(sql, nullptr);
}

Connection::~Connection()
{
    close();
}

bool Connection::open(const QString &connectionString)
{
    close();
    conn = PQconnectdb(connectionString.toUtf8().constData());
    if (PQstatus(conn) != CONNECTION_OK) {
        error = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
        close();
        return false;
    }
    // Notices (an index that exists already) are not the program's business.
    PQsetNoticeProcessor(
        conn, [](void *, const char *) {}, nullptr);
    return true;
}

bool Connection::isOpen() const
{
    return conn && PQstatus(conn) == CONNECTION_OK;
}

bool Connection::ensureOpen()
{
    if (!conn)
        return false;
    if (PQstatus(conn) == CONNECTION_OK)
        return true;
    PQreset(conn);
    if (PQstatus(conn) == CONNECTION_OK)
        return true;
    error = QString::fromUtf8(PQerrorMessage(conn)).trimmed();
    return false;
}

void Connection::close()
{
    if (conn) {
        PQfinish(conn);
        conn = nullptr;
    }
}

bool Connection::exec(const QString &sql)
{
    if (!isOpen()) {
        error = QStringLiteral("connection to the server lost");
        return false;
    }
    PGresult *res = PQexec(conn, serverSql(sql).toUtf8().constData());
    const bool ok = succeeded(res);
    if (ok)
        changed = QByteArray(PQcmdTuples(res)).toLongLong();
    else
        error = resultError(res, conn);
    PQclear(res);
    return ok;
}

std::unique_ptr<sql::PreparedStatement> Connection::prepare(const QString &sql)
{
    if (!conn) {
        error = QStringLiteral("no connection to the server");
        return nullptr;
    }
    int count = 0;
    const QString text = translate(sql, &count);
    return std::make_unique<ServerStatement>(*this, text.toUtf8(), count);
}

} // namespace kront::pg
