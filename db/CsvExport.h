#pragma once

#include "db/TableSchema.h"

#include <QByteArray>
#include <QVariantMap>

#include <vector>

namespace kront
{

// Rows of a table as CSV for spreadsheets and scripts: UTF-8 with a byte
// order mark, ";" between fields, CR LF line ends, a header line of the
// column names in table order. Text is quoted with '"' (inner quotes
// doubled) when it holds ";", '"' or a line break; numbers in their
// shortest exact form with a decimal comma; booleans 1/0; date-times
// "dd.mm.yyyy hh:mm:ss"; null as an empty field.
QByteArray tableCsv(const TableSchema &schema, const std::vector<QVariantMap> &rows);

// One value in the form above.
QString csvField(const FieldDef &field, const QVariant &value);

} // namespace kront
