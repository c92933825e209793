#pragma once

#include "metrology/ReferenceTemperature.h"

#include <QtGlobal>
#include <map>
#include <utility>

namespace kront
{

// Remembers the graduation points found for the EMFs of the live reference readings, so that a
// settled reading does not open the reference table again for every frame. The register cannot
// change while the verification window is open; the cache lives as long as the window's engine.
// Look-ups that could not read the table are not remembered.
class GraduationCache
{
public:
    static constexpr std::size_t kMaxEntries = 4096;

    explicit GraduationCache(GraduationLookup lookup) : source(std::move(lookup)) {}

    std::optional<GraduationPoint> operator()(qint32 etalID, double emf);

private:
    GraduationLookup source;
    std::map<std::pair<qint32, double>, GraduationPoint> known;
};

} // namespace kront
