#include "app/ui/TrainingWindows.h"

#include "common/TrainingMode.h"
#include "procedure/ui/TFormPoverkaTP.h"

#include <QApplication>
#include <QEvent>
#include <QRegularExpression>
#include <QSaveFile>
#include <QWidget>

namespace kront
{

bool TrainingTitles::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::WindowTitleChange || event->type() == QEvent::Show) {
        auto *w = qobject_cast<QWidget *>(watched);
        if (w && w->isWindow()) {
            const QString marked = TrainingMode::markedTitle(w->windowTitle());
            if (marked != w->windowTitle())
                w->setWindowTitle(marked);
        }
    }
    return QObject::eventFilter(watched, event);
}

TrainingStepDialogs::TrainingStepDialogs(Dialogs &dialogs, const QString &file)
    : shown(dialogs), stepFile(file)
{
}

QString TrainingStepDialogs::stepText(const QString &wizardStep, const QString &prompt)
{
    QStringList sentences;
    for (const QString &line :
         prompt.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts)) {
        if (!line.startsWith(QStringLiteral("Затем нажмите")) &&
            !line.startsWith(QStringLiteral("После стабилизации")))
            sentences << line.trimmed();
    }
    const QString action = sentences.join(u' ');
    return wizardStep.isEmpty() ? action : wizardStep + QStringLiteral(": ") + action;
}

void TrainingStepDialogs::writeStep(const QString &prompt)
{
    QString step;
    for (QWidget *w : QApplication::topLevelWidgets()) {
        if (auto *wizard = qobject_cast<TFormPoverkaTP *>(w); wizard && wizard->isVisible())
            step = wizard->subtitle();
    }
    QSaveFile f(stepFile);
    if (!f.open(QIODevice::WriteOnly))
        return; // the simulator's hint is a convenience; the prompt itself is shown
    f.write(stepText(step, prompt).toUtf8() + '\n');
    f.commit();
}

Dialogs::Answer TrainingStepDialogs::message(const QString &caption, Icon icon, const QString &text,
                                             Buttons buttons)
{
    if (text.startsWith(QStringLiteral("Установите")))
        writeStep(text);
    return shown.message(caption, icon, text, buttons);
}

std::optional<QString> TrainingStepDialogs::input(const QString &caption, const QString &prompt,
                                                  const QString &preset)
{
    return shown.input(caption, prompt, preset);
}

QString TrainingStepDialogs::openFileName(const QString &caption, const QString &dir,
                                          const QString &filter)
{
    return shown.openFileName(caption, dir, filter);
}

QString TrainingStepDialogs::saveFileName(const QString &caption, const QString &dir,
                                          const QString &filter, const QString &defaultSuffix)
{
    return shown.saveFileName(caption, dir, filter, defaultSuffix);
}

} // namespace kront
