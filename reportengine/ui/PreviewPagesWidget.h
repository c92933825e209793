#pragma once

#include "reportengine/PreparedReport.h"

#include <QWidget>

namespace kront::report
{

// The sheets of a prepared report one below the other, on a grey desk, at a
// zoom factor (1.0 = natural size on this screen).
class PreviewPagesWidget : public QWidget
{
    Q_OBJECT
public:
    explicit PreviewPagesWidget(const PreparedReport &report, QWidget *parent = nullptr);

    double zoom() const { return factor; }
    void setZoom(double zoom); // clamped to 0.1..5
    // Zoom at which a sheet `index` fills `width` (or the whole `viewport`).
    double zoomForWidth(int index, int width) const;
    double zoomForPage(int index, const QSize &viewport) const;

    // Top of sheet `index` in widget pixels, and the sheet at height `y`.
    int pageTop(int index) const;
    int pageAt(int y) const;
    int pageCount() const { return int(report.pages.size()); }

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double pixelsPerMm() const;
    QSize pageSizePx(int index) const;

    const PreparedReport &report;
    double factor = 1.0;
    static constexpr int kGap = 16; // pixels between sheets
};

} // namespace kront::report
