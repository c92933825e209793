#include "app/ui/TFormProgress.h"

#include "common/ui/HelpContext.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>
#include <algorithm>

namespace kront
{

TFormProgress::TFormProgress(QWidget *owner)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      Label1(new QLabel), ProgressBar1(new QProgressBar)
{
    setObjectName(QStringLiteral("TFormProgress"));
    setHelpTopic(this, 10);
    Label1->setObjectName(QStringLiteral("Label1"));
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setOrientation(Qt::Horizontal);
    ProgressBar1->setTextVisible(false);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(Label1);
    layout->addWidget(ProgressBar1);
    setFixedSize(360, 90);
    setModal(false);
}

void TFormProgress::stepIt()
{
    ProgressBar1->setValue(std::min(ProgressBar1->value() + barStep, ProgressBar1->maximum()));
    ProgressBar1->repaint(); // the exchange that follows blocks the event loop
}

void TFormProgress::start(const QString &title, const QString &label, int maximum)
{
    setWindowTitle(title);
    Label1->setText(label);
    ProgressBar1->setRange(0, maximum);
    ProgressBar1->setValue(0);
    barStep = 1;
    centreOnOwner();
    show();
    // Let the window appear before the blocking exchanges start; input
    // stays queued.
    QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

void TFormProgress::setLabel(const QString &label)
{
    Label1->setText(label);
    Label1->repaint();
}

void TFormProgress::finish()
{
    Label1->clear();
    setWindowTitle(QString());
    ProgressBar1->setValue(0);
    close();
}

void TFormProgress::centreOnOwner()
{
    if (QWidget *owner = parentWidget())
        move(owner->geometry().center() - rect().center());
}

} // namespace kront
