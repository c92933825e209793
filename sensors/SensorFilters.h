#pragma once

#include "db/TableSchema.h"
#include "sensors/SensorSet.h"

#include <QString>

namespace kront
{

// Filters over the sensor tables built from what the operator typed. Every
// text is quoted with its single quotes doubled; an empty year becomes a
// null test, so a filter is always well formed.

// "ProdYear = y" for a whole number, "ProdYear IS NULL" for an empty text.
QString ProdYearCondition(const QString &year);

// A number as the filter dialect writes it (digits, "." and a sign; no
// exponent), reading back to the same double.
QString FilterNumber(double value);

// "SerialNum = 's' and ProdYear = y and TypeName = 't' and NSHType = 'h'":
// the identity of a register row.
QString EtalSensIdentityFilter(const QString &serial, const QString &year, const QString &name,
                               const QString &nshType);

// The lookup of a stored sensor from a grid row: serial number, year and a
// name pattern, each when filled; empty when the row holds none of them.
QString SensorLookupFilter(const SensorSet &set, int grid, int row);
// EtalSens for the reference row 1, Sensors for the others.
const TableSchema &SensorLookupTable(int row);

// The match of grid row 1 against the register: serial, type, name, class
// and the two limits, plus year, producer and owner when filled.
QString ReferenceCheckFilter(const SensorSet &set, int grid);

} // namespace kront
