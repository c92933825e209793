#pragma once

#include "reports/DocumentTypes.h"

#include <QDialog>
#include <QList>

class QPushButton;
class QTreeWidget;

namespace kront
{

// "Выбор ТП для печати документов": the sensors of a verification that may
// get a certificate or a notice, each with a check box.
class TFormSelectSensorsForSvid : public QDialog
{
    Q_OBJECT
public:
    explicit TFormSelectSensorsForSvid(QWidget *parent = nullptr);

    // One row per sensor: its ID as the row caption, then the short NSH
    // name, the serial number, the result and the number of the document
    // issued. No row ticked; the toggle reads "Отметить все".
    void setSensors(const std::vector<TSensOpts> &sensors);
    // The sensor IDs of the ticked rows.
    QList<int> tickedSensorIDs() const;

    void ButtonSelectAllClick();
    QTreeWidget *list() const { return ListViewSensors; }
    QPushButton *selectAllButton() const { return ButtonSelectAll; }

    // Shows the window modally; the ticked IDs, or nullopt on "Отмена".
    std::optional<QList<int>> choose(const std::vector<TSensOpts> &sensors);

private:
    QTreeWidget *ListViewSensors = nullptr;
    QPushButton *ButtonSelectAll = nullptr;
};

} // namespace kront
