#pragma once

#include "db/TableSchema.h"

#include <QStringList>
#include <QVariant>
#include <QVariantList>
#include <QVariantMap>

#include <initializer_list>
#include <utility>

namespace kront
{

// One row for an insert, built by field name: every field starts null, set()
// gives a field its value. A name the table does not have is kept in
// unknownFields(); the store refuses to insert such a row. The value of an
// auto-increment ID is never stored: the store assigns it.
class TableRow
{
public:
    using Field = std::pair<const char *, QVariant>;

    explicit TableRow(const TableSchema &schema);
    TableRow(const TableSchema &schema, std::initializer_list<Field> fields);

    // Sets the field named so (letters in any case).
    TableRow &set(QStringView fieldName, const QVariant &value);
    TableRow &set(QLatin1String fieldName, const QVariant &value);
    TableRow &set(const char *fieldName, const QVariant &value)
    {
        return set(QLatin1String(fieldName), value);
    }
    // Sets every field of `fields` (field name -> value), as a row read by a
    // select gives them.
    TableRow &setFields(const QVariantMap &fields);
    // The value of that field; null for a field not set or unknown.
    QVariant value(QStringView fieldName) const;

    const TableSchema &schema() const { return *table; }
    // The values in field order, one for each field.
    const QVariantList &values() const { return fieldValues; }
    const QStringList &unknownFields() const { return unknown; }
    bool valid() const { return unknown.isEmpty(); }

private:
    const TableSchema *table;
    QVariantList fieldValues;
    QStringList unknown;
};

} // namespace kront
