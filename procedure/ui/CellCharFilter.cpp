#include "procedure/ui/CellCharFilter.h"

#include <QKeyEvent>
#include <QLineEdit>

namespace kront
{

namespace
{
const char *const kColProperty = "kront_cell_col";
const char *const kRowProperty = "kront_cell_row";
} // namespace

CellCharFilter::CellCharFilter(Rule accepts, QObject *parent)
    : QStyledItemDelegate(parent), rule(std::move(accepts))
{
}

QWidget *CellCharFilter::createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                                      const QModelIndex &index) const
{
    QWidget *editor = QStyledItemDelegate::createEditor(parent, option, index);
    if (editor) {
        editor->setProperty(kColProperty, index.column());
        editor->setProperty(kRowProperty, index.row());
        editor->installEventFilter(const_cast<CellCharFilter *>(this));
    }
    return editor;
}

bool CellCharFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && rule) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *edit = qobject_cast<QLineEdit *>(watched);
        const QString typed = key->text();
        if (edit && typed.size() == 1 && !typed[0].isNull()) {
            const int col = watched->property(kColProperty).toInt();
            const int row = watched->property(kRowProperty).toInt();
            if (!rule(col, row, edit->text(), typed[0]))
                return true; // dropped
        }
    }
    return QStyledItemDelegate::eventFilter(watched, event);
}

} // namespace kront
