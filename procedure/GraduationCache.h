#pragma once

#include "metrology/ReferenceTemperature.h"

#include <QDateTime>
#include <QtGlobal>
#include <map>
#include <utility>

namespace kront
{

// Remembers the graduation points found for the EMFs of the live reference readings, so that a
// settled reading does not open the reference table again for every frame. The register cannot
// change while the verification window is open; the cache lives as long as the window's engine.
// Look-ups that could not read the table are not remembered; after one, the table is not asked
// again for kRetryAfterMs (program clock), so that a table that cannot be read (a lab server that
// went away) is reported once, not once for every new reference reading.
class GraduationCache
{
public:
    static constexpr std::size_t kMaxEntries = 4096;
    static constexpr qint64 kRetryAfterMs = 10000;

    explicit GraduationCache(GraduationLookup lookup) : source(std::move(lookup)) {}

    std::optional<GraduationPoint> operator()(qint32 etalID, double emf);

private:
    GraduationLookup source;
    std::map<std::pair<qint32, double>, GraduationPoint> known;
    QDateTime failedAt; // of the last look-up that could not read the table; invalid when none
};

} // namespace kront
