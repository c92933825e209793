#include "procedure/ui/StringGrid.h"

#include <QHeaderView>

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
    int w = 2 * frameWidth();
    for (int c = 0; c < columnCount(); ++c)
        w += columnWidth(c);
    int h = 2 * frameWidth();
    for (int r = 0; r < rowCount(); ++r)
        h += rowHeight(r);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFixedSize(w + 1, h + 1);
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

} // namespace kront
