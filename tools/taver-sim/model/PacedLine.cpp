#include "PacedLine.h"

#include <cmath>

namespace kront::sim
{

void PacedLine::queue(const QByteArray &bytes, qint64 nowMs)
{
    if (pending.isEmpty())
        freeAtMs = qMax(freeAtMs, double(nowMs)); // an idle line starts now
    pending.append(bytes);
    if (pending.size() > kMaxQueued)
        pending.remove(0, pending.size() - kMaxQueued);
}

QByteArray PacedLine::due(qint64 nowMs) const
{
    if (!paced)
        return pending;
    const double count = std::floor((double(nowMs) - freeAtMs) / kByteMs);
    return pending.left(int(qBound(0.0, count, double(pending.size()))));
}

void PacedLine::sent(int count, qint64 nowMs)
{
    const bool allTaken = count >= due(nowMs).size();
    pending.remove(0, count);
    freeAtMs += count * kByteMs;
    if (!allTaken)
        freeAtMs = double(nowMs);
}

} // namespace kront::sim
