#include "app/ui/HelpViewer.h"

#include "common/AppHome.h"
#include "common/Dialogs.h"
#include "common/ui/HelpContext.h"

#include <QApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace kront
{

HelpViewer::HelpViewer(QWidget *parent) : QWidget(parent, Qt::Window), view(new QTextBrowser)
{
    setObjectName(QStringLiteral("HelpViewer"));
    setWindowTitle(QStringLiteral("Справка - ") + kProgramTitle);
    resize(720, 540);
    view->setObjectName(QStringLiteral("HelpBrowser"));
    view->setOpenExternalLinks(true);

    auto *contents = new QPushButton(QStringLiteral("Содержание"));
    auto *back = new QPushButton(QStringLiteral("Назад"));
    auto *forward = new QPushButton(QStringLiteral("Вперёд"));
    auto *close = new QPushButton(QStringLiteral("Закрыть"));
    connect(contents, &QPushButton::clicked, this, &HelpViewer::showContents);
    connect(back, &QPushButton::clicked, view, &QTextBrowser::backward);
    connect(forward, &QPushButton::clicked, view, &QTextBrowser::forward);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(view, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    connect(view, &QTextBrowser::forwardAvailable, forward, &QPushButton::setEnabled);
    back->setEnabled(false);
    forward->setEnabled(false);

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addWidget(forward);
    buttons->addStretch();
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(view);
}

QString HelpViewer::pagePath(int topic)
{
    return AppHome::helpFile(QStringLiteral("%1.html").arg(topic));
}

QString HelpViewer::contentsPath()
{
    return AppHome::helpFile(QStringLiteral("index.html"));
}

void HelpViewer::showContents()
{
    open(contentsPath());
    present();
}

void HelpViewer::showTopic(int topic)
{
    open(topic > 0 ? pagePath(topic) : contentsPath());
    present();
}

void HelpViewer::open(const QString &path)
{
    page = path;
    if (QFileInfo(path).isFile()) {
        view->setSource(QUrl::fromLocalFile(path));
        return;
    }
    view->setHtml(QStringLiteral("<h2>Раздел справки не найден</h2><p>Нет файла %1.</p>")
                      .arg(path.toHtmlEscaped()));
}

void HelpViewer::present()
{
    // From inside a modal window the help must stay usable: it is shown
    // modal over that window; otherwise it is an ordinary window.
    QWidget *modal = QApplication::activeModalWidget();
    const Qt::WindowModality wanted =
        (modal && modal != this) ? Qt::ApplicationModal : Qt::NonModal;
    if (windowModality() != wanted) {
        hide();
        setWindowModality(wanted);
    }
    show();
    raise();
    activateWindow();
}

HelpKeyFilter::HelpKeyFilter(HelpViewer &help, QObject *parent) : QObject(parent), viewer(help) {}

bool HelpKeyFilter::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || static_cast<QKeyEvent *>(event)->key() != Qt::Key_F1)
        return false;
    auto *widget = qobject_cast<QWidget *>(watched);
    if (!widget || widget->window() == viewer.window())
        return false;
    viewer.showTopic(helpTopicOf(widget));
    return true;
}

} // namespace kront
