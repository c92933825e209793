#include "db/TableRow.h"

namespace kront
{

TableRow::TableRow(const TableSchema &schema) : table(&schema), fieldValues(schema.fieldCount()) {}

TableRow::TableRow(const TableSchema &schema, std::initializer_list<Field> fields)
    : TableRow(schema)
{
    for (const Field &f : fields)
        set(f.first, f.second);
}

TableRow &TableRow::set(QStringView fieldName, const QVariant &value)
{
    const int index = table->fieldIndex(fieldName);
    if (index < 0)
        unknown << fieldName.toString();
    else
        fieldValues[index] = value;
    return *this;
}

TableRow &TableRow::set(QLatin1String fieldName, const QVariant &value)
{
    int index = table->fieldCount() - 1;
    while (index >= 0 && fieldName.compare(QLatin1String(table->fields[std::size_t(index)].name),
                                           Qt::CaseInsensitive) != 0)
        --index;
    if (index < 0)
        unknown << QString(fieldName);
    else
        fieldValues[index] = value;
    return *this;
}

TableRow &TableRow::setFields(const QVariantMap &fields)
{
    for (auto it = fields.begin(); it != fields.end(); ++it)
        set(it.key(), it.value());
    return *this;
}

QVariant TableRow::value(QStringView fieldName) const
{
    const int index = table->fieldIndex(fieldName);
    return index < 0 ? QVariant() : fieldValues[index];
}

} // namespace kront
