#pragma once

#include "sensors/SensorSet.h"

#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <optional>
#include <vector>

namespace kront
{

class Database;

// The chooser of stored sensors ("Найденные датчики"): its columns for the
// register of reference thermocouples (EtalSens) and for the verified
// sensors (Sensors), and its rows.
struct FoundSensorsColumn {
    SensorColumn id; // the editor column it fills
    QString header;
    QString field; // table field shown
    int width;     // pixels
};

// 9 columns for EtalSens ("Сер. №" .. "T max"), 11 for Sensors (.. "Масса").
const std::vector<FoundSensorsColumn> &FoundSensorsColumns(bool reference);

// A table value as text: numbers with the decimal comma, null as empty.
QString FoundSensorsCellText(const QVariant &value);

// The chooser rows of table rows; the Sensors "Тип" shows the display name
// of the stored Latin NSH code.
std::vector<QStringList> FoundSensorsRows(const std::vector<QVariantMap> &rows, bool reference);

// The rows of EtalSens (reference) or Sensors passing the filter; nullopt
// when the table could not be read (its message was shown).
std::optional<std::vector<QStringList>> FindSensors(Database &db, const QString &filter,
                                                    bool reference);

// "Выбрать": the chosen sensor's cells go into the editor row column by
// column meaning (for kind 3 exactly columns 1 onwards); "Класс" fills
// "Разряд" in the kind 1 grid; cells the kind has no column for are dropped.
void ApplyFoundSensor(SensorSet &set, int grid, int row, const QStringList &cells);

} // namespace kront
