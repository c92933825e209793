#include "db/TableFile.h"

#include "common/AppHome.h"
#include "db/FieldValue.h"

#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <sqlite3.h>

#include <cstdio>
#include <utility>

namespace kront
{

namespace
{

QString sqlType(const FieldDef &f)
{
    switch (f.type) {
    case FieldType::AutoInc:
    case FieldType::Integer: return QStringLiteral("INTEGER");
    case FieldType::SmallInt: return QStringLiteral("SMALLINT");
    case FieldType::Text: return QStringLiteral("VARCHAR(%1)").arg(f.size);
    case FieldType::Float: return QStringLiteral("DOUBLE");
    case FieldType::Boolean: return QStringLiteral("BOOLEAN");
    case FieldType::DateTime: return QStringLiteral("DATETIME");
    case FieldType::Memo: return QStringLiteral("TEXT");
    }
    return {};
}

// CREATE INDEX of one index; with an alias, the index goes into that
// database of the connection.
QString indexStatement(const TableSchema &schema, const IndexDef &index, bool ifNotExists,
                       const QString &alias = QString())
{
    QStringList cols;
    for (const QString &f : QString::fromLatin1(index.fields).split(QLatin1Char(',')))
        cols << sqlite::quoteIdentifier(f);
    QString name = sqlite::quoteIdentifier(QString::fromLatin1(index.name));
    if (!alias.isEmpty())
        name = sqlite::quoteIdentifier(alias) + QLatin1Char('.') + name;
    return QStringLiteral("CREATE INDEX %1%2 ON %3 (%4)")
        .arg(ifNotExists ? QStringLiteral("IF NOT EXISTS ") : QString(), name,
             sqlite::quoteIdentifier(schema.tableName()), cols.join(QStringLiteral(", ")));
}

// kront_num(x): the number in a text (see numberInText), x itself when it is
// a number already, else null. Lets the filter compare a text field with an
// unquoted number.
void numberInTextFunction(sqlite3_context *ctx, int, sqlite3_value **argv)
{
    switch (sqlite3_value_type(argv[0])) {
    case SQLITE_INTEGER:
    case SQLITE_FLOAT: sqlite3_result_value(ctx, argv[0]); return;
    case SQLITE_TEXT: {
        const auto *text = reinterpret_cast<const char *>(sqlite3_value_text(argv[0]));
        const auto v = numberInText(QString::fromUtf8(text, sqlite3_value_bytes(argv[0])));
        if (v)
            sqlite3_result_double(ctx, *v);
        else
            sqlite3_result_null(ctx);
        return;
    }
    default: sqlite3_result_null(ctx);
    }
}

bool registerFunctions(sqlite::Connection &conn)
{
    return sqlite3_create_function_v2(
               conn.handle(), "kront_num", 1, SQLITE_UTF8 | SQLITE_DETERMINISTIC, nullptr,
               &numberInTextFunction, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// True when schema `alias` holds the table with exactly the expected columns.
bool hasExpectedColumns(sqlite::Connection &conn, const TableSchema &schema, const QString &alias)
{
    sqlite::Statement st(conn, QStringLiteral("SELECT name, type FROM pragma_table_info(?1, ?2)"));
    st.bind(1, schema.tableName());
    st.bind(2, alias);
    int i = 0;
    while (st.step()) {
        if (i >= schema.fieldCount())
            return false;
        const FieldDef &f = schema.fields[i];
        if (st.text(0) != QLatin1String(f.name) ||
            st.text(1).compare(sqlType(f), Qt::CaseInsensitive) != 0)
            return false;
        ++i;
    }
    return !st.failed() && i == schema.fieldCount();
}

bool setDurable(sqlite::Connection &conn, const QString &alias)
{
    return conn.exec(
        QStringLiteral("PRAGMA %1.synchronous = FULL").arg(sqlite::quoteIdentifier(alias)));
}

// An URI that opens an existing file only (ATTACH would otherwise create it).
QString existingFileUri(const QString &path)
{
    const QByteArray encoded = QUrl::toPercentEncoding(path, "/");
    return QStringLiteral("file:") + QString::fromLatin1(encoded) + QStringLiteral("?mode=rw");
}

} // namespace

QString tableFilePath(const TableSchema &schema)
{
    return AppHome::dataFile(schema.fileName());
}

QStringList createTableStatements(const TableSchema &schema, bool ifNotExists)
{
    QStringList cols;
    for (const FieldDef &f : schema.fields) {
        QString col =
            sqlite::quoteIdentifier(QString::fromLatin1(f.name)) + QLatin1Char(' ') + sqlType(f);
        if (f.type == FieldType::AutoInc)
            col += QStringLiteral(" PRIMARY KEY AUTOINCREMENT");
        cols << col;
    }
    QStringList out;
    out << QStringLiteral("CREATE TABLE %1%2 (%3)")
               .arg(ifNotExists ? QStringLiteral("IF NOT EXISTS ") : QString(),
                    sqlite::quoteIdentifier(schema.tableName()), cols.join(QStringLiteral(", ")));
    for (const IndexDef &ix : schema.indexes)
        out << indexStatement(schema, ix, ifNotExists);
    for (const IndexDef &ix : schema.queryIndexes)
        out << indexStatement(schema, ix, ifNotExists);
    return out;
}

bool updateIndexes(sqlite::Connection &conn, const TableSchema &schema, const QString &alias)
{
    bool ok = true;
    for (const auto &list : {schema.indexes, schema.queryIndexes}) {
        for (const IndexDef &ix : list)
            ok = conn.exec(indexStatement(schema, ix, true, alias)) && ok;
    }
    for (const QString &name : retiredIndexes(schema)) {
        ok = conn.exec(QStringLiteral("DROP INDEX IF EXISTS %1.%2")
                           .arg(sqlite::quoteIdentifier(alias), sqlite::quoteIdentifier(name))) &&
             ok;
    }
    return ok;
}

bool createTableFile(const TableSchema &schema, const QString &path)
{
    const QString temp = path + QStringLiteral(".creating");
    QFile::remove(temp);
    QFile::remove(temp + QStringLiteral("-journal"));
    bool ok = false;
    {
        sqlite::Connection conn;
        if (conn.openOrCreate(temp) && setDurable(conn, QStringLiteral("main"))) {
            sqlite::Transaction tx(conn);
            ok = tx.isActive();
            for (const QString &sql : createTableStatements(schema)) {
                if (ok)
                    ok = conn.exec(sql);
            }
            // The blank row uses up ID 1: the first real row gets ID 2.
            const QString table = sqlite::quoteIdentifier(schema.tableName());
            if (ok)
                ok = conn.exec(QStringLiteral("INSERT INTO %1 DEFAULT VALUES").arg(table));
            if (ok)
                ok = conn.exec(QStringLiteral("DELETE FROM %1").arg(table));
            if (ok)
                ok = tx.commit();
        }
    }
    if (ok)
        ok = std::rename(QFile::encodeName(temp).constData(),
                         QFile::encodeName(path).constData()) == 0;
    if (!ok)
        QFile::remove(temp);
    return ok;
}

TableFile::~TableFile()
{
    endOperation();
}

TableFile::TableFile(TableFile &&other) noexcept
    : conn(std::move(other.conn)), schemas(std::move(other.schemas)),
      reading(std::exchange(other.reading, false)), writing(std::exchange(other.writing, false)),
      wrote(other.wrote)
{
}

QString TableFile::alias(const TableSchema &table) const
{
    return &table == schemas.front() ? QStringLiteral("main") : table.tableName();
}

QString TableFile::tableRef(const TableSchema &table) const
{
    return sqlite::quoteIdentifier(alias(table)) + QLatin1Char('.') +
           sqlite::quoteIdentifier(table.tableName());
}

const TableSchema *TableFile::beginRead()
{
    if (!conn.exec(QStringLiteral("BEGIN")))
        return schemas.front();
    reading = true;
    for (const TableSchema *t : schemas) {
        // Reading the schema version takes the file's shared lock and reads its header.
        sqlite::Statement st(
            conn,
            QStringLiteral("PRAGMA %1.schema_version").arg(sqlite::quoteIdentifier(alias(*t))));
        if (!st.step()) {
            endOperation();
            return t;
        }
    }
    return nullptr;
}

bool TableFile::beginWrite()
{
    writing = conn.exec(QStringLiteral("BEGIN IMMEDIATE"));
    wrote = wrote || writing;
    return writing;
}

bool TableFile::beginWriteOfMainTable()
{
    if (schemas.size() == 1)
        return beginWrite();
    // A deferred transaction with the main file's write lock taken at once,
    // as an immediate one takes them all: a change that removes no row takes it.
    writing = conn.exec(QStringLiteral("BEGIN"));
    if (writing && !conn.exec(QStringLiteral("DELETE FROM %1 WHERE 0").arg(tableRef(schema())))) {
        conn.exec(QStringLiteral("ROLLBACK"));
        writing = false;
    }
    wrote = wrote || writing;
    return writing;
}

bool TableFile::commit()
{
    if (!writing || !conn.exec(QStringLiteral("COMMIT")))
        return false; // the destructor rolls back what is left
    writing = false;
    return true;
}

bool TableFile::endOperation()
{
    if (reading || writing)
        conn.exec(QStringLiteral("ROLLBACK"));
    reading = writing = false;
    return std::exchange(wrote, false);
}

const TableSchema *TableFile::firstReadOnly() const
{
    for (const TableSchema *t : schemas) {
        if (sqlite3_db_readonly(conn.handle(), alias(*t).toUtf8().constData()) != 0)
            return t;
    }
    return nullptr;
}

std::optional<TableFile> TableFile::open(const TableSchema &schema, Mode mode)
{
    TableFile file;
    file.schemas = {&schema};
    const QString path = tableFilePath(schema);
    if (!QFileInfo(path).isFile() || !file.conn.openExisting(path))
        return std::nullopt;
    if (mode == Mode::Write && file.conn.isReadOnly())
        return std::nullopt;
    if (!registerFunctions(file.conn) || !setDurable(file.conn, QStringLiteral("main")) ||
        !hasExpectedColumns(file.conn, schema, QStringLiteral("main")))
        return std::nullopt;
    return file;
}

bool TableFile::attach(const TableSchema &other, Mode mode)
{
    const QString path = tableFilePath(other);
    if (!QFileInfo(path).isFile())
        return false;
    sqlite::Statement st(conn, QStringLiteral("ATTACH DATABASE ?1 AS ?2"));
    st.bind(1, existingFileUri(path));
    st.bind(2, other.tableName());
    if (!st.run())
        return false;
    schemas.push_back(&other);
    if (mode == Mode::Write && sqlite3_db_readonly(conn.handle(), other.name) == 1)
        return false;
    return setDurable(conn, other.tableName()) &&
           hasExpectedColumns(conn, other, other.tableName());
}

} // namespace kront
