#include "db/LabCopy.h"
#include "db/FieldValue.h"

#include "common/AppHome.h"
#include "db/ServerTables.h"

#include <QDir>

#include <limits>

namespace kront
{

namespace
{

const QString kServerNotEmpty = QStringLiteral(
    "На сервере %1 уже есть записи (таблица %2): перенос делается только в пустое хранилище.");
const QString kFolderNotEmpty = QStringLiteral(
    "В папке %1 уже есть записи (таблица %2): перенос делается только в пустое хранилище.");
const QString kCopyStopped =
    QStringLiteral("Перенос прерван на таблице %1: записи, перенесённые до этого, остались в %2.");
const QString kRetryOnServer =
    QStringLiteral("Чтобы повторить перенос, удалите базу данных %1 на сервере, создайте её "
                   "заново пустой и запустите перенос снова.");
const QString kRetryInFolder = QStringLiteral(
    "Чтобы повторить перенос, удалите файлы таблиц из папки Data в %1 и запустите перенос снова.");

// One page of the table's rows in table order (by ID; ResultsTP as written,
// by its row number, which comes last): those after the key ?1, at most ?2.
QString pageSql(const TableSchema &table)
{
    QStringList columns;
    for (int i = 0; i < table.fieldCount(); ++i)
        columns << sql::quoteIdentifier(table.fieldName(i));
    const QString key =
        table.hasId() ? sql::quoteIdentifier(table.fieldName(0)) : QStringLiteral("rowid");
    if (!table.hasId())
        columns << key;
    return QStringLiteral("SELECT %1 FROM %2 WHERE %3 > ?1 ORDER BY %3 LIMIT ?2")
        .arg(columns.join(u','), sql::quoteIdentifier(table.tableName()), key);
}

// Appends the rows after the key `after` (at most `limit`) to `rows` and
// moves `after` to the last of them; their number, -1 when the read failed.
int readPage(sql::Connection &conn, const TableSchema &table, qint64 &after, int limit,
             std::vector<TableRow> &rows)
{
    const int keyColumn = table.hasId() ? 0 : table.fieldCount();
    sql::Statement page(conn, pageSql(table));
    page.bind(1, after);
    page.bind(2, qint64(limit));
    int read = 0;
    while (page.step()) {
        TableRow row(table);
        for (int i = 0; i < table.fieldCount(); ++i)
            row.set(QLatin1String(table.fields[i].name), storedAsIs(page.value(i)));
        rows.push_back(std::move(row));
        after = page.integer(keyColumn);
        ++read;
    }
    return page.failed() ? -1 : read;
}

} // namespace

LabCopy::LabCopy(Database &from, Database &to, Dialogs &d) : source(from), target(to), dialogs(d) {}

std::vector<const TableSchema *> LabCopy::tablesInOrder()
{
    std::vector<const TableSchema *> all(allTables().begin(), allTables().end());
    all.insert(all.end(), addedTables().begin(), addedTables().end());
    return all;
}

bool LabCopy::tableExists(Database &db, const TableSchema &table)
{
    auto *server = dynamic_cast<ServerTables *>(&db.store());
    if (!server)
        return db.hasTable(table);
    // The store takes every table as there (the program's start-up makes
    // them all); a database the program has not used yet has none.
    sql::Statement exists(server->connection(),
                          QStringLiteral("SELECT to_regclass(?1) IS NOT NULL"));
    exists.bind(1, sql::quoteIdentifier(table.tableName().toLower()));
    // A server that cannot answer is taken as having it: counting its rows
    // then fails with the table's own message.
    return !exists.step() || exists.integer(0) != 0;
}

QString LabCopy::storeName(Database &db)
{
    if (auto *server = dynamic_cast<ServerTables *>(&db.store()))
        return server->settings().serverName();
    return QDir::toNativeSeparators(AppHome::dir());
}

bool LabCopy::targetIsEmpty()
{
    for (const TableSchema *table : tablesInOrder()) {
        if (!tableExists(target, *table))
            continue;
        const int rows = target.countRows(*table, QString(), 1);
        if (rows < 0)
            return false;
        if (rows == 0)
            continue;
        dialogs.error((target.store().isServer() ? kServerNotEmpty : kFolderNotEmpty)
                          .arg(storeName(target), table->tableName()));
        return false;
    }
    return true;
}

bool LabCopy::run()
{
    written = 0;
    if (!targetIsEmpty())
        return false;
    if (!target.store().isServer() && !QDir().mkpath(AppHome::dataDir())) {
        dialogs.error(QStringLiteral("Не удалось создать папку %1.")
                          .arg(QDir::toNativeSeparators(AppHome::dataDir())));
        return false;
    }
    if (!target.ensureTables())
        return false;
    for (const TableSchema *table : tablesInOrder()) {
        const qint64 rows = copyTable(*table);
        if (rows < 0) {
            if (written > 0)
                reportPartialCopy(*table);
            return false;
        }
        if (tableCopied)
            tableCopied(*table, rows);
    }
    return true;
}

qint64 LabCopy::copyTable(const TableSchema &table)
{
    if (!tableExists(source, table))
        return 0; // a home made by an older program lacks the added tables
    qint64 copied = 0;
    bool targetFailed = false;
    std::vector<TableRow> batch;
    batch.reserve(size_t(batchRows));
    const auto flush = [&] {
        if (batch.empty())
            return true;
        if (!target.importRows(table, batch))
            return false;
        copied += qint64(batch.size());
        written += qint64(batch.size());
        batch.clear();
        return true;
    };
    // One read transaction of the source for the whole table: the rows read
    // are those of one moment, however long the writes take. The rows come a
    // page at a time (a server hands over a whole result at once).
    const bool read =
        source.readTables(table, {}, [&](sql::Connection &conn) -> const TableSchema * {
            qint64 after = std::numeric_limits<qint64>::min();
            for (;;) {
                const int rows = readPage(conn, table, after, batchRows, batch);
                if (rows < 0)
                    return &table;
                if (!flush()) {
                    targetFailed = true;
                    return nullptr;
                }
                if (rows < batchRows)
                    return nullptr;
            }
        });
    return read && !targetFailed ? copied : -1;
}

void LabCopy::reportPartialCopy(const TableSchema &failed)
{
    const QString where = storeName(target);
    dialogs.error(kCopyStopped.arg(failed.tableName(), where) + u' ' +
                  (target.store().isServer() ? kRetryOnServer : kRetryInFolder).arg(where));
}

} // namespace kront
