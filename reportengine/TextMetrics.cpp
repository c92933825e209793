#include "reportengine/TextMetrics.h"

#include <QFontMetricsF>
#include <QTextLayout>
#include <QTextOption>
#include <cmath>

namespace kront::report
{

QFont layoutFont(const FontSpec &spec)
{
    QFont f(spec.family);
    // points -> mm -> 1/100 mm
    f.setPixelSize(std::max(1, int(std::lround(spec.size * 25.4 / 72.0 * kTextUnitsPerMm))));
    f.setBold(spec.bold);
    f.setItalic(spec.italic);
    f.setUnderline(spec.underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    f.setStyleStrategy(QFont::StyleStrategy(QFont::ForceOutline | QFont::PreferQuality));
    f.setKerning(true);
    return f;
}

FontBox fontBox(const FontSpec &spec)
{
    const QFontMetricsF fm(layoutFont(spec));
    return {fm.ascent() / kTextUnitsPerMm, fm.lineSpacing() / kTextUnitsPerMm};
}

double textWidth(const FontSpec &spec, const QString &text)
{
    return QFontMetricsF(layoutFont(spec)).horizontalAdvance(text) / kTextUnitsPerMm;
}

QStringList breakLines(const QString &text, const FontSpec &spec, double width, bool wrap)
{
    QStringList lines;
    if (text.isEmpty())
        return lines;
    const QStringList paragraphs = text.split(u'\n');
    if (!wrap || width <= 0)
        return paragraphs;
    const QFont font = layoutFont(spec);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    for (const QString &paragraph : paragraphs) {
        if (paragraph.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(paragraph, font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width * kTextUnitsPerMm);
            QString part = paragraph.mid(line.textStart(), line.textLength());
            while (part.endsWith(u' '))
                part.chop(1);
            lines << part;
        }
        layout.endLayout();
    }
    return lines;
}

} // namespace kront::report
