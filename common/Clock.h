#pragma once

#include <QDateTime>

namespace kront
{

// Source of the local date and time. The real clock reads the system time;
// tests move a fake clock by hand so that half-hour windows pass in no time.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};

// The clock the program runs on; tests may replace it.
Clock &programClock();
void setProgramClock(Clock *clock); // nullptr restores the system clock; not owned

} // namespace kront
