#include "db/Database.h"

#include "db/FieldValue.h"
#include "db/FilterCompiler.h"

#include <algorithm>

namespace kront
{

namespace
{

// Appends a value to the filter's parameters and returns its placeholder.
QString addParam(SqlFilter &f, sqlite::Value v)
{
    f.params.push_back(std::move(v));
    return QStringLiteral("?%1").arg(f.params.size());
}

QString quotedTable(const TableSchema &schema)
{
    return sqlite::quoteIdentifier(schema.tableName());
}

// Validated ORDER BY text for field names (any letter case), each optionally
// followed by DESC; nullopt for an unknown field.
std::optional<QString> orderClause(const TableSchema &schema, const QString &orderBy)
{
    QStringList parts;
    for (const QString &item : orderBy.split(u',', Qt::SkipEmptyParts)) {
        QStringList words = item.simplified().split(u' ');
        bool desc = false;
        if (words.size() == 2 &&
            words[1].compare(QLatin1String("desc"), Qt::CaseInsensitive) == 0) {
            desc = true;
            words.removeLast();
        }
        if (words.size() != 1)
            return std::nullopt;
        const int index = schema.fieldIndex(words[0]);
        QString column;
        if (index >= 0)
            column = sqlite::quoteIdentifier(schema.fieldName(index));
        else if (!schema.hasId() && words[0].compare(QLatin1String("ID"), Qt::CaseInsensitive) == 0)
            column = QStringLiteral("rowid"); // table order of ResultsTP
        else
            return std::nullopt;
        parts << column + (desc ? QStringLiteral(" DESC") : QString());
    }
    if (!schema.hasId())
        parts << QStringLiteral("rowid");
    return parts.join(QStringLiteral(", "));
}

} // namespace

int Database::DBGetRecordsCount(const TableSchema &schema, const QString &filter)
{
    if (&schema == &tables::Documents)
        return -1;
    return countRows(schema, filter, -1);
}

int Database::countRows(const TableSchema &schema, const QString &filter, int limit)
{
    const auto where = compile(filter, schema);
    if (!where)
        return -1;
    auto file = openTable(schema, TableStore::Mode::Read, QString());
    if (!file)
        return -1;
    const QString rows = QStringLiteral("FROM %1 WHERE %2").arg(quotedTable(schema), where->where);
    sqlite::Statement st(
        file->connection(),
        limit < 0 ? QStringLiteral("SELECT COUNT(*) ") + rows
                  : QStringLiteral("SELECT COUNT(*) FROM (SELECT 1 %1 LIMIT %2) AS counted")
                        .arg(rows)
                        .arg(limit));
    st.bindAll(where->params);
    return st.step() ? int(st.integer(0)) : -1;
}

int Database::DBGetMaxID(const TableSchema &schema, const QString &filter)
{
    if (!schema.hasId())
        return -1;
    auto where = compile(filter, schema);
    if (!where)
        return -1;
    auto file = openTable(schema, TableStore::Mode::Read, QString());
    if (!file)
        return -1;
    // The largest ID through the key, not by walking the rows.
    sqlite::Statement maxSt(file->connection(), QStringLiteral("SELECT COALESCE(MAX(\"ID\"), 0) "
                                                               "FROM %1")
                                                    .arg(quotedTable(schema)));
    if (!maxSt.step())
        return -1;
    const qint64 max = maxSt.integer(0);
    if (filter.trimmed().isEmpty())
        return int(max);
    // The caller's filter as a whole (in parentheses), then the key.
    const QString idParam = addParam(*where, max);
    sqlite::Statement st(file->connection(),
                         QStringLiteral("SELECT COUNT(*) FROM %1 WHERE \"ID\" = %2 AND (%3)")
                             .arg(quotedTable(schema), idParam, where->where));
    st.bindAll(where->params);
    return st.step() && st.integer(0) == 1 ? int(max) : -1;
}

int Database::DBGetID(const TableSchema &schema, const QString &filter)
{
    if (&schema == &tables::Documents || !schema.hasId())
        return -1;
    const auto where = compile(filter, schema);
    if (!where)
        return -1;
    auto file = openTable(schema, TableStore::Mode::Read, QString());
    if (!file || filter.trimmed().isEmpty())
        return -1;
    sqlite::Statement st(file->connection(), QStringLiteral("SELECT \"ID\" FROM %1 WHERE %2 "
                                                            "LIMIT 2")
                                                 .arg(quotedTable(schema), where->where));
    st.bindAll(where->params);
    if (!st.step())
        return -1;
    const qint64 id = st.integer(0);
    return st.step() ? -1 : int(id);
}

std::optional<std::vector<QVariantMap>> Database::select(const TableSchema &schema,
                                                         const QString &filter,
                                                         const QString &orderBy, int limit,
                                                         const QString &openFailureText)
{
    QStringList names; // made once: a search may read tens of thousands of rows
    for (int i = 0; i < schema.fieldCount(); ++i)
        names << schema.fieldName(i);
    const auto values = selectFields(schema, names, filter, orderBy, limit, 0, openFailureText);
    if (!values)
        return std::nullopt;
    std::vector<QVariantMap> rows;
    rows.reserve(values->size());
    for (const QVariantList &v : *values) {
        QVariantMap row;
        for (int i = 0; i < names.size(); ++i)
            row.insert(names[i], v[i]);
        rows.push_back(std::move(row));
    }
    return rows;
}

std::optional<std::vector<QVariantList>>
Database::selectFields(const TableSchema &schema, const QStringList &fieldNames,
                       const QString &filter, const QString &orderBy, int limit, int offset,
                       const QString &openFailureText, ValueForm form)
{
    std::vector<int> indexes;
    QStringList columns;
    for (const QString &name : fieldNames) {
        const int index = schema.fieldIndex(name);
        if (index < 0)
            return std::nullopt;
        indexes.push_back(index);
        columns << sqlite::quoteIdentifier(schema.fieldName(index));
    }
    const auto where = compile(filter, schema);
    if (!where)
        return std::nullopt;
    const auto order = orderClause(schema, orderBy);
    if (!order)
        return std::nullopt;
    auto file = openTable(schema, TableStore::Mode::Read, openFailureText);
    if (!file)
        return std::nullopt;
    QString sql = QStringLiteral("SELECT %1 FROM %2 WHERE %3 ORDER BY %4")
                      .arg(columns.join(u','), quotedTable(schema), where->where, *order);
    if (limit >= 0 || offset > 0)
        sql += QStringLiteral(" LIMIT %1 OFFSET %2").arg(limit).arg(std::max(offset, 0));
    sqlite::Statement st(file->connection(), sql);
    st.bindAll(where->params);
    std::vector<QVariantList> rows;
    while (st.step()) {
        QVariantList row;
        row.reserve(qsizetype(indexes.size()));
        for (int i = 0; i < int(indexes.size()); ++i) {
            if (form == ValueForm::AsStored)
                row.append(storedAsIs(st.value(i)));
            else
                row.append(fromStoredValue(schema.fields[indexes[i]], st.value(i)));
        }
        rows.push_back(std::move(row));
    }
    if (st.failed())
        return std::nullopt;
    return rows;
}

int Database::updateWhere(const TableSchema &schema, const QString &filter,
                          const QVariantMap &values, const QString &openFailureText)
{
    if (values.isEmpty())
        return -1;
    auto where = compile(filter, schema);
    if (!where)
        return -1;
    auto file = openTable(schema, TableStore::Mode::Write, openFailureText);
    if (!file)
        return -1;
    QStringList sets;
    for (auto it = values.begin(); it != values.end(); ++it) {
        const int index = schema.fieldIndex(it.key());
        if (index < 0 || schema.fields[index].type == FieldType::AutoInc)
            return -1;
        const auto v = toStoredValue(schema.fields[index], it.value());
        if (!v)
            return -1;
        sets << sqlite::quoteIdentifier(schema.fieldName(index)) + QStringLiteral(" = ") +
                    addParam(*where, *v);
    }
    if (!beginWrite(*file, openFailureText))
        return -1;
    sqlite::Statement st(
        file->connection(),
        QStringLiteral("UPDATE %1 SET %2 WHERE %3")
            .arg(quotedTable(schema), sets.join(QStringLiteral(", ")), where->where));
    st.bindAll(where->params);
    if (!st.run())
        return -1;
    const qint64 changed = file->connection().changes();
    return file->commit() ? int(changed) : -1;
}

} // namespace kront
