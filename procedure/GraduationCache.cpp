#include "procedure/GraduationCache.h"

#include "common/Clock.h"

namespace kront
{

std::optional<GraduationPoint> GraduationCache::operator()(qint32 etalID, double emf)
{
    const auto key = std::make_pair(etalID, emf);
    if (const auto it = known.find(key); it != known.end())
        return it->second;
    const QDateTime now = programClock().now();
    if (failedAt.isValid() && failedAt.msecsTo(now) < kRetryAfterMs)
        return std::nullopt;
    const std::optional<GraduationPoint> point = source ? source(etalID, emf) : std::nullopt;
    failedAt = point ? QDateTime() : now;
    if (point) {
        if (known.size() >= kMaxEntries)
            known.clear();
        known.emplace(key, *point);
    }
    return point;
}

} // namespace kront
