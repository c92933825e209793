#pragma once

#include "history/ReferenceHistory.h"
#include "history/SensorHistory.h"

#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QTableWidget;

namespace kront
{

class Database;
class Dialogs;
class HistoryChart;

// "История датчика": a thermocouple found by serial number (type and year to
// tell apart equal serials) with every finished verification of it, its
// deviation at each temperature on a chart with the tolerance of its class,
// the trend and the forecast beside it; or a reference of the register with
// its use and the spread of the furnace readings through it. A double click on
// a verification opens its protocol.
class TFormSensorHistory : public QWidget
{
    Q_OBJECT
public:
    // Opens the protocol of a channel of a verification.
    using ProtocolOpener = std::function<void(int poverkaID, int channel)>;

    TFormSensorHistory(Database &db, Dialogs &dialogs, QWidget *parent = nullptr);

    void setProtocolOpener(ProtocolOpener opener) { openProtocol = std::move(opener); }

    // Shows the window for a search by serial number.
    void showEmpty();
    // Shows the window with the thermocouples of a verification to choose
    // from, the first one's history shown.
    void showSensorsOf(int poverkaID);

    // Shows a history already read (the window then lists no other sensor).
    void showSensor(const SensorHistory &h);
    void showReference(const ReferenceHistory &h);

    // "Найти": the sensors with the typed serial, type and year.
    void ButtonFindClick();
    // The history of the chosen sensor of ComboBoxSensors.
    void showChosen();

    const std::optional<SensorHistory> &sensorHistory() const { return sensor; }
    const std::optional<ReferenceHistory> &referenceHistory() const { return reference; }
    QTableWidget *grid() const { return GridHistory; }
    HistoryChart *historyChart() const { return chart; }
    QLabel *trendLabel() const { return LabelTrend; }
    QComboBox *sensorChoice() const { return ComboBoxSensors; }

private:
    void offer(const std::vector<StoredSensorKey> &keys, bool isReference);
    void fillGrid(const QStringList &headers, const std::vector<QStringList> &rows);
    void clearResult(const QString &note);
    void gridDoubleClicked(int row);

    Database &db;
    Dialogs &dialogs;
    ProtocolOpener openProtocol;
    QRadioButton *RadioWorking = nullptr;
    QRadioButton *RadioReference = nullptr;
    QLineEdit *EditSerial = nullptr;
    QLineEdit *EditType = nullptr;
    QLineEdit *EditYear = nullptr;
    QComboBox *ComboBoxSensors = nullptr;
    QLabel *LabelSensor = nullptr;
    QTableWidget *GridHistory = nullptr;
    HistoryChart *chart = nullptr;
    QLabel *LabelTrend = nullptr;
    std::vector<StoredSensorKey> offered;
    bool offeredReference = false;
    std::optional<SensorHistory> sensor;
    std::optional<ReferenceHistory> reference;
};

} // namespace kront
