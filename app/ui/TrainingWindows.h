#pragma once

#include "common/Dialogs.h"

#include <QObject>

namespace kront
{

// In the training mode every window's title bar says "УЧЕБНЫЙ РЕЖИМ": an
// application-wide filter adds the mark to each window title as it is set.
class TrainingTitles : public QObject
{
public:
    explicit TrainingTitles(QObject *parent = nullptr) : QObject(parent) {}
    bool eventFilter(QObject *watched, QEvent *event) override;
};

// The program's dialogs as the trainee sees them; besides, each prompt for
// an action on the installation ("Установите ...") is written with the
// wizard's current step to the file the simulator's control window shows
// as the expected step (<simulator link>.step).
class TrainingStepDialogs : public Dialogs
{
public:
    TrainingStepDialogs(Dialogs &shown, const QString &stepFile);

    Answer message(const QString &caption, Icon icon, const QString &text,
                   Buttons buttons) override;
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &preset) override;
    QString openFileName(const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter,
                         const QString &defaultSuffix) override;

    // The line the simulator shows for a prompt: the wizard's step and the
    // prompt's instructions, without the closing "press OK".
    static QString stepText(const QString &wizardStep, const QString &prompt);

private:
    void writeStep(const QString &prompt);

    Dialogs &shown;
    QString stepFile;
};

} // namespace kront
