#include "procedure/GraduationCache.h"

namespace kront
{

std::optional<GraduationPoint> GraduationCache::operator()(qint32 etalID, double emf)
{
    const auto key = std::make_pair(etalID, emf);
    if (const auto it = known.find(key); it != known.end())
        return it->second;
    const std::optional<GraduationPoint> point = source ? source(etalID, emf) : std::nullopt;
    if (point) {
        if (known.size() >= kMaxEntries)
            known.clear();
        known.emplace(key, *point);
    }
    return point;
}

} // namespace kront
