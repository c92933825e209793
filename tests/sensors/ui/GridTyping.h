#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableWidget>

namespace kront::test
{

// Types text into a cell through its editor, as the keyboard would, and
// returns what the editor holds afterwards; the editor stays open.
inline QString typeIntoOpenEditor(QTableWidget *g, int row, int column, const QString &text)
{
    g->setCurrentCell(row, column);
    g->edit(g->model()->index(row, column));
    QLineEdit *editor = nullptr;
    for (QLineEdit *e : g->viewport()->findChildren<QLineEdit *>()) {
        if (e->property("kront_row").toInt() == row &&
            e->property("kront_column").toInt() == column && e->isVisible())
            editor = e;
    }
    if (!editor)
        return QStringLiteral("<no editor>");
    editor->selectAll();
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(editor, &press);
    }
    return editor->text();
}

} // namespace kront::test
