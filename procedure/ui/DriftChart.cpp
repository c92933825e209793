#include "procedure/ui/DriftChart.h"

#include "common/DecimalRounding.h"
#include "procedure/ui/AxisTicks.h"

#include <QChart>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>
#include <algorithm>

namespace kront
{

namespace
{
constexpr double kWindowMinutes = 31;
constexpr double kMinuteTickStep = 5;
constexpr double kMinYSpan = 2.0; // °C, so that a steady furnace is not drawn as noise

// Axis labels with the decimal comma whatever the system's regional settings.
QLocale labelLocale()
{
    QLocale locale(QLocale::Russian, QLocale::Russia);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

QString spreadText(double spread)
{
    if (spread >= DriftMonitor::kNotJudged)
        return QStringLiteral("Ход за 30 мин: ещё не оценён");
    return QStringLiteral("Ход за 30 мин: %1 °С (допустимо %2 °С)")
        .arg(QString::number(rnd_n(spread, 2), 'f', 2).replace(u'.', u','),
             QString::number(DriftMonitor::kAllowedSpread, 'f', 1).replace(u'.', u','));
}
} // namespace

DriftChart::DriftChart(const QString &name, QWidget *parent)
    : QChartView(parent), series(new QLineSeries), axisX(new QValueAxis), axisY(new QValueAxis)
{
    setObjectName(name);
    auto *chart = new QChart;
    chart->legend()->hide();
    chart->addSeries(series);
    chart->setLocalizeNumbers(true);
    chart->setLocale(labelLocale());
    // Minutes before the newest sample, counted leftwards from 0 at the right edge.
    axisX->setReverse(true);
    axisX->setTickType(QValueAxis::TicksDynamic);
    axisX->setTickAnchor(0);
    axisX->setTickInterval(kMinuteTickStep);
    axisX->setRange(0, kWindowMinutes);
    axisX->setLabelFormat(QStringLiteral("%.0f"));
    axisX->setTitleText(QStringLiteral("мин назад"));
    axisY->setTickType(QValueAxis::TicksDynamic);
    axisY->setTitleText(QStringLiteral("°С"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    series->attachAxis(axisX);
    series->attachAxis(axisY);
    chart->setMargins(QMargins(2, 2, 2, 2));
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(140);
    showSamples({}, DriftMonitor::kNotJudged);
}

void DriftChart::showSamples(const std::vector<DriftSample> &samples, double spread)
{
    QList<QPointF> points;
    if (samples.empty()) {
        series->replace(points);
        setTemperatureRange(0, kMinYSpan);
        chart()->setTitle(QStringLiteral("Температура печи: нет данных"));
        return;
    }
    const QDateTime newest = samples.back().time;
    double lo = samples.front().t, hi = lo;
    for (const DriftSample &s : samples) {
        points.append(QPointF(s.time.msecsTo(newest) / 60000.0, s.t));
        lo = std::min(lo, s.t);
        hi = std::max(hi, s.t);
    }
    series->replace(points);
    const double mid = (lo + hi) / 2;
    const double half = std::max(hi - lo, kMinYSpan) / 2 * 1.1;
    setTemperatureRange(mid - half, mid + half);
    chart()->setTitle(spreadText(spread));
}

void DriftChart::setTemperatureRange(double lo, double hi)
{
    // The ticks before the range, so that the axis never lays out a wide range in a fine step.
    const AxisTicks ticks = RoundTicks(lo, hi);
    if (ticks.step > 0) {
        axisY->setTickAnchor(ticks.first);
        axisY->setTickInterval(ticks.step);
        axisY->setLabelFormat(QStringLiteral("%.%1f").arg(ticks.decimals));
    }
    axisY->setRange(lo, hi);
}

int DriftChart::pointCount() const
{
    return int(series->count());
}

QString DriftChart::titleText() const
{
    return chart()->title();
}

} // namespace kront
