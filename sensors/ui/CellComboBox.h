#pragma once

#include <QComboBox>

class QTableWidget;

namespace kront
{

// A drop-down laid over one grid cell while the cell is chosen from a list
// ("Тип", "НСХ"). Leaving it (focus elsewhere or Escape) hides it, writes
// its text into the cell it lay over and gives the focus back to the grid.
class CellComboBox : public QComboBox
{
    Q_OBJECT
public:
    explicit CellComboBox(QWidget *parent = nullptr);

    // Fills the list, selects the item equal to the cell text and lays the
    // box over the cell (the cell's width plus extraWidth pixels).
    void showOver(QTableWidget *grid, int row, int column, const QStringList &items,
                  int extraWidth = 2);
    // Ends the edit as leaving the box does; nothing when hidden.
    void finishEdit();
    // Hides without writing.
    void cancel();

    QTableWidget *grid() const { return target; }
    int row() const { return targetRow; }
    int column() const { return targetColumn; }

protected:
    void focusOutEvent(QFocusEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    QTableWidget *target = nullptr;
    int targetRow = -1;
    int targetColumn = -1;
    bool cellTextListed = false; // the cell's text was one of the items
    bool chosen = false;         // the operator picked an item
    bool finishing = false;
};

} // namespace kront
