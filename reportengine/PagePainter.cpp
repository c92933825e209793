#include "reportengine/PagePainter.h"

#include "common/Dialogs.h"
#include "common/TrainingMode.h"
#include "reportengine/TextMetrics.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace kront::report
{

namespace
{

void paintText(QPainter &p, const PreparedText &t)
{
    const QFont font = layoutFont(t.font);
    const double width = QFontMetricsF(font).horizontalAdvance(t.text) / kTextUnitsPerMm;
    double x = t.box.left();
    if (t.align == HAlign::Center)
        x += (t.box.width() - width) / 2;
    else if (t.align == HAlign::Right)
        x = t.box.right() - width;
    p.save();
    p.translate(x, t.box.top() + t.baseline);
    p.scale(1 / kTextUnitsPerMm, 1 / kTextUnitsPerMm);
    p.setFont(font);
    p.setPen(t.color);
    p.drawText(QPointF(0, 0), t.text);
    p.restore();
}

void paintItem(QPainter &p, const PreparedItem &item)
{
    if (const auto *t = std::get_if<PreparedText>(&item)) {
        paintText(p, *t);
    } else if (const auto *l = std::get_if<PreparedLine>(&item)) {
        QPen pen(l->color, l->width, Qt::SolidLine, Qt::SquareCap);
        p.setPen(pen);
        p.drawLine(l->line);
    } else if (const auto *r = std::get_if<PreparedRect>(&item)) {
        p.fillRect(r->rect, r->fill);
    } else if (const auto *i = std::get_if<PreparedImage>(&item)) {
        p.drawImage(i->rect, i->image);
    }
}

// In the training mode every sheet says so at its top, above the template's
// own content.
void paintTrainingMark(QPainter &p, const PreparedPage &page)
{
    PreparedText mark;
    mark.text = TrainingMode::mark();
    mark.box = QRectF(0, 2, page.size.width(), 6);
    mark.baseline = 5;
    mark.font.size = 12;
    mark.font.bold = true;
    mark.align = HAlign::Center;
    mark.color = Qt::red;
    paintText(p, mark);
}

QPageLayout layoutFor(const PreparedPage &page)
{
    // QPageSize holds the portrait size; the orientation turns it.
    const QSizeF portrait(std::min(page.size.width(), page.size.height()),
                          std::max(page.size.width(), page.size.height()));
    return QPageLayout(QPageSize(portrait, QPageSize::Millimeter),
                       page.landscape() ? QPageLayout::Landscape : QPageLayout::Portrait,
                       QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

} // namespace

void paintPage(QPainter &painter, const PreparedPage &page)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
    for (const PreparedItem &item : page.items)
        paintItem(painter, item);
    if (TrainingMode::active())
        paintTrainingMark(painter, page);
    painter.restore();
}

bool paintPages(QPagedPaintDevice &device, const PreparedReport &report,
                const std::vector<int> &indexes, QString *error)
{
    std::vector<int> sheets = indexes;
    if (sheets.empty())
        for (int i = 0; i < int(report.pages.size()); ++i)
            sheets.push_back(i);
    std::erase_if(sheets, [&](int i) { return i < 0 || i >= int(report.pages.size()); });
    if (sheets.empty()) {
        if (error)
            *error = QStringLiteral("В отчёте нет ни одной страницы");
        return false;
    }
    device.setPageLayout(layoutFor(report.pages[size_t(sheets.front())]));
    QPainter painter;
    if (!painter.begin(&device)) {
        if (error)
            *error = QStringLiteral("Не удалось начать печать страниц");
        return false;
    }
    for (size_t n = 0; n < sheets.size(); ++n) {
        const PreparedPage &page = report.pages[size_t(sheets[n])];
        if (n > 0) {
            device.setPageLayout(layoutFor(page));
            device.newPage();
        }
        painter.save();
        // device pixels per mm, from the device's own resolution
        const double scale = device.logicalDpiX() / 25.4;
        painter.scale(scale, device.logicalDpiY() / 25.4);
        paintPage(painter, page);
        painter.restore();
    }
    return painter.end();
}

bool writePdfFile(const PreparedReport &report, const QString &path, QString *error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        if (error)
            *error = file.errorString();
        return false;
    }
    {
        QPdfWriter writer(&file);
        writer.setResolution(1200);
        writer.setTitle(report.title);
        writer.setCreator(kProgramTitle);
        if (!paintPages(writer, report, {}, error)) {
            file.cancelWriting();
            return false;
        }
    }
    if (!file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace kront::report
