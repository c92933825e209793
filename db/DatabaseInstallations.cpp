#include "db/Database.h"

#include "db/FieldValue.h"

#include <limits>

namespace kront
{

namespace
{

// The same test as the list of unfinished verifications: no finish time and
// not at a completed calculation.
const char *const kUnfinished = "p.\"Finished\" IS NULL AND p.\"CurrPovState\" <> "
                                "'Calculation;0;1;1;' AND p.\"CurrPovState\" <> "
                                "'Calculation;1;1;1;'";

} // namespace

bool Database::hasInstallationsTable() const
{
    return tables->hasTable(tables::Installations);
}

int Database::startVerification(const TableRow &poverkiRow)
{
    const QString failureText = QString::fromUtf8(tables::Poverki.insertFailureText);
    const TableRow mark(tables::Installations, {{"PoverkaID", 0}, {"Installation", QString()}});
    auto file =
        openTable(tables::Poverki, TableStore::Mode::Write, failureText, {&tables::Installations});
    if (!file || !beginWrite(*file, failureText))
        return 0;
    const auto failed = [&] {
        file.reset(); // rolled back before the message is shown
        dialogs.error(failureText);
        return 0;
    };
    if (&poverkiRow.schema() != &tables::Poverki || !poverkiRow.valid())
        return failed();
    QStringList columns, marks;
    std::vector<sql::Value> values;
    for (int i = 1; i < tables::Poverki.fieldCount(); ++i) {
        const auto v = toStoredValue(tables::Poverki.fields[i], poverkiRow.values().value(i));
        if (!v)
            return failed();
        columns << sql::quoteIdentifier(tables::Poverki.fieldName(i));
        marks << QStringLiteral("?");
        values.push_back(*v);
    }
    sql::Statement insert(
        file->connection(),
        QStringLiteral("INSERT INTO %1 (%2) VALUES (%3) RETURNING \"ID\"")
            .arg(file->tableRef(tables::Poverki), columns.join(u','), marks.join(u',')));
    insert.bindAll(values);
    if (!insert.step())
        return failed();
    const int id = int(insert.integer(0));
    if (!insert.run() || id <= 0)
        return failed();
    sql::Statement own(file->connection(),
                       QStringLiteral("INSERT INTO %1 (\"PoverkaID\", \"Installation\") "
                                      "VALUES (?1, ?2)")
                           .arg(file->tableRef(tables::Installations)));
    own.bind(1, qint64(id));
    own.bind(2, installationName);
    if (!own.run() || !file->commit())
        return failed();
    lastInserted = id;
    return id;
}

std::optional<std::map<int, QString>> Database::installationsOf(const std::vector<int> &poverkaIDs)
{
    std::map<int, QString> out;
    if (poverkaIDs.empty() || !hasInstallationsTable())
        return out;
    QStringList ids;
    for (int id : poverkaIDs)
        ids << QString::number(id);
    const bool read =
        readTables(tables::Installations, {}, [&](sql::Connection &conn) -> const TableSchema * {
            sql::Statement st(conn, QStringLiteral("SELECT \"PoverkaID\", \"Installation\" FROM "
                                                   "\"Installations\" WHERE \"PoverkaID\" IN (%1)")
                                        .arg(ids.join(u',')));
            while (st.step())
                out[int(st.integer(0))] = st.text(1);
            return st.failed() ? &tables::Installations : nullptr;
        });
    if (!read)
        return std::nullopt;
    return out;
}

std::vector<const TableSchema *> Database::referenceUseTables() const
{
    if (!hasInstallationsTable())
        return {};
    return {&tables::BunchesTP, &tables::Poverki, &tables::Installations};
}

std::optional<QString> Database::referenceInUseElsewhere(StoreOperation &file, int etalID)
{
    if (!hasInstallationsTable())
        return QString();
    auto &conn = file.connection();
    // No bunch naming the reference can be written by another installation
    // until this transaction ends: what the check sees stays true.
    if (tables->isServer() &&
        !conn.exec(
            QStringLiteral("LOCK TABLE %1 IN SHARE MODE").arg(file.tableRef(tables::BunchesTP))))
        return std::nullopt;
    // Most labs have one installation: then no other has a verification, and
    // the bunches and verifications need not be read at all.
    sql::Statement others(conn, QStringLiteral("SELECT 1 FROM %1 WHERE \"Installation\" < ?1 OR "
                                               "\"Installation\" > ?1 LIMIT 1")
                                    .arg(file.tableRef(tables::Installations)));
    others.bind(1, installationName);
    if (!others.step())
        return others.failed() ? std::nullopt : std::optional<QString>(QString());
    // From the few unfinished verifications to their bunches: a reference of
    // twenty years served in thousands of finished ones.
    sql::Statement use(
        conn, QStringLiteral("SELECT p.\"ID\", i.\"Installation\" FROM %1 p "
                             "JOIN %2 i ON i.\"PoverkaID\" = p.\"ID\" "
                             "WHERE %3 AND i.\"Installation\" <> ?2 AND EXISTS (SELECT 1 FROM %4 b "
                             "WHERE b.\"PoverkaID\" = p.\"ID\" AND b.\"EtalSensorID\" = ?1) "
                             "ORDER BY p.\"ID\" LIMIT 1")
                  .arg(file.tableRef(tables::Poverki), file.tableRef(tables::Installations),
                       QLatin1String(kUnfinished), file.tableRef(tables::BunchesTP)));
    use.bind(1, qint64(etalID));
    use.bind(2, installationName);
    if (!use.step())
        return use.failed() ? std::nullopt : std::optional<QString>(QString());
    const int poverkaID = int(use.integer(0));
    const QString installation = use.text(1);
    sql::Statement serial(conn, QStringLiteral("SELECT \"SerialNum\" FROM %1 WHERE \"ID\" = ?1")
                                    .arg(file.tableRef(tables::EtalSens)));
    serial.bind(1, qint64(etalID));
    QString serialNum;
    if (serial.step())
        serialNum = serial.text(0);
    else if (serial.failed())
        return std::nullopt;
    return QStringLiteral("Образцовый преобразователь № %1 используется в незавершённой поверке "
                          "№ %2 на установке «%3». Изменить его можно после завершения этой "
                          "поверки.")
        .arg(serialNum, QString::number(poverkaID), installation);
}

std::optional<int> Database::takeDocumentNumber(const QString &counter, int firstNumber)
{
    const QString failureText = QString::fromUtf8(tables::DocCounters.openFailureText);
    auto file = openTable(tables::DocCounters, TableStore::Mode::Write, failureText);
    if (!file || !beginWrite(*file, failureText))
        return std::nullopt;
    auto &conn = file->connection();
    const QString table = file->tableRef(tables::DocCounters);
    const QString forUpdate = tables->isServer() ? QStringLiteral(" FOR UPDATE") : QString();
    // The counter's value, its row locked until the transaction ends.
    const auto current = [&]() -> std::optional<std::optional<qint64>> {
        sql::Statement st(
            conn,
            QStringLiteral("SELECT \"Value\" FROM %1 WHERE \"Name\" = ?1%2").arg(table, forUpdate));
        st.bind(1, counter);
        if (st.step())
            return std::optional<qint64>(st.isNull(0) ? qint64(firstNumber) : st.integer(0));
        if (st.failed())
            return std::nullopt;
        return std::optional<qint64>();
    };
    // On a server the installations take their numbers one at a time: the
    // table lock, taken first, also keeps two of them from both adding a
    // counter that is not there yet (a row lock taken after reading would let
    // them deadlock).
    if (tables->isServer() &&
        !conn.exec(QStringLiteral("LOCK TABLE %1 IN SHARE ROW EXCLUSIVE MODE").arg(table))) {
        file.reset();
        dialogs.error(failureText);
        return std::nullopt;
    }
    const auto value = current();
    const auto failed = [&]() -> std::optional<int> {
        file.reset();
        dialogs.error(failureText);
        return std::nullopt;
    };
    if (!value)
        return failed();
    const bool present = value->has_value();
    const qint64 number = present ? **value : qint64(firstNumber);
    if (number < 0 || number >= std::numeric_limits<int>::max()) {
        file.reset();
        dialogs.error(QStringLiteral("Счётчик номеров документов «%1» на сервере исчерпан или "
                                     "неверен (%2)! Номер не выдан.")
                          .arg(counter)
                          .arg(number));
        return std::nullopt;
    }
    sql::Statement write(conn, present ? QStringLiteral("UPDATE %1 SET \"Value\" = ?2 WHERE "
                                                        "\"Name\" = ?1")
                                             .arg(table)
                                       : QStringLiteral("INSERT INTO %1 (\"Name\", \"Value\") "
                                                        "VALUES (?1, ?2)")
                                             .arg(table));
    write.bind(1, counter);
    write.bind(2, number + 1);
    if (!write.run() || !file->commit())
        return failed();
    return int(number);
}

bool Database::documentNumberUsed(const QString &counter, int number)
{
    const QString failureText = QString::fromUtf8(tables::DocCounters.openFailureText);
    auto file = openTable(tables::DocCounters, TableStore::Mode::Write, failureText);
    if (!file || !beginWrite(*file, failureText))
        return false;
    const qint64 next = number < std::numeric_limits<int>::max() ? qint64(number) + 1 : number;
    sql::Statement st(file->connection(),
                      QStringLiteral("UPDATE %1 SET \"Value\" = ?2 WHERE \"Name\" = ?1 AND "
                                     "(\"Value\" IS NULL OR \"Value\" < ?2)")
                          .arg(file->tableRef(tables::DocCounters)));
    st.bind(1, counter);
    st.bind(2, next);
    if (st.run() && file->commit())
        return true;
    file.reset();
    dialogs.error(failureText);
    return false;
}

} // namespace kront
