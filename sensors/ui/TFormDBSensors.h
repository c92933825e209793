#pragma once

#include <QDialog>
#include <QStringList>

class QPushButton;
class QTableWidget;

namespace kront
{

class Database;

// "Найденные датчики": the stored sensors that match a row of the
// connected-sensors editor; "Выбрать" hands the chosen one to that row.
class TFormDBSensors : public QDialog
{
    Q_OBJECT
public:
    explicit TFormDBSensors(Database &database, QWidget *parent = nullptr);

    // Fills the chooser from EtalSens (reference) or Sensors with the filter
    // and remembers the editor grid and row that asked. False when the
    // table could not be read.
    bool Prepare(const QString &filter, int editorGrid, bool reference, int editorRow);

    void ButtonApplyClick();
    void ButtonCancelClick();

    int editorGrid() const { return askingGrid; }
    int editorRow() const { return askingRow; }

    QTableWidget *StringGridFoundSensors;
    QPushButton *ButtonApply;
    QPushButton *ButtonCancel;

Q_SIGNALS:
    // The cells (columns 0..last) of the chosen sensor for the asking row.
    void sensorChosen(int editorGrid, int editorRow, const QStringList &cells);

private:
    void fitToRows(int rows);

    Database &db;
    int askingGrid = 1;
    int askingRow = 1;
};

} // namespace kront
