#include "history/ui/HistoryChart.h"

#include <QAreaSeries>
#include <QChart>
#include <QLineSeries>
#include <QLocale>
#include <QValueAxis>

#include <algorithm>
#include <cmath>

namespace kront
{

namespace
{

const QColor kColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                           QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                           QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b),
                           QColor(0xe3, 0x77, 0xc2), QColor(0x7f, 0x7f, 0x7f)};

QLocale labelLocale()
{
    QLocale locale(QLocale::Russian, QLocale::Russia);
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    return locale;
}

// The date as a year with its fraction: 1 July 2020 is about 2020.5.
double yearOf(const QDateTime &t)
{
    const QDate d = t.date();
    return d.year() + double(d.dayOfYear() - 1) / d.daysInYear();
}

} // namespace

HistoryChart::HistoryChart(QWidget *parent)
    : QChartView(parent), axisX(new QValueAxis), axisY(new QValueAxis)
{
    setObjectName(QStringLiteral("ChartHistory"));
    auto *chart = new QChart;
    chart->setLocale(labelLocale());
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignBottom);
    axisX->setTickType(QValueAxis::TicksDynamic);
    axisX->setTickAnchor(2000);
    axisX->setLabelFormat(QStringLiteral("%.0f"));
    axisX->setTitleText(QStringLiteral("Год поверки"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    setChart(chart);
    setRenderHint(QPainter::Antialiasing);
    setMinimumSize(360, 240);
}

int HistoryChart::seriesCount() const
{
    int n = 0;
    for (QAbstractSeries *s : chart()->series())
        n += s->type() == QAbstractSeries::SeriesTypeLine ? 1 : 0;
    return n;
}

void HistoryChart::showSeries(const std::vector<Series> &list, const QString &valueTitle)
{
    QChart *c = chart();
    c->removeAllSeries();
    axisY->setTitleText(valueTitle);
    QDateTime first, last;
    double low = 0, high = 0;
    for (const Series &s : list) {
        for (const auto &[at, v] : s.points) {
            if (!first.isValid() || at < first)
                first = at;
            if (!last.isValid() || at > last)
                last = at;
            low = std::min(low, v);
            high = std::max(high, v);
        }
        low = std::min(low, -s.tolerance);
        high = std::max(high, s.tolerance);
    }
    if (!first.isValid())
        first = last = QDateTime::currentDateTime();
    // a margin of a month on each side, so that the first and last points are not on the frame
    first = first.addDays(-30);
    last = last.addDays(30);
    int colour = 0;
    for (const Series &s : list) {
        const QColor col = kColours[colour++ % std::size(kColours)];
        if (s.tolerance > 0) {
            auto *upper = new QLineSeries;
            auto *lower = new QLineSeries;
            upper->append(yearOf(first), s.tolerance);
            upper->append(yearOf(last), s.tolerance);
            lower->append(yearOf(first), -s.tolerance);
            lower->append(yearOf(last), -s.tolerance);
            auto *band = new QAreaSeries(upper, lower);
            band->setName(s.name + QStringLiteral(": допуск"));
            QColor fill = col;
            fill.setAlpha(30);
            band->setBrush(fill);
            QPen edge(col);
            edge.setStyle(Qt::DashLine);
            band->setPen(edge);
            c->addSeries(band);
            band->attachAxis(axisX);
            band->attachAxis(axisY);
        }
        auto *line = new QLineSeries;
        line->setName(s.name);
        line->setColor(col);
        line->setPointsVisible(true);
        for (const auto &[at, v] : s.points)
            line->append(yearOf(at), v);
        c->addSeries(line);
        line->attachAxis(axisX);
        line->attachAxis(axisY);
    }
    const double from = yearOf(first), to = yearOf(last);
    axisX->setTickInterval(std::max(1.0, std::ceil((to - from) / 10)));
    axisX->setRange(from, to);
    const double margin = std::max(0.1, (high - low) * 0.1);
    axisY->setRange(low - margin, high + margin);
    axisY->applyNiceNumbers();
}

} // namespace kront
