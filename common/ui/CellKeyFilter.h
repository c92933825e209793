#pragma once

#include <QStyledItemDelegate>
#include <functional>

namespace kront
{

// Cell editor delegate of a grid that drops the typed characters a cell's
// rule refuses. The rule sees the cell, the text the editor keeps (its text
// without the selection the character replaces) and the typed character.
// Control characters (editing keys and shortcuts) are never filtered.
class CellKeyFilter : public QStyledItemDelegate
{
    Q_OBJECT
public:
    using Rule = std::function<bool(int row, int column, const QString &kept, QChar typed)>;

    CellKeyFilter(Rule rule, QObject *parent);

    QWidget *createEditor(QWidget *parent, const QStyleOptionViewItem &option,
                          const QModelIndex &index) const override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Rule rule;
};

} // namespace kront
