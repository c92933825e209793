#include "db/Database.h"

#include "db/FieldValue.h"

namespace kront
{

namespace
{

const QString kEtalUpdateCancelled =
    QStringLiteral("Произошла ошибка при обновлении данных эталонных датчиков! Операция отменена.");
const QString kEtalUpdateNotDone = QStringLiteral(
    "Произошла ошибка при обновлении данных эталонных датчиков! Операция не выполнена.");

} // namespace

Database::EditResult Database::editRow(StoreOperation &file, const FieldValues &key,
                                       const FieldValues &values, const EditCheck &check)
{
    const TableSchema &schema = file.schema();
    auto &conn = file.connection();
    if (!file.beginWriteOfMainTable())
        return EditResult::NotEditable;
    if (check) {
        const EditResult checked = check(file);
        if (checked != EditResult::Updated)
            return checked;
    }
    QStringList conditions;
    std::vector<sqlite::Value> keyValues;
    for (const auto &[index, value] : key) {
        const auto v = toStoredValue(schema.fields[index], value);
        if (!v)
            return EditResult::NotFound; // no row can hold such a key
        conditions << sqlite::quoteIdentifier(schema.fieldName(index)) + QStringLiteral(" = ?");
        keyValues.push_back(*v);
    }
    const QString table = sqlite::quoteIdentifier(schema.tableName());
    const QString where = conditions.join(QStringLiteral(" AND "));
    sqlite::Statement find(conn,
                           QStringLiteral("SELECT 1 FROM %1 WHERE %2 LIMIT 1").arg(table, where));
    find.bindAll(keyValues);
    if (!find.step())
        return find.failed() ? EditResult::NotEditable : EditResult::NotFound;
    if (values.empty())
        return EditResult::Updated;
    QStringList sets;
    std::vector<sqlite::Value> bound;
    for (const auto &[index, value] : values) {
        const auto v = toStoredValue(schema.fields[index], value);
        if (!v)
            return EditResult::Unassignable;
        sets << sqlite::quoteIdentifier(schema.fieldName(index)) + QStringLiteral(" = ?");
        bound.push_back(*v);
    }
    bound.insert(bound.end(), keyValues.begin(), keyValues.end());
    sqlite::Statement update(conn, QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                                       .arg(table, sets.join(QStringLiteral(", ")), where));
    update.bindAll(bound);
    if (!update.run() || !file.commit())
        return EditResult::PostFailed;
    return EditResult::Updated;
}

bool Database::updateById(const TableSchema &schema, int id, const FieldValues &values)
{
    auto file = openTable(schema, TableStore::Mode::Write, QString());
    if (!file)
        return false;
    const EditResult result = editRow(*file, {{0, id}}, values);
    file.reset(); // the transaction is over before a message is shown
    return finishEdit(schema, result);
}

// Failed edits and posts are cancelled without a message (the caller sees
// false); a file locked by another process counts as not opened.
bool Database::finishEdit(const TableSchema &schema, EditResult result)
{
    if (result == EditResult::NotEditable)
        dialogs.error(QString::fromUtf8(schema.openFailureText));
    return result == EditResult::Updated;
}

bool Database::DBPoverkaUpdateState(int poverkaID, const QString &state)
{
    const int field = tables::Poverki.fieldIndex(u"CurrPovState");
    return updateById(tables::Poverki, poverkaID, {{field, state}});
}

bool Database::DBPoverkaTPSetStepCount(int poverkaID, int count)
{
    const int field = tables::Poverki.fieldIndex(u"TempPointsCount");
    return updateById(tables::Poverki, poverkaID, {{field, count}});
}

bool Database::DBBunchTPSetTerminated(int bunchID, int pointNum)
{
    const TableSchema &s = tables::BunchesTP;
    return updateById(
        s, bunchID,
        {{s.fieldIndex(u"PovTerminated"), true}, {s.fieldIndex(u"PovTermMeasPointNum"), pointNum}});
}

bool Database::DBEtalSensUpdateAllByID(int etalID, const TableRow &row)
{
    const TableSchema &s = tables::EtalSens;
    auto file = openTable(s, TableStore::Mode::Write, QString(), referenceUseTables());
    if (!file)
        return false;
    FieldValues assigned;
    for (int i = 1; i < s.fieldCount(); ++i)
        assigned.emplace_back(i, row.values().value(i));
    EditResult result = EditResult::Unassignable;
    QString refusal;
    const auto notInUse = [&](StoreOperation &op) {
        const auto use = referenceInUseElsewhere(op, etalID);
        if (!use)
            return EditResult::PostFailed;
        refusal = *use;
        return refusal.isEmpty() ? EditResult::Updated : EditResult::Refused;
    };
    if (&row.schema() == &s && row.valid()) {
        result = editRow(*file, {{0, etalID}}, assigned, notInUse);
    } else {
        // A row of another table cannot be assigned; a missing row is
        // still no error.
        result = editRow(*file, {{0, etalID}}, {});
        if (result == EditResult::Updated)
            result = EditResult::Unassignable;
    }
    file.reset(); // the transaction is over before a message is shown
    switch (result) {
    case EditResult::Updated: return true;
    case EditResult::NotFound: return false;
    case EditResult::NotEditable: dialogs.error(kEtalUpdateNotDone); return false;
    case EditResult::Refused: dialogs.error(refusal); return false;
    default: dialogs.error(kEtalUpdateCancelled); return false;
    }
}

bool Database::DBUpdateBunchesTPResults(int bunchID, int poverkaID,
                                        const std::array<int, 5> &results)
{
    const TableSchema &s = tables::BunchesTP;
    auto file = openTable(s, TableStore::Mode::Write, QString());
    if (!file)
        return false;
    FieldValues values;
    for (int k = 1; k <= 4; ++k) {
        const int c = results[k];
        const QString text = c < 0     ? QString()
                             : c == 10 ? QStringLiteral("Бр.")
                                       : QString::number(c);
        values.emplace_back(s.fieldIndex(QStringLiteral("ResultInp%1").arg(k)), text);
    }
    const EditResult result =
        editRow(*file, {{0, bunchID}, {s.fieldIndex(u"PoverkaID"), poverkaID}}, values);
    file.reset(); // the transaction is over before a message is shown
    return finishEdit(s, result);
}

} // namespace kront
