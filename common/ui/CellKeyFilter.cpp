#include "common/ui/CellKeyFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace kront
{

namespace
{
const char *const kRowProperty = "kront_row";
const char *const kColumnProperty = "kront_column";
} // namespace

CellKeyFilter::CellKeyFilter(Rule accepts, QObject *parent)
    : QStyledItemDelegate(parent), rule(std::move(accepts))
{
}

QWidget *CellKeyFilter::createEditor(QWidget *parent, const QStyleOptionViewItem &,
                                     const QModelIndex &index) const
{
    auto *edit = new QLineEdit(parent);
    edit->setFrame(false);
    edit->setProperty(kRowProperty, index.row());
    edit->setProperty(kColumnProperty, index.column());
    return edit;
}

bool CellKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (edit && event->type() == QEvent::KeyPress && rule) {
        const QString typed = static_cast<QKeyEvent *>(event)->text();
        if (!typed.isEmpty() && typed[0].unicode() >= 32) {
            QString kept = edit->text();
            if (edit->hasSelectedText())
                kept.remove(edit->selectionStart(), edit->selectedText().size());
            if (!rule(edit->property(kRowProperty).toInt(), edit->property(kColumnProperty).toInt(),
                      kept, typed[0]))
                return true; // dropped
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace kront
