#include "app/ui/TFormAbout.h"

#include "common/AppHome.h"
#include "common/Dialogs.h"
#include "common/ui/HelpContext.h"

#include <QDesktopServices>
#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

namespace kront
{

namespace
{

// The maker's contact block.
const QString kMakerName = QStringLiteral("ООО «Лабсофт-Метрология»");
const QString kMakerAddress =
    QStringLiteral("Россия, 100000, г. Образцово, ул. Лабораторная, д. 1, офис 10");
const QString kMakerPhone = QStringLiteral("Тел./факс: +7 (000) 000-00-00");
const QString kWebSite = QStringLiteral("www.labsoft-metrology.example");
const QString kMail = QStringLiteral("support@labsoft-metrology.example");

QPixmap aboutPicture()
{
    QPixmap picture(96, 96);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(0xC0, 0x39, 0x2B));
    p.setPen(Qt::NoPen);
    p.drawRoundedRect(QRectF(34, 8, 28, 80), 14, 14); // a thermometer
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(42, 16, 12, 52), 6, 6);
    p.setBrush(QColor(0xC0, 0x39, 0x2B));
    p.drawRect(QRectF(44, 40, 8, 30));
    return picture;
}

} // namespace

QString versionLabelText(const std::optional<std::array<int, 4>> &version)
{
    QString text = QStringLiteral("Версия ");
    if (version)
        text += QString::asprintf("%d.%d.%d.%d", (*version)[0], (*version)[1], (*version)[2],
                                  (*version)[3]);
    return text;
}

QString homeLabelText(const QString &home)
{
    return QStringLiteral("Папка данных: ") + QDir::toNativeSeparators(home);
}

std::optional<std::array<int, 4>> programVersion()
{
#if defined(KRONT_VERSION_MAJOR) && defined(KRONT_VERSION_MINOR) &&                                \
    defined(KRONT_VERSION_PATCH) && defined(KRONT_VERSION_TWEAK)
    // An empty part of the project version counts as 0.
    return std::array<int, 4>{KRONT_VERSION_MAJOR + 0, KRONT_VERSION_MINOR + 0,
                              KRONT_VERSION_PATCH + 0, KRONT_VERSION_TWEAK + 0};
#else
    return std::nullopt;
#endif
}

LinkLabel::LinkLabel(const QString &text, const QUrl &target, QWidget *parent)
    : QLabel(text, parent), url(target)
{
    setCursor(Qt::PointingHandCursor);
    connect(this, &LinkLabel::activated, [](const QUrl &u) { QDesktopServices::openUrl(u); });
}

void LinkLabel::setHighlighted(bool on)
{
    highlighted = on;
    QFont f = font();
    f.setUnderline(on);
    setFont(f);
    setStyleSheet(on ? QStringLiteral("color: blue;") : QString());
}

void LinkLabel::enterEvent(QEnterEvent *event)
{
    setHighlighted(true);
    QLabel::enterEvent(event);
}

void LinkLabel::leaveEvent(QEvent *event)
{
    setHighlighted(false);
    QLabel::leaveEvent(event);
}

void LinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT activated(url);
    QLabel::mouseReleaseEvent(event);
}

TFormAbout::TFormAbout(QWidget *owner)
    : QDialog(owner, Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      LabelVersion(new QLabel(versionLabelText(programVersion()))),
      LabelHome(new QLabel(homeLabelText(AppHome::dir()))),
      LabelWebSite(new LinkLabel(kWebSite, QUrl(QStringLiteral("https://") + kWebSite))),
      LabelMail(new LinkLabel(kMail, QUrl(QStringLiteral("mailto:") + kMail)))
{
    setObjectName(QStringLiteral("TFormAbout"));
    setWindowTitle(QStringLiteral("О программе..."));
    setModal(true);
    setHelpTopic(this, 1);
    LabelVersion->setObjectName(QStringLiteral("LabelVersion"));
    LabelHome->setObjectName(QStringLiteral("LabelHome"));
    LabelWebSite->setObjectName(QStringLiteral("LabelWebSite"));
    LabelMail->setObjectName(QStringLiteral("LabelMail"));

    auto *picture = new QLabel;
    picture->setObjectName(QStringLiteral("ImageLogo"));
    picture->setPixmap(aboutPicture());
    auto *product = new QLabel(QStringLiteral("<b>") + kProgramTitle +
                               QStringLiteral("</b><br>Поверка термоэлектрических "
                                              "преобразователей по ГОСТ 8.338-2002"));
    product->setObjectName(QStringLiteral("LabelProduct"));
    auto *contacts = new QLabel(kMakerName + u'\n' + kMakerAddress + u'\n' + kMakerPhone);
    contacts->setObjectName(QStringLiteral("LabelContacts"));

    auto *texts = new QVBoxLayout;
    texts->addWidget(product);
    texts->addWidget(LabelVersion);
    texts->addWidget(LabelHome);
    texts->addSpacing(8);
    texts->addWidget(contacts);
    texts->addWidget(LabelWebSite);
    texts->addWidget(LabelMail);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(picture, 0, Qt::AlignTop);
    layout->addLayout(texts);
    setFixedSize(sizeHint());
}

void TFormAbout::keyPressEvent(QKeyEvent *event)
{
    // F1 is taken by the help before it reaches here; any other key closes.
    event->accept();
    accept();
}

void TFormAbout::showEvent(QShowEvent *event)
{
    if (QWidget *owner = parentWidget())
        move(owner->geometry().center() - rect().center());
    QDialog::showEvent(event);
}

} // namespace kront
