// The live furnace chart: round ticks of its temperature axis, and the labels the operator reads
// on both axes (decimal comma under an English system locale, minutes back from the newest
// sample).
#include "procedure/ui/DriftChart.h"
#include "procedure/ui/AxisTicks.h"

#include <QAbstractAxis>
#include <QApplication>
#include <QChart>
#include <QGraphicsScene>
#include <QGraphicsTextItem>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

TEST(AxisTicks, RangesGetRoundStepsAndFirstTicks)
{
    struct Case {
        double lo, hi;
        double step, first;
        int decimals;
    };
    const Case cases[] = {
        {498.9, 501.1, 0.5, 499.0, 1}, // a steady furnace at 500 °C
        {499.45, 500.0, 0.1, 499.5, 1},
        {499.0, 499.5, 0.1, 499.0, 1}, // the low end on a tick keeps it
        {-9.7, -9.2, 0.1, -9.7, 1},    // so does one where lo / step comes out just above
        {499.7, 500.9, 0.2, 499.8, 1},
        {348.35, 351.65, 1.0, 349.0, 0},
        {-5.3, -3.1, 0.5, -5.0, 1},     // below zero
        {-0.05, 0.4, 0.1, 0.0, 1},      // a first tick of 0, not -0
        {0.0, 2.0, 0.5, 0.0, 1},        // the empty chart
        {380.0, 395.0, 5.0, 380.0, 0},  // a furnace still settling
        {20.0, 520.0, 100.0, 100.0, 0}, // a furnace heating up
        {0.0, 1.0e6, 200000.0, 0.0, 0}, // a typed reading far out
    };
    for (const Case &c : cases) {
        const AxisTicks t = RoundTicks(c.lo, c.hi);
        const std::string name = std::to_string(c.lo) + " .. " + std::to_string(c.hi);
        EXPECT_DOUBLE_EQ(t.step, c.step) << name;
        EXPECT_NEAR(t.first, c.first, 1e-9) << name;
        EXPECT_FALSE(std::signbit(t.first) && t.first == 0) << name;
        EXPECT_EQ(t.decimals, c.decimals) << name;
    }
    for (const auto &[lo, hi] : {std::pair{1.0, 1.0}, {2.0, 1.0}, {1.0, NAN}, {-INFINITY, 1.0}})
        EXPECT_EQ(RoundTicks(lo, hi).step, 0) << lo << " .. " << hi;
}

// Over any range the step is the finest of 0,1 0,2 0,5 1 2 5 … that leaves at most
// kMaxTickIntervals intervals, and the first tick lies less than a step above the low end.
TEST(AxisTicks, TheStepIsTheFinestThatFits)
{
    const double steps[] = {0.1, 0.2, 0.5, 1, 2, 5, 10, 20, 50, 100, 200, 500};
    for (double span = 0.05; span < 2500; span *= 1.07) {
        for (const double lo : {-273.15, 0.0, 499.95, 1084.6}) {
            const AxisTicks t = RoundTicks(lo, lo + span);
            const auto it = std::find(std::begin(steps), std::end(steps), t.step);
            ASSERT_NE(it, std::end(steps)) << span;
            EXPECT_LE(span, kMaxTickIntervals * t.step) << span;
            if (it != std::begin(steps)) {
                EXPECT_GT(span, kMaxTickIntervals * *(it - 1)) << span;
            }
            EXPECT_GE(t.first, lo - 1e-9) << lo << " + " << span;
            EXPECT_LT(t.first, lo + t.step) << lo << " + " << span;
        }
    }
}

struct AxisLabels {
    std::string temperature; // bottom to top, one space apart
    std::string minutes;     // left to right
};

// The labels the chart draws left of and below its plot area.
AxisLabels drawnLabels(DriftChart &chart)
{
    QApplication::processEvents();
    const QRectF plot = chart.chart()->plotArea();
    QStringList titles;
    for (const QAbstractAxis *axis : chart.chart()->axes())
        titles << axis->titleText();
    std::vector<std::pair<double, QString>> left, below;
    for (QGraphicsItem *item : chart.scene()->items()) {
        auto *text = dynamic_cast<QGraphicsTextItem *>(item);
        if (!text || !text->isVisible() || text->toPlainText().isEmpty() ||
            titles.contains(text->toPlainText()))
            continue;
        const QRectF r = text->sceneBoundingRect();
        const QPointF c = r.center();
        if (r.right() <= plot.left() && c.y() > plot.top() - 1 && c.y() < plot.bottom() + 1)
            left.emplace_back(-c.y(), text->toPlainText());
        else if (r.top() >= plot.bottom() && c.x() > plot.left() - 1 && c.x() < plot.right() + 1)
            below.emplace_back(c.x(), text->toPlainText());
    }
    std::sort(left.begin(), left.end());
    std::sort(below.begin(), below.end());
    const auto joined = [](const std::vector<std::pair<double, QString>> &items) {
        QStringList texts;
        for (const auto &[pos, text] : items)
            texts << text;
        return texts.join(u' ').toStdString();
    };
    return {joined(left), joined(below)};
}

TEST(DriftChartAxes, LabelsAreRoundTemperaturesAndMinutesBack)
{
    DriftChart chart(QStringLiteral("ChartFurnaceTemperature1"));
    chart.resize(640, 360);
    chart.show();
    const QDateTime t0(QDate(2026, 3, 2), QTime(10, 0));
    std::vector<DriftSample> samples;
    for (int minute = 0; minute <= 31; ++minute)
        samples.push_back({500.0 + 0.3 * std::sin(minute / 5.0), t0.addSecs(60 * minute)});
    chart.showSamples(samples, 0.6);
    AxisLabels labels = drawnLabels(chart);
    EXPECT_EQ(labels.temperature, "499,0 499,5 500,0 500,5 501,0");
    EXPECT_EQ(labels.minutes, "30 25 20 15 10 5 0");

    samples = {{380.0, t0}, {386.0, t0.addSecs(600)}, {395.0, t0.addSecs(1200)}};
    chart.showSamples(samples, 3000);
    labels = drawnLabels(chart);
    EXPECT_EQ(labels.temperature, "380 385 390 395");
}

} // namespace
} // namespace kront::test
