#pragma once

#include "common/Clock.h"

namespace kront::test
{

// A clock moved by hand; installs itself as the program clock while alive.
class FakeClock : public Clock
{
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 10), QTime(9, 0)))
        : current(start)
    {
        setProgramClock(this);
    }
    ~FakeClock() override { setProgramClock(nullptr); }
    QDateTime now() const override { return current; }
    void advanceSeconds(qint64 s) { current = current.addSecs(s); }
    void advanceMs(qint64 ms) { current = current.addMSecs(ms); }
    void set(const QDateTime &t) { current = t; }

private:
    QDateTime current;
};

} // namespace kront::test
