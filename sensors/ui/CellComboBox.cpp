#include "sensors/ui/CellComboBox.h"

#include "common/ui/StringGrid.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QTableWidget>

namespace kront
{

CellComboBox::CellComboBox(QWidget *parent) : QComboBox(parent)
{
    setEditable(false);
    hide();
    connect(this, &QComboBox::activated, this, [this] { chosen = true; });
}

void CellComboBox::showOver(QTableWidget *grid, int row, int column, const QStringList &items,
                            int extraWidth)
{
    target = grid;
    targetRow = row;
    targetColumn = column;
    if (parentWidget() != grid->viewport())
        setParent(grid->viewport());
    clear();
    addItems(items);
    const QString text = StringGrid::cellText(grid, row, column);
    const int index = findText(text, Qt::MatchExactly);
    cellTextListed = index >= 0;
    chosen = false;
    setCurrentIndex(index);
    QRect cell = grid->visualRect(grid->model()->index(row, column));
    cell.setWidth(grid->columnWidth(column) + extraWidth);
    cell.setHeight(grid->rowHeight(row));
    setGeometry(cell);
    show();
    raise();
}

void CellComboBox::finishEdit()
{
    if (finishing || !isVisible())
        return;
    finishing = true;
    hide();
    if (target && (cellTextListed || chosen))
        StringGrid::setCellText(target, targetRow, targetColumn, currentText());
    if (target)
        target->setFocus();
    finishing = false;
}

void CellComboBox::cancel()
{
    finishing = true;
    hide();
    finishing = false;
}

void CellComboBox::focusOutEvent(QFocusEvent *event)
{
    QComboBox::focusOutEvent(event);
    if (event->reason() != Qt::PopupFocusReason)
        finishEdit();
}

void CellComboBox::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        finishEdit();
        event->accept();
        return;
    }
    QComboBox::keyPressEvent(event);
}

} // namespace kront
