#pragma once

#include "sensors/SensorGridLayout.h"

#include <QString>
#include <QStringList>
#include <array>
#include <vector>

namespace kront
{

// The texts of one connected-sensors grid, indexed as the grid is: row 0
// and column 0 are the headers (kept empty here), data rows and columns
// start at 1.
class SensorGridTexts
{
public:
    SensorGridTexts() = default;
    SensorGridTexts(int rowCount, int columnCount);

    int rowCount() const { return int(cells.size()); }
    int columnCount() const { return cells.empty() ? 0 : int(cells.front().size()); }

    // Empty text outside the grid.
    QString cell(int row, int column) const;
    // Ignored outside the grid.
    void setCell(int row, int column, const QString &text);
    // Columns 0..last of a row (column 0 is empty); empty outside the grid.
    QStringList row(int row) const;
    void setRow(int row, const QStringList &texts);
    void clear();

private:
    std::vector<QStringList> cells;
};

// What the operator typed into the editor for one sensor kind: one grid per
// channel (grid 2 stays empty for kind 5).
class SensorSet
{
public:
    // An empty set for kind 1, 2, 3 or 5 (any other kind gives kind 3).
    explicit SensorSet(int kind = 3);

    int kind() const { return layoutKind; }
    const SensorGridLayout &layout() const { return *gridLayout; }

    // Grid 1 or 2.
    SensorGridTexts &grid(int number) { return grids[number == 2 ? 1 : 0]; }
    const SensorGridTexts &grid(int number) const { return grids[number == 2 ? 1 : 0]; }

    // The text of a data column in a grid row; empty when the kind has no
    // such column.
    QString text(int grid, int row, SensorColumn column) const;
    void setText(int grid, int row, SensorColumn column, const QString &text);
    // Same, trimmed of surrounding blanks.
    QString trimmed(int grid, int row, SensorColumn column) const;

    // True when the row's "Тип" cell holds something besides blanks.
    bool rowHasType(int grid, int row) const;

private:
    int layoutKind;
    const SensorGridLayout *gridLayout;
    std::array<SensorGridTexts, 2> grids;
};

// Row actions on the cells of one grid row (index 0 is the label column).
// Copy: the texts of columns 1..last, each followed by "|".
QString CopyRowText(const QStringList &rowCells);
// Paste: while the buffer holds a "|" and columns remain, the next column
// from 1 becomes the text before the first "|".
void PasteRowText(QStringList &rowCells, const QString &buffer);
// Clear: columns 1..last become empty.
void ClearRowText(QStringList &rowCells);

} // namespace kront
