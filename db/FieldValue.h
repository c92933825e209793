#pragma once

#include "db/Sqlite.h"
#include "db/TableSchema.h"

#include <QDateTime>
#include <QVariant>

#include <optional>

namespace kront
{

// Text form of date-times in the table files: local time.
inline constexpr const char *kStoredDateTimeFormat = "yyyy-MM-dd HH:mm:ss.zzz";

QString storedDateTimeText(const QDateTime &dt);
// Reads a stored date-time text (also without milliseconds or seconds).
QDateTime dateTimeFromStored(const QString &text);
// The date and time a stored date-time text names, as written: no trip
// through the local time zone, which costs a system call per value. An
// invalid date for an unreadable text.
std::pair<QDate, QTime> storedDateAndTime(const QString &text);

// Converts a value given by the program into what the store keeps for the
// field: integers in range, doubles, 0/1, text cut to the field's size,
// date-times as local text. A null or invalid QVariant is null. Returns
// nullopt when the value cannot be assigned to the field (for example the
// text "abc" to a float field, or 70000 to a small integer).
std::optional<sqlite::Value> toStoredValue(const FieldDef &field, const QVariant &value);

// The value of a stored column as the program sees it: int, double, bool,
// QString or QDateTime; an invalid QVariant for null.
QVariant fromStoredValue(const FieldDef &field, const sqlite::Value &stored);

// A stored value as it stands (numbers as numbers, texts, date-times in their
// stored text, as texts; null as an invalid QVariant): what lists show and
// what the store takes back unchanged.
QVariant storedAsIs(const sqlite::Value &stored);

// Reads the number in a text the way the filter compares texts with
// numbers: optional sign, digits with "." or "," as separator, optional
// exponent, blanks around allowed. nullopt when the text is no number.
std::optional<double> numberInText(QStringView text);

} // namespace kront
