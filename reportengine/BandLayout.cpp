#include "reportengine/BandLayout.h"

#include "reportengine/TextMetrics.h"

#include <algorithm>
#include <cmath>

namespace kront::report
{

namespace
{

constexpr double kEpsilon = 0.01; // mm

struct Placed {
    const ReportObject *object = nullptr;
    QRectF rect;
    QLineF line;
    QStringList lines; // text
};

void addFrame(std::vector<PreparedItem> &items, const QRectF &r, const Frame &f)
{
    if (f.width <= 0)
        return;
    auto add = [&](QPointF a, QPointF b) {
        items.push_back(PreparedLine{{a, b}, f.width, f.color});
    };
    if (f.top)
        add(r.topLeft(), r.topRight());
    if (f.bottom)
        add(r.bottomLeft(), r.bottomRight());
    if (f.left)
        add(r.topLeft(), r.bottomLeft());
    if (f.right)
        add(r.topRight(), r.bottomRight());
}

void addTextLines(std::vector<PreparedItem> &items, const Placed &p)
{
    const ReportObject &o = *p.object;
    const FontBox box = fontBox(o.font);
    const QRectF inner = p.rect.adjusted(o.paddingX, o.paddingY, -o.paddingX, -o.paddingY);
    const double content = p.lines.size() * box.lineSpacing;
    double top = inner.top();
    if (o.vAlign == VAlign::Center)
        top += std::max(0.0, (inner.height() - content) / 2);
    else if (o.vAlign == VAlign::Bottom)
        top += std::max(0.0, inner.height() - content);
    for (int i = 0; i < p.lines.size(); ++i) {
        const double lineTop = top + i * box.lineSpacing;
        // Lines that do not fit are cut off, but the first one always shows.
        if (i > 0 && lineTop + box.lineSpacing > inner.bottom() + kEpsilon)
            break;
        PreparedText t;
        t.box = QRectF(inner.left(), lineTop, inner.width(), box.lineSpacing);
        t.baseline = box.ascent;
        t.text = p.lines[i];
        t.font = o.font;
        t.align = o.hAlign;
        t.color = o.color;
        items.push_back(std::move(t));
    }
}

QRectF fitted(const QRectF &r, const QImage &image, bool keepAspect)
{
    if (!keepAspect || image.isNull() || image.height() == 0 || r.height() <= 0)
        return r;
    const double ratio = double(image.width()) / image.height();
    QRectF out = r;
    if (r.width() / r.height() > ratio)
        out.setWidth(r.height() * ratio);
    else
        out.setHeight(r.width() / ratio);
    out.moveCenter(r.center());
    return out;
}

void emitItems(std::vector<PreparedItem> &items, const Placed &p)
{
    const ReportObject &o = *p.object;
    switch (o.type) {
    case ReportObject::Type::Text:
        if (o.fill.isValid())
            items.push_back(PreparedRect{p.rect, o.fill});
        addTextLines(items, p);
        addFrame(items, p.rect, o.frame);
        break;
    case ReportObject::Type::Rect:
        if (o.fill.isValid())
            items.push_back(PreparedRect{p.rect, o.fill});
        addFrame(items, p.rect, o.frame);
        break;
    case ReportObject::Type::Line:
        if (o.lineWidth > 0)
            items.push_back(PreparedLine{p.line, o.lineWidth, o.color});
        break;
    case ReportObject::Type::Picture:
        items.push_back(PreparedImage{fitted(p.rect, o.image, o.keepAspect), o.image});
        break;
    }
}

} // namespace

LaidBand layOutBand(const Band &band, const NameResolver &resolve)
{
    std::vector<Placed> placed;
    double height = band.height;
    for (const ReportObject &o : band.objects) {
        if (o.visibleIf && !truthValue(o.visibleIf->evaluate(resolve)))
            continue;
        Placed p{&o, o.rect, QLineF(o.from, o.to), {}};
        if (o.type == ReportObject::Type::Text) {
            QString text = o.text.evaluate(resolve);
            text.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
            p.lines = breakLines(text, o.font, o.rect.width() - 2 * o.paddingX, o.wordWrap);
            const double need = 2 * o.paddingY + p.lines.size() * fontBox(o.font).lineSpacing;
            if (o.stretch && need > p.rect.height())
                p.rect.setHeight(need);
            height = std::max(height, p.rect.bottom());
        }
        placed.push_back(std::move(p));
    }
    if (height > band.height + kEpsilon) {
        for (Placed &p : placed) {
            const ReportObject &o = *p.object;
            if (o.type == ReportObject::Type::Line) {
                if (std::abs(o.from.y() - band.height) < kEpsilon)
                    p.line.setP1(QPointF(o.from.x(), height));
                if (std::abs(o.to.y() - band.height) < kEpsilon)
                    p.line.setP2(QPointF(o.to.x(), height));
            } else if (o.type != ReportObject::Type::Picture &&
                       std::abs(o.rect.bottom() - band.height) < kEpsilon) {
                p.rect.setBottom(height);
            }
        }
    }
    LaidBand out;
    out.height = height;
    for (const Placed &p : placed)
        emitItems(out.items, p);
    return out;
}

std::pair<LaidBand, LaidBand> splitBand(const LaidBand &band, double cut)
{
    double at = cut;
    for (const PreparedItem &item : band.items)
        if (const auto *t = std::get_if<PreparedText>(&item))
            if (t->box.top() < at - kEpsilon && t->box.bottom() > at + kEpsilon)
                at = t->box.top();
    if (at < 1)
        at = cut; // a single line taller than the room left: cut through it
    LaidBand first, rest;
    first.height = at;
    rest.height = std::max(0.0, band.height - at);
    const QPointF up(0, -at);
    for (const PreparedItem &item : band.items) {
        if (const auto *t = std::get_if<PreparedText>(&item)) {
            if (t->box.bottom() <= at + kEpsilon)
                first.items.push_back(item);
            else
                rest.items.push_back(translated(item, up));
        } else if (const auto *l = std::get_if<PreparedLine>(&item)) {
            const double top = std::min(l->line.y1(), l->line.y2());
            const double bottom = std::max(l->line.y1(), l->line.y2());
            if (bottom <= at + kEpsilon) {
                first.items.push_back(item);
            } else if (top >= at - kEpsilon) {
                rest.items.push_back(translated(item, up));
            } else { // crosses the cut: vertical rules of frames
                const double x = l->line.x1() + (l->line.x2() - l->line.x1()) *
                                                    (at - l->line.y1()) / (l->line.dy());
                PreparedLine upper = *l, lower = *l;
                const QPointF a = l->line.y1() < l->line.y2() ? l->line.p1() : l->line.p2();
                const QPointF b = l->line.y1() < l->line.y2() ? l->line.p2() : l->line.p1();
                upper.line = QLineF(a, QPointF(x, at));
                lower.line = QLineF(QPointF(x, 0), b - QPointF(0, at));
                first.items.push_back(upper);
                rest.items.push_back(lower);
            }
        } else if (const auto *r = std::get_if<PreparedRect>(&item)) {
            const QRectF above = r->rect.intersected(QRectF(-1e4, -1e4, 2e4, 1e4 + at));
            const QRectF below = r->rect.intersected(QRectF(-1e4, at, 2e4, 1e4));
            if (!above.isEmpty())
                first.items.push_back(PreparedRect{above, r->fill});
            if (!below.isEmpty())
                rest.items.push_back(PreparedRect{below.translated(up), r->fill});
        } else if (const auto *i = std::get_if<PreparedImage>(&item)) {
            if (i->rect.top() < at)
                first.items.push_back(item);
            else
                rest.items.push_back(translated(item, up));
        }
    }
    return {std::move(first), std::move(rest)};
}

PreparedItem translated(const PreparedItem &item, const QPointF &offset)
{
    return std::visit(
        [&](auto copy) -> PreparedItem {
            using T = std::decay_t<decltype(copy)>;
            if constexpr (std::is_same_v<T, PreparedText>)
                copy.box.translate(offset);
            else if constexpr (std::is_same_v<T, PreparedLine>)
                copy.line.translate(offset);
            else
                copy.rect.translate(offset);
            return copy;
        },
        item);
}

} // namespace kront::report
