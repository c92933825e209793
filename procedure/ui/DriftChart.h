#pragma once

#include "metrology/DriftCheck.h"

#include <QChartView>
#include <vector>

class QLineSeries;
class QValueAxis;

namespace kront
{

// The live chart of a channel's furnace temperature: the samples of the
// drift history over the last 31 minutes and the spread the stability
// judgement works with, so the operator sees why the program waits.
class DriftChart : public QChartView
{
    Q_OBJECT
public:
    explicit DriftChart(const QString &name, QWidget *parent = nullptr);

    // Samples oldest first; spread in °C, 3000 or more when not judged.
    // An empty list clears the chart.
    void showSamples(const std::vector<DriftSample> &samples, double spread);

    int pointCount() const;
    QString titleText() const;

private:
    // The furnace temperature axis over lo..hi °C with its ticks at round values.
    void setTemperatureRange(double lo, double hi);

    QLineSeries *series;
    QValueAxis *axisX; // minutes before the newest sample
    QValueAxis *axisY; // °C
};

} // namespace kront
