#pragma once

#include "reportengine/PreparedReport.h"

#include <QString>
#include <vector>

class QPainter;
class QPagedPaintDevice;

namespace kront::report
{

// Paints one sheet with the painter's coordinate system in millimetres from
// the sheet's top left corner (the caller scales and translates).
void paintPage(QPainter &painter, const PreparedPage &page);

// Paints the sheets `indexes` (all when empty) on a paged device that has
// been set up with full-page coordinates (no margins): a PDF writer or a
// printer. Each sheet gets its own page size and orientation. False with a
// message when the device cannot be painted on.
bool paintPages(QPagedPaintDevice &device, const PreparedReport &report,
                const std::vector<int> &indexes, QString *error);

// Writes all sheets to a PDF file with real, searchable text, replacing the
// file only once it has been written whole.
bool writePdfFile(const PreparedReport &report, const QString &path, QString *error);

} // namespace kront::report
