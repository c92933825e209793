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
    // Grids whose editors carry their cell ("kront_row", "kront_column") are
    // matched by it; other grids have one editor open at a time.
    QLineEdit *editor = nullptr;
    QLineEdit *onlyOpen = nullptr;
    int open = 0;
    for (QLineEdit *e : g->viewport()->findChildren<QLineEdit *>()) {
        if (!e->isVisible())
            continue;
        if (e->property("kront_row").toInt() == row &&
            e->property("kront_column").toInt() == column)
            editor = e;
        if (!e->property("kront_row").isValid()) {
            onlyOpen = e;
            ++open;
        }
    }
    if (!editor && open == 1)
        editor = onlyOpen;
    if (!editor)
        return QStringLiteral("<no editor>");
    editor->selectAll();
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(editor, &press);
    }
    return editor->text();
}

// Types text into a line edit as the keyboard would: everything selected,
// Backspace, then the text key by key. Returns what the edit holds.
inline QString typeIntoLineEdit(QLineEdit *edit, const QString &text)
{
    edit->setFocus();
    edit->selectAll();
    QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
    QApplication::sendEvent(edit, &backspace);
    for (QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(edit, &press);
    }
    return edit->text();
}

} // namespace kront::test
