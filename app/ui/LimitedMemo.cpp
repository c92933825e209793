#include "app/ui/LimitedMemo.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QTextCursor>
#include <algorithm>

namespace kront
{

namespace
{

QString withoutCarriageReturns(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

} // namespace

LimitedMemo::LimitedMemo(int limit, const QString &refusal, QWidget *parent)
    : QPlainTextEdit(parent), maxLength(limit), refused(refusal)
{
}

QString LimitedMemo::keptOf(const QString &text) const
{
    QString kept = withoutCarriageReturns(text);
    kept.removeIf([this](QChar c) { return refused.contains(c); });
    return kept.left(maxLength);
}

QString LimitedMemo::fitting(const QString &text) const
{
    const qsizetype room = maxLength - (toPlainText().size() - textCursor().selectedText().size());
    return keptOf(text).left(std::max<qsizetype>(0, room));
}

void LimitedMemo::keyPressEvent(QKeyEvent *event)
{
    const bool lineBreak = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    const QString text = lineBreak ? QStringLiteral("\n") : event->text();
    // Control characters (shortcuts among them) are no typed text.
    if (!text.isEmpty() && (lineBreak || text[0].unicode() >= 32) && fitting(text) != text) {
        event->accept();
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedMemo::insertFromMimeData(const QMimeData *source)
{
    if (!source->hasText())
        return;
    QMimeData kept;
    kept.setText(fitting(source->text()));
    QPlainTextEdit::insertFromMimeData(&kept);
}

} // namespace kront
