#include "common/ui/StringGrid.h"

#include <QHeaderView>

#include <algorithm>

namespace kront
{

namespace
{
constexpr int kDefaultRowHeight = 22; // pixels
}

StringGrid::StringGrid(const QString &name, int colCount, int rowCount, int fixedCols,
                       int fixedRows, QWidget *parent)
    : QTableWidget(rowCount, colCount, parent), fixed(fixedCols, fixedRows)
{
    setObjectName(name);
    horizontalHeader()->hide();
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(kDefaultRowHeight);
    verticalHeader()->setMinimumSectionSize(kDefaultRowHeight);
    setShowGrid(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::AllEditTriggers);
    setWordWrap(false);
    for (int r = 0; r < rowCount; ++r)
        for (int c = 0; c < colCount; ++c)
            setItem(r, c, new QTableWidgetItem);
    refreshFlags();
}

QString StringGrid::cell(int col, int row) const
{
    const QTableWidgetItem *it = item(row, col);
    return it ? it->text() : QString();
}

void StringGrid::setCell(int col, int row, const QString &text)
{
    if (QTableWidgetItem *it = item(row, col))
        it->setText(text);
}

void StringGrid::clearDataCells()
{
    for (int r = fixedRows(); r < rowCount(); ++r)
        for (int c = fixedCols(); c < columnCount(); ++c)
            setCell(c, r, QString());
}

void StringGrid::setDefaultColWidth(int width)
{
    horizontalHeader()->setDefaultSectionSize(width);
    for (int c = 0; c < columnCount(); ++c)
        setColumnWidth(c, width);
}

void StringGrid::setColWidth(int col, int width)
{
    setColumnWidth(col, width);
}

void StringGrid::fitToCells()
{
    fitToContents(this);
    setFixedSize(width() + 1, height() + 1);
}

void StringGrid::setEditableRule(std::function<bool(int, int)> rule)
{
    editable = std::move(rule);
    refreshFlags();
}

bool StringGrid::isCellEditable(int col, int row) const
{
    return !isFixed(col, row) && editable && editable(col, row);
}

void StringGrid::refreshFlags()
{
    const QPalette pal = palette();
    for (int r = 0; r < rowCount(); ++r) {
        for (int c = 0; c < columnCount(); ++c) {
            QTableWidgetItem *it = item(r, c);
            if (!it)
                continue;
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (isFixed(c, r)) {
                flags = Qt::ItemIsEnabled;
                it->setBackground(pal.button());
            } else if (isCellEditable(c, r)) {
                flags |= Qt::ItemIsEditable;
            }
            it->setFlags(flags);
        }
    }
}

void StringGrid::setup(QTableWidget *grid, int rows, int columns)
{
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setRowCount(rows);
    grid->setColumnCount(columns);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(textRowHeight(grid));
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setTabKeyNavigation(true);
    grid->setWordWrap(false);
}

void StringGrid::setFixedCell(QTableWidget *grid, int row, int column, const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::NoItemFlags);
    item->setBackground(grid->palette().button());
    item->setForeground(grid->palette().buttonText());
    grid->setItem(row, column, item);
}

QString StringGrid::cellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

void StringGrid::setCellText(QTableWidget *grid, int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = grid->item(row, column))
        item->setText(text);
    else
        grid->setItem(row, column, new QTableWidgetItem(text));
}

int StringGrid::textRowHeight(const QWidget *grid)
{
    return grid->fontMetrics().height() + 8;
}

int StringGrid::columnWidthFor(const QWidget *grid, const QString &header, int pixels)
{
    return std::max(pixels, grid->fontMetrics().horizontalAdvance(header) + 12);
}

void StringGrid::fitToContents(QTableWidget *grid)
{
    int width = 2 * grid->frameWidth();
    for (int c = 0; c < grid->columnCount(); ++c)
        width += grid->columnWidth(c);
    int height = 2 * grid->frameWidth();
    for (int r = 0; r < grid->rowCount(); ++r)
        height += grid->rowHeight(r);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    grid->setFixedSize(width, height);
}

} // namespace kront
