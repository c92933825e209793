#pragma once

#include <QTableWidget>
#include <functional>

namespace kront
{

// A grid of texts addressed as cells[col][row], with fixed header rows and
// columns drawn like buttons and never editable. Only grid lines, no
// built-in headers: the fixed cells are ordinary cells of the grid.
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

private:
    QSize fixed; // width: fixed columns, height: fixed rows
    std::function<bool(int, int)> editable;
};

} // namespace kront
