#pragma once

#include <QChartView>
#include <QDateTime>

#include <vector>

class QValueAxis;

namespace kront
{

// Values against dates, one series per temperature, each with its ±tolerance
// as a band in the series' colour.
class HistoryChart : public QChartView
{
    Q_OBJECT
public:
    struct Series {
        QString name;
        std::vector<std::pair<QDateTime, double>> points;
        double tolerance = 0; // no band when 0
    };

    explicit HistoryChart(QWidget *parent = nullptr);

    void showSeries(const std::vector<Series> &series, const QString &valueTitle);
    int seriesCount() const; // the value series, without the bands

private:
    QValueAxis *axisX; // years
    QValueAxis *axisY;
};

} // namespace kront
