#pragma once

#include <QTableWidget>
#include <functional>

namespace kront
{

// The program's string grid: a grid of texts with fixed header cells drawn
// like buttons in the grid itself (no built-in headers, only grid lines).
//
// As a widget it is addressed as cells[col][row], the way the verification
// windows name their grids, with a number of fixed header rows and columns
// that are never editable. The static helpers give any QTableWidget the same
// look and are addressed (row, column) as Qt addresses a table.
class StringGrid : public QTableWidget
{
    Q_OBJECT
public:
    StringGrid(const QString &name, int colCount, int rowCount, int fixedCols, int fixedRows,
               QWidget *parent = nullptr);

    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString &text);
    void clearDataCells();

    int fixedCols() const { return fixed.width(); }
    int fixedRows() const { return fixed.height(); }
    bool isFixed(int col, int row) const { return col < fixedCols() || row < fixedRows(); }

    void setDefaultColWidth(int width);
    void setColWidth(int col, int width);
    // Makes the widget exactly as large as its cells (the grid shows all of them).
    void fitToCells();

    // Which data cells the operator may edit; none unless set.
    void setEditableRule(std::function<bool(int col, int row)> rule);
    bool isCellEditable(int col, int row) const;
    // Applies the rule again (after the texts it looks at have changed).
    void refreshFlags();

    // Hides the view's own headers and sets the size of the grid.
    static void setup(QTableWidget *grid, int rows, int columns);
    // A fixed cell: not editable, not selectable, drawn like a header.
    static void setFixedCell(QTableWidget *grid, int row, int column, const QString &text);
    // The text of a cell; empty when the cell has no item.
    static QString cellText(const QTableWidget *grid, int row, int column);
    // Sets the text of a cell (creating its item when needed).
    static void setCellText(QTableWidget *grid, int row, int column, const QString &text);
    // The height of one row for the grid's font, pixels.
    static int textRowHeight(const QWidget *grid);
    // A column width that shows the header text: at least `pixels`.
    static int columnWidthFor(const QWidget *grid, const QString &header, int pixels);
    // Makes the grid exactly as large as its rows and columns.
    static void fitToContents(QTableWidget *grid);

private:
    QSize fixed; // width: fixed columns, height: fixed rows
    std::function<bool(int, int)> editable;
};

} // namespace kront
