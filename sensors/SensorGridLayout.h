#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace kront
{

// The data columns the connected-sensors grids can hold. Which of them a
// grid shows, and in what order, depends on the sensor kind.
enum class SensorColumn {
    Serial,      // "Сер. №"
    Type,        // "Тип" / "НСХ" (chosen in a drop-down)
    Name,        // "Наименование"
    Year,        // "Год вып."
    Class,       // "Класс" (kind 3)
    Rank,        // "Разряд" (kind 1)
    Producer,    // "Изготовитель"
    Owner,       // "Владелец"
    TMin,        // "T min", °C
    TMax,        // "T max", °C
    Diameter,    // "Диам. эл-в"
    Mass,        // "Масса"
    LengthPlus,  // "Длина ТЭ +"
    LengthMinus, // "Длина ТЭ -"
    DiameterTE,  // "Диам. ТЭ"
    LengthTE,    // "Длина ТЭ"
    RLeads,      // "R выв"
};

struct SensorColumnInfo {
    SensorColumn id;
    QString header;
    int width;     // pixels
    int maxLength; // characters; 0 for no limit
};

// The layout of the two grids of the connected-sensors editor for one
// sensor kind. Grid row 0 and column 0 are headers; data rows are 1..N
// (row 1 is the reference row "ОБР" or "E"), data columns 1..M.
struct SensorGridLayout {
    int kind = 0;
    QString caption;                       // window caption
    QString keyword;                       // first line of a sensor set file
    int gridCount;                         // 2 for thermocouple kinds, 1 for kind 5
    QStringList rows;                      // labels of the data rows
    std::vector<SensorColumnInfo> columns; // data columns 1..M

    int rowCount() const { return int(rows.size()) + 1; }       // with the header row
    int columnCount() const { return int(columns.size()) + 1; } // with the label column
    int dataRowCount() const { return int(rows.size()); }
    int dataColumnCount() const { return int(columns.size()); }
    // Grid column of a data column; -1 when the kind does not show it.
    int columnOf(SensorColumn id) const;
    // Data column at a grid column 1..M.
    const SensorColumnInfo *column(int gridColumn) const;
    // Header of column 0 for grid 1 or 2: "Канал 1", "Канал 2" ("Канал" for kind 5).
    QString cornerHeader(int grid) const;
    // Label of grid row 1..N ("ОБР", "E", "1", ...).
    QString rowLabel(int gridRow) const;
};

// The layout of kind 1, 2, 3 or 5; nullptr for any other kind.
const SensorGridLayout *SensorLayoutForKind(int kind);

// The choices of the "Тип" ("НСХ") drop-down for a grid row (1 = the
// reference row); the first choice is always the empty text.
QStringList SensorTypeChoices(int kind, int gridRow);

// Number columns (typed numbers with a decimal separator and exponent).
bool IsSensorFloatColumn(SensorColumn id);

// Width of the label column, pixels.
constexpr int kSensorLabelColumnWidth = 45;

} // namespace kront
