#pragma once

#include "common/Clock.h"

#include <QElapsedTimer>

namespace kront::e2e
{

// Program time running `factor` times faster than the wall clock, from a
// start just after midnight of today (so a long run stays on one date):
// the half hour of the stability judgement passes in seconds.
class AcceleratedClock : public Clock
{
public:
    explicit AcceleratedClock(double speedUp)
        : factor(speedUp), start(QDateTime(QDate::currentDate(), QTime(0, 5)))
    {
        wall.start();
        setProgramClock(this);
    }
    ~AcceleratedClock() override { setProgramClock(nullptr); }

    QDateTime now() const override { return start.addMSecs(qint64(wall.elapsed() * factor)); }

private:
    double factor;
    QDateTime start;
    QElapsedTimer wall;
};

} // namespace kront::e2e
