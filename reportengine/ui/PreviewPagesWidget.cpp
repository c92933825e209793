#include "reportengine/ui/PreviewPagesWidget.h"

#include "reportengine/PagePainter.h"

#include <QPaintEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace kront::report
{

PreviewPagesWidget::PreviewPagesWidget(const PreparedReport &r, QWidget *parent)
    : QWidget(parent), report(r)
{
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0x80, 0x80, 0x80));
    setPalette(pal);
    resize(sizeHint());
}

double PreviewPagesWidget::pixelsPerMm() const
{
    return logicalDpiX() / 25.4 * factor;
}

void PreviewPagesWidget::setZoom(double zoom)
{
    factor = std::clamp(zoom, 0.1, 5.0);
    resize(sizeHint());
    update();
}

QSize PreviewPagesWidget::pageSizePx(int index) const
{
    const QSizeF mm = report.pages[size_t(index)].size;
    return QSize(int(std::lround(mm.width() * pixelsPerMm())),
                 int(std::lround(mm.height() * pixelsPerMm())));
}

double PreviewPagesWidget::zoomForWidth(int index, int width) const
{
    if (index < 0 || index >= pageCount())
        return factor;
    const double mm = report.pages[size_t(index)].size.width();
    return (width - 2 * kGap) / (mm * logicalDpiX() / 25.4);
}

double PreviewPagesWidget::zoomForPage(int index, const QSize &viewport) const
{
    if (index < 0 || index >= pageCount())
        return factor;
    const QSizeF mm = report.pages[size_t(index)].size;
    const double perMm = logicalDpiX() / 25.4;
    return std::min((viewport.width() - 2 * kGap) / (mm.width() * perMm),
                    (viewport.height() - 2 * kGap) / (mm.height() * perMm));
}

int PreviewPagesWidget::pageTop(int index) const
{
    int y = kGap;
    for (int i = 0; i < index && i < pageCount(); ++i)
        y += pageSizePx(i).height() + kGap;
    return y;
}

int PreviewPagesWidget::pageAt(int y) const
{
    int top = kGap;
    for (int i = 0; i < pageCount(); ++i) {
        top += pageSizePx(i).height() + kGap;
        if (y < top)
            return i;
    }
    return std::max(0, pageCount() - 1);
}

QSize PreviewPagesWidget::sizeHint() const
{
    int width = 0;
    for (int i = 0; i < pageCount(); ++i)
        width = std::max(width, pageSizePx(i).width());
    return QSize(width + 2 * kGap, pageTop(pageCount()));
}

void PreviewPagesWidget::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    int top = kGap;
    for (int i = 0; i < pageCount(); ++i) {
        const QSize size = pageSizePx(i);
        const QRect sheet(std::max(kGap, (width() - size.width()) / 2), top, size.width(),
                          size.height());
        top += size.height() + kGap;
        if (!event->rect().intersects(sheet.adjusted(0, 0, 3, 3)))
            continue;
        painter.fillRect(sheet.translated(3, 3), QColor(0x50, 0x50, 0x50));
        painter.fillRect(sheet, Qt::white);
        painter.save();
        painter.setClipRect(sheet);
        painter.translate(sheet.topLeft());
        painter.scale(pixelsPerMm(), pixelsPerMm());
        paintPage(painter, report.pages[size_t(i)]);
        painter.restore();
    }
}

} // namespace kront::report
