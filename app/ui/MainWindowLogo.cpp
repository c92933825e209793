#include "app/ui/MainWindowLogo.h"

#include <QLinearGradient>
#include <QPainter>

namespace kront
{

MainWindowLogo::MainWindowLogo(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("ImageLogo"));
}

void MainWindowLogo::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient background(rect().topLeft(), rect().bottomLeft());
    background.setColorAt(0, QColor(0xF4, 0xF6, 0xF8));
    background.setColorAt(1, QColor(0xD6, 0xDE, 0xE6));
    p.fillRect(rect(), background);

    QFont title = font();
    title.setPointSize(48);
    title.setBold(true);
    p.setFont(title);
    p.setPen(QColor(0x2C, 0x3E, 0x50));
    QRect upper = rect();
    upper.setBottom(rect().center().y());
    p.drawText(upper, Qt::AlignHCenter | Qt::AlignBottom, QStringLiteral("КРОНТ-2М"));

    QFont subtitle = font();
    subtitle.setPointSize(14);
    p.setFont(subtitle);
    QRect lower = rect();
    lower.setTop(rect().center().y() + 12);
    p.drawText(lower, Qt::AlignHCenter | Qt::AlignTop,
               QStringLiteral("Поверка рабочих термоэлектрических преобразователей\n"
                              "по ГОСТ 8.338-2002"));
}

} // namespace kront
