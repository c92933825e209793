#pragma once

#include "reportengine/ReportModel.h"

#include <QColor>
#include <QImage>
#include <QLineF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <variant>
#include <vector>

// A prepared report: sheets of vector drawing in millimetres from the top
// left corner of the paper. The preview, the printer and the PDF writer all
// paint the same sheets.
namespace kront::report
{

// One line of text. `box` is the line's place (its width is the text box's
// inner width); the text is aligned in it when painted.
struct PreparedText {
    QRectF box;
    double baseline = 0; // mm below box.top()
    QString text;
    FontSpec font;
    HAlign align = HAlign::Left;
    QColor color = Qt::black;
};

struct PreparedLine {
    QLineF line;
    double width = 0.2; // mm
    QColor color = Qt::black;
};

struct PreparedRect {
    QRectF rect;
    QColor fill; // invalid: none
};

struct PreparedImage {
    QRectF rect;
    QImage image;
};

using PreparedItem = std::variant<PreparedText, PreparedLine, PreparedRect, PreparedImage>;

struct PreparedPage {
    QSizeF size{210, 297}; // mm
    std::vector<PreparedItem> items;

    bool landscape() const { return size.width() > size.height(); }
};

struct PreparedReport {
    QString title;
    std::vector<PreparedPage> pages;

    // Every text of the sheets joined by line breaks, in drawing order
    // (used by tests and by searches over a prepared report).
    QString plainText() const
    {
        QString out;
        for (const PreparedPage &p : pages)
            for (const PreparedItem &item : p.items)
                if (const auto *t = std::get_if<PreparedText>(&item))
                    out += t->text + u'\n';
        return out;
    }
};

} // namespace kront::report
