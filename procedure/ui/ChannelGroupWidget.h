#pragma once

#include "procedure/PoverkaView.h"

#include <QGroupBox>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;

namespace kront
{

class DriftChart;
class StringGrid;

// The group of one measuring channel on the measurement page ("Канал 1",
// "Канал 2"): its reading grid, the recording button, the value displays
// with their captions, the two edits, the red wrong-connection warning, the
// status bar with a message panel and a stability panel, and the live
// chart of the furnace temperature. It shows what the engine decided.
class ChannelGroupWidget : public QGroupBox
{
    Q_OBJECT
public:
    explicit ChannelGroupWidget(int channel, QWidget *parent = nullptr);

    int channel() const { return number; }

    void applyControls(const ChannelControls &c);
    void showGrid(const ReadingGridText &grid);

    QLineEdit *edit(ChannelEdit which) const;
    QString statusText(int panel) const; // panel 0 (messages) or 1 (stability)

    StringGrid *grid;
    QPushButton *ButtonRecordMeas;
    QLabel *captionConnectedInput;
    QLabel *LabelConnectedInput;
    QLabel *captionMeasValue;
    QLabel *LabelMeasValue;
    QLabel *captionTemperatureDeviation;
    QLabel *LabelTemperatureDeviation;
    QLabel *LabelCaptionThermostatTemperature;
    QLabel *LabelThermostatTemperature;
    QLineEdit *EditThermostatTemperature;
    QLabel *captionSKTemperature;
    QLineEdit *EditSKTemperature;
    QLabel *LabelWrongTPConnection;
    QStatusBar *statusBar;
    QLabel *statusPanels[2];
    DriftChart *chart;

Q_SIGNALS:
    void recordClicked();

private:
    void layOut();
    void pair(QLabel *&caption, QLabel *&value, const QString &name, const QString &text);

    int number;
};

} // namespace kront
