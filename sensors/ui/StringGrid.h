#pragma once

#include "sensors/CellInputRule.h"

#include <QStyledItemDelegate>
#include <functional>

class QTableWidget;

namespace kront
{

// Helpers that make a QTableWidget behave as the program's string grids:
// fixed header cells drawn in the grid itself (row 0, column 0), every
// other cell plain editable text.
namespace StringGrid
{

// Hides the view's own headers and sets the size of the grid.
void setup(QTableWidget *grid, int rows, int columns);
// A fixed cell: not editable, not selectable, drawn like a header.
void setFixedCell(QTableWidget *grid, int row, int column, const QString &text);
// The text of a cell; empty when the cell has no item.
QString cellText(const QTableWidget *grid, int row, int column);
// Sets the text of an editable cell (creating its item when needed).
void setCellText(QTableWidget *grid, int row, int column, const QString &text);
// The height of one row for the grid's font, pixels.
int rowHeight(const QWidget *grid);
// A column width that shows the header text: at least `pixels`.
int columnWidthFor(const QWidget *grid, const QString &header, int pixels);
// Makes the grid exactly as large as its rows and columns.
void fitToContents(QTableWidget *grid);

} // namespace StringGrid

// Cell editor delegate that drops typed characters a cell's rule refuses.
class CellRuleDelegate : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using RuleOf = std::function<CellInputRule(int row, int column)>;
    CellRuleDelegate(RuleOf rule, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    RuleOf ruleOf;
};

} // namespace kront
