#include "sensors/ui/StringGrid.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>

namespace kront
{

namespace StringGrid
{

void setup(QTableWidget *grid, int rows, int columns)
{
    grid->horizontalHeader()->hide();
    grid->verticalHeader()->hide();
    grid->setRowCount(rows);
    grid->setColumnCount(columns);
    grid->verticalHeader()->setMinimumSectionSize(1);
    grid->verticalHeader()->setDefaultSectionSize(rowHeight(grid));
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setSelectionBehavior(QAbstractItemView::SelectItems);
    grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    grid->setTabKeyNavigation(true);
    grid->setWordWrap(false);
}

void setFixedCell(QTableWidget *grid, int row, int column, const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::NoItemFlags);
    item->setBackground(grid->palette().button());
    item->setForeground(grid->palette().buttonText());
    grid->setItem(row, column, item);
}

QString cellText(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

void setCellText(QTableWidget *grid, int row, int column, const QString &text)
{
    if (QTableWidgetItem *item = grid->item(row, column))
        item->setText(text);
    else
        grid->setItem(row, column, new QTableWidgetItem(text));
}

int rowHeight(const QWidget *grid)
{
    return grid->fontMetrics().height() + 8;
}

int columnWidthFor(const QWidget *grid, const QString &header, int pixels)
{
    return std::max(pixels, grid->fontMetrics().horizontalAdvance(header) + 12);
}

void fitToContents(QTableWidget *grid)
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

} // namespace StringGrid

CellRuleDelegate::CellRuleDelegate(RuleOf rule, QObject *parent)
    : QStyledItemDelegate(parent), ruleOf(std::move(rule))
{
}

QWidget *CellRuleDelegate::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                        const QModelIndex &index) const
{
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setProperty("kront_row", index.row());
    edit->setProperty("kront_column", index.column());
    return edit;
}

bool CellRuleDelegate::eventFilter(QObject *object, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(object);
    if (edit && event->type() == QEvent::KeyPress && ruleOf) {
        const QString text = static_cast<QKeyEvent *>(event)->text();
        // Control characters (shortcuts among them) are not typed text.
        if (!text.isEmpty() && text[0].unicode() >= 32) {
            QString kept = edit->text();
            if (edit->hasSelectedText())
                kept.remove(edit->selectionStart(), edit->selectedText().size());
            const CellInputRule rule =
                ruleOf(edit->property("kront_row").toInt(), edit->property("kront_column").toInt());
            if (!AcceptsTypedChar(rule, kept, text[0]))
                return true; // dropped silently
        }
    }
    return QStyledItemDelegate::eventFilter(object, event);
}

} // namespace kront
