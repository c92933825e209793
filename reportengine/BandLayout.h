#pragma once

#include "reportengine/Expression.h"
#include "reportengine/PreparedReport.h"
#include "reportengine/ReportModel.h"

#include <QPointF>
#include <vector>

namespace kront::report
{

// One printed occurrence of a band: its drawing relative to the band's top
// left corner and its height after stretching.
struct LaidBand {
    double height = 0; // mm
    std::vector<PreparedItem> items;
};

// Evaluates the texts and conditions of a band's objects now and lays them
// out. A stretching text grows to show all its lines and the band grows with
// it; objects that reached the band's bottom edge in the template are then
// drawn down to the new bottom, so table cells and rules of a row stay
// aligned. A text that does not stretch shows the lines that fit.
LaidBand layOutBand(const Band &band, const NameResolver &resolve);

// Cuts a band that is taller than a whole sheet: the part above `cut` (mm
// from the band's top, moved up to the top of the last text line that would
// be cut) and the rest, moved up to start at 0. Lines and fills that cross
// the cut are cut in two.
std::pair<LaidBand, LaidBand> splitBand(const LaidBand &band, double cut);

// The item moved by `offset` (mm).
PreparedItem translated(const PreparedItem &item, const QPointF &offset);

} // namespace kront::report
