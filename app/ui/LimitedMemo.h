#pragma once

#include <QPlainTextEdit>

namespace kront
{

// A memo that holds at most maxLength characters (a line break counts as one)
// and none of the refused characters, typed or pasted; what does not fit is
// dropped silently, as typed characters a grid cell refuses are.
class LimitedMemo : public QPlainTextEdit
{
    Q_OBJECT
public:
    LimitedMemo(int maxLength, const QString &refused, QWidget *parent = nullptr);

    // What the memo keeps of a text given it whole (the refused characters
    // removed, cut at the limit).
    QString keptOf(const QString &text) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    // What fits of an insertion in place of the selection.
    QString fitting(const QString &text) const;

    int maxLength;
    QString refused;
};

} // namespace kront
