#include "db/Database.h"

#include "db/FilterCompiler.h"

namespace kront
{

namespace
{

bool run(StoreOperation &file, const QString &sql, const std::vector<sqlite::Value> &params)
{
    sqlite::Statement st(file.connection(), sql);
    st.bindAll(params);
    return st.run();
}

// Deletes the Sensors rows named by PovSensorID1..4 of the bunches passing
// `where` (null and 0 name no sensor), then those bunches. Sensors is
// attached to `file`; BunchesTP is its main table or attached too.
bool deleteBunchesWithSensors(StoreOperation &file, const SqlFilter &where)
{
    const QString bunches = file.tableRef(tables::BunchesTP);
    QStringList ids;
    for (int k = 1; k <= 4; ++k) {
        ids << QStringLiteral("SELECT \"PovSensorID%1\" FROM %2 WHERE %3")
                   .arg(k)
                   .arg(bunches, where.where);
    }
    return run(file,
               QStringLiteral("DELETE FROM %1 WHERE \"ID\" IN (%2)")
                   .arg(file.tableRef(tables::Sensors), ids.join(QStringLiteral(" UNION "))),
               where.params) &&
           run(file, QStringLiteral("DELETE FROM %1 WHERE %2").arg(bunches, where.where),
               where.params);
}

// The Conditions table is attached when it exists: a home made before it has
// no file of it, and then there is nothing of it to delete. A server has
// every table.
bool hasConditions(const TableStore &store)
{
    return store.hasTable(tables::Conditions);
}

QString conditionsDelete(StoreOperation &file, const QString &poverkaIDs)
{
    return QStringLiteral("DELETE FROM %1 WHERE \"PoverkaID\" IN (%2)")
        .arg(file.tableRef(tables::Conditions), poverkaIDs);
}

QString installationsDelete(StoreOperation &file, const QString &poverkaIDs)
{
    return QStringLiteral("DELETE FROM %1 WHERE \"PoverkaID\" IN (%2)")
        .arg(file.tableRef(tables::Installations), poverkaIDs);
}

} // namespace

bool Database::deleteWhere(const TableSchema &schema, const QString &filter)
{
    const auto where = compile(filter, schema);
    if (!where)
        return false;
    auto file = openTable(schema, TableStore::Mode::Write, QString());
    if (!file)
        return false;
    if (!beginWrite(*file, QString()))
        return false;
    if (run(*file,
            QStringLiteral("DELETE FROM %1 WHERE %2").arg(file->tableRef(schema), where->where),
            where->params) &&
        file->commit())
        return true;
    // A failed write leaves the rows as they were, with the table's message.
    file.reset();
    dialogs.error(QString::fromUtf8(schema.openFailureText));
    return false;
}

bool Database::DBDeleteBunchesTP(const QString &filter)
{
    return deleteWhere(tables::BunchesTP, filter);
}

bool Database::DBDeleteResultsTPFilter(const QString &filter)
{
    return deleteWhere(tables::ResultsTP, filter);
}

bool Database::DBDeleteResultsTPByPovID(const QString &filter)
{
    return deleteWhere(tables::ResultsTP, filter);
}

bool Database::DBDeleteEtalSensFilter(const QString &filter)
{
    return deleteWhere(tables::EtalSens, filter);
}

bool Database::DBDeleteSensor(int sensorID)
{
    return deleteWhere(tables::Sensors, QStringLiteral("ID = %1").arg(sensorID));
}

bool Database::DBDeleteEtalSens(int etalID)
{
    auto file =
        openTable(tables::EtalSens, TableStore::Mode::Write, QString(), referenceUseTables());
    if (!file || !beginWrite(*file, QString(), true))
        return false;
    const auto use = referenceInUseElsewhere(*file, etalID);
    if (use && use->isEmpty() &&
        run(*file,
            QStringLiteral("DELETE FROM %1 WHERE \"ID\" = ?1")
                .arg(file->tableRef(tables::EtalSens)),
            {qint64(etalID)}) &&
        file->commit())
        return true;
    file.reset(); // the transaction is over before a message is shown
    dialogs.error(use && !use->isEmpty() ? *use
                                         : QString::fromUtf8(tables::EtalSens.openFailureText));
    return false;
}

// The verifications passing the filter with their ResultsTP, BunchesTP,
// Conditions and Installations rows, all in one transaction over the files: either everything goes
// or nothing does (a table that cannot be opened stops the whole deletion).
bool Database::DBDeletePoverka(const QString &filter)
{
    const auto where = compile(filter, tables::Poverki);
    if (!where)
        return false;
    const bool conditions = hasConditions(*tables);
    const bool installations = hasInstallationsTable();
    std::vector<const TableSchema *> attached{&tables::ResultsTP, &tables::BunchesTP};
    if (conditions)
        attached.push_back(&tables::Conditions);
    if (installations)
        attached.push_back(&tables::Installations);
    auto file = openTable(tables::Poverki, TableStore::Mode::Write, QString(), attached);
    if (!file)
        return false;
    const QString ids = QStringLiteral("SELECT \"ID\" FROM %1 WHERE %2")
                            .arg(file->tableRef(tables::Poverki), where->where);
    return beginWrite(*file, QString()) &&
           (!conditions || run(*file, conditionsDelete(*file, ids), where->params)) &&
           (!installations || run(*file, installationsDelete(*file, ids), where->params)) &&
           run(*file,
               QStringLiteral("DELETE FROM %1 WHERE \"PoverkaID\" IN (%2)")
                   .arg(file->tableRef(tables::ResultsTP), ids),
               where->params) &&
           run(*file,
               QStringLiteral("DELETE FROM %1 WHERE \"PoverkaID\" IN (%2)")
                   .arg(file->tableRef(tables::BunchesTP), ids),
               where->params) &&
           run(*file,
               QStringLiteral("DELETE FROM %1 WHERE %2")
                   .arg(file->tableRef(tables::Poverki), where->where),
               where->params) &&
           file->commit();
}

bool Database::DBDeleteBunchesTPwithSensors(const QString &filter)
{
    const auto where = compile(filter, tables::BunchesTP);
    if (!where)
        return false;
    auto file =
        openTable(tables::BunchesTP, TableStore::Mode::Write, QString(), {&tables::Sensors});
    if (!file)
        return false;
    return beginWrite(*file, QString()) && deleteBunchesWithSensors(*file, *where) &&
           file->commit();
}

// Undoes a half-written start of a verification: its bunches with their
// sensors and its Poverki row (ResultsTP is left alone), in one transaction.
bool Database::DBDeletePartialData(int poverkaID)
{
    {
        auto poverki = openTable(tables::Poverki, TableStore::Mode::Read, QString());
        if (!poverki)
            return false;
        sqlite::Statement exists(poverki->connection(),
                                 QStringLiteral("SELECT 1 FROM %1 WHERE \"ID\" = ?")
                                     .arg(poverki->tableRef(tables::Poverki)));
        exists.bind(1, qint64(poverkaID));
        if (!exists.step())
            return !exists.failed(); // no such verification: nothing to do
    }
    const bool conditions = hasConditions(*tables);
    const bool installations = hasInstallationsTable();
    std::vector<const TableSchema *> attached{&tables::BunchesTP, &tables::Sensors};
    if (conditions)
        attached.push_back(&tables::Conditions);
    if (installations)
        attached.push_back(&tables::Installations);
    auto file = openTable(tables::Poverki, TableStore::Mode::Write, QString(), attached);
    if (!file)
        return false;
    SqlFilter bunches;
    bunches.where = QStringLiteral("\"PoverkaID\" = ?1");
    bunches.params = {qint64(poverkaID)};
    return beginWrite(*file, QString()) && deleteBunchesWithSensors(*file, bunches) &&
           (!conditions ||
            run(*file, conditionsDelete(*file, QStringLiteral("?1")), bunches.params)) &&
           (!installations ||
            run(*file, installationsDelete(*file, QStringLiteral("?1")), bunches.params)) &&
           run(*file,
               QStringLiteral("DELETE FROM %1 WHERE \"ID\" = ?1")
                   .arg(file->tableRef(tables::Poverki)),
               bunches.params) &&
           file->commit();
}

} // namespace kront
