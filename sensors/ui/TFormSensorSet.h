#pragma once

#include "sensors/SensorSet.h"

#include <QDialog>
#include <functional>

class QAction;
class QMenu;
class QPushButton;
class QTableWidget;

namespace kront
{

class CellComboBox;
class ChannelBunches;
class Database;
class Dialogs;
class TFormDBSensors;

// "Подключенные датчики": the sensors connected to the two channels of the
// installation, for one sensor kind at a time (1, 2, 3 or 5). Row "ОБР" of
// each grid is the reference sensor, rows 1..4 the sensors under
// verification. "Принять" turns the rows into the channel bunches.
class TFormSensorSet : public QDialog
{
    Q_OBJECT
public:
    TFormSensorSet(Dialogs &dialogs, Database &database, ChannelBunches &bunches,
                   QWidget *parent = nullptr);
    ~TFormSensorSet() override;

    // Opening for a kind: empties both grids, lays them out for the kind and
    // shows the committed sensors of that kind again.
    void Prepare(int kind);
    // Prepare, then show modally.
    int showForKind(int kind);
    int kind() const { return currentKind; }

    // The chooser of stored sensors used by the lookup (created later at start-up).
    void setChooser(TFormDBSensors *chooser);
    // How the chooser is shown; modal by default (tests replace it).
    void setChooserRunner(std::function<void(TFormDBSensors &)> runner);
    // The main window's row actions offered by the pop-up menu.
    void setRowActions(QAction *copy, QAction *paste, QAction *clear);

    // The grid texts as the core sees them, and back.
    SensorSet sensorSet() const;
    void setSensorSet(const SensorSet &set);

    // Buttons
    void BtnLoadFromFileClick();
    void BtnSaveToFileClick();
    void BtnCommitClick();
    void BtnCancelClick();

    // Row actions on the current row of the grid last pressed with the mouse.
    void CopySensorString();
    void PasteSensorString();
    void ClearSensorString();
    const QString &rowBuffer() const { return buffer; }

    // The lookup of a stored sensor for a grid row (mouse release over its label).
    void LookupSensor(int grid, int row);
    // Copies a chosen stored sensor into a row (ApplyFoundSensor).
    void applyFoundSensor(int grid, int row, const QStringList &cells);

    QTableWidget *StringGrid1;
    QTableWidget *StringGrid2;
    CellComboBox *ComboBoxNSH;
    QPushButton *BtnLoadFromFile;
    QPushButton *BtnSaveToFile;
    QPushButton *BtnCommit;
    QPushButton *BtnCancel;
    QMenu *PopupMenuSensors;

    QTableWidget *grid(int number) const { return number == 2 ? StringGrid2 : StringGrid1; }
    int lastPressedGrid() const { return lastGrid; }

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void layoutGrid(QTableWidget *grid, int number);
    void currentCellChanged(QTableWidget *grid, int row, int column);
    void showTypeCombo(QTableWidget *grid, int row);
    bool gridKeyPress(QTableWidget *grid, QKeyEvent *event);
    bool gridMouse(QTableWidget *grid, QMouseEvent *event, bool press);
    int gridNumber(const QObject *object) const;
    int typeColumn() const;
    QStringList rowCells(int grid, int row) const;
    void setRowCells(int grid, int row, const QStringList &cells);

    Dialogs &dialogs;
    Database &db;
    ChannelBunches &bunches;
    TFormDBSensors *chooser = nullptr;
    std::function<void(TFormDBSensors &)> runChooser;
    int currentKind = 3;
    int lastGrid = 1;
    QString buffer; // the row buffer, kept for the whole run
    QAction *copyAction = nullptr;
    QAction *pasteAction = nullptr;
    QAction *clearAction = nullptr;
};

} // namespace kront
