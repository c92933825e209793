#pragma once

#include "reportengine/ReportModel.h"

#include <QFont>
#include <QString>
#include <QStringList>

namespace kront::report
{

// Text is measured and drawn in one fixed unit, 1/100 mm, with unhinted
// outline fonts, so the line breaks found while preparing hold on the screen,
// on paper and in a PDF alike.
constexpr double kTextUnitsPerMm = 100.0;

// The font of `spec` sized in text units (1/100 mm).
QFont layoutFont(const FontSpec &spec);

struct FontBox {
    double ascent = 0;      // mm
    double lineSpacing = 0; // mm
};
FontBox fontBox(const FontSpec &spec);

// Width of `text` in `spec`, in mm.
double textWidth(const FontSpec &spec, const QString &text);

// Splits `text` into the lines it takes in a box `width` mm wide: at its own
// line breaks and, with `wrap`, at word boundaries (or inside a word longer
// than the box).
QStringList breakLines(const QString &text, const FontSpec &spec, double width, bool wrap);

} // namespace kront::report
