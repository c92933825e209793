#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace kront
{

// Filters the characters typed into the cell editors of a grid. The rule
// sees the cell, the text the editor holds and the typed character; a
// refused character is dropped.
class CellCharFilter : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using Rule = std::function<bool(int col, int row, const QString &text, QChar typed)>;

    CellCharFilter(Rule rule, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Rule rule;
};

} // namespace kront
