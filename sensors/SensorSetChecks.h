#pragma once

#include "sensors/SensorSet.h"

#include <QString>
#include <array>
#include <optional>

namespace kront
{

// The checks "Принять" runs over the connected-sensors grids, in this
// order. Each gives the warning text to show, or nothing when it passes.

// Rows with a "Тип" need "Сер. №" and "Наименование" and, by kind,
// "Разряд" (1), "Класс", "T min", "T max" (3) or "T min", "T max" (5); a row
// without a type but with other data is incomplete. Cells are trimmed.
std::optional<QString> RequiredFieldCheck(const SensorSet &set);

struct NumericCheckResult {
    std::optional<QString> message;
    std::array<bool, 3> gridHasType{}; // grids 1..2: at least one row with a type
};
// In rows with a type, a filled "Год вып." must be a whole number and the
// filled number columns numbers once their separator is normalised.
NumericCheckResult NumericCheck(const SensorSet &set);

// "Сер. №" up to 8, "Наименование" up to 20, "Изготовитель" and "Владелец"
// up to 40 characters; the first text too long is reported.
std::optional<QString> LengthCheck(const SensorSet &set);

// Whether a typed number cell parses (trimmed, normalised, fixed format).
bool ParseSensorNumber(const QString &cell, double &value);
// Whether a typed year cell parses as a whole number (trimmed).
bool ParseSensorInteger(const QString &cell, int &value);

} // namespace kront
