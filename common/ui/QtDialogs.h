#pragma once

#include "common/Dialogs.h"

class QWidget;

namespace kront
{

// The real modal dialogs: message boxes with Russian button texts, the
// one-line input box and the platform's open and save file dialogs.
class QtDialogs : public Dialogs
{
public:
    // parent: the window the dialogs are centred on; when null, the active
    // window at the moment a dialog is shown.
    explicit QtDialogs(QWidget *parent = nullptr);

    Answer message(const QString &caption, Icon icon, const QString &text,
                   Buttons buttons) override;
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &preset) override;
    QString openFileName(const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter,
                         const QString &defaultSuffix) override;

private:
    QWidget *parentWidget() const;

    QWidget *parent;
};

// The dialogs of the running program (a QtDialogs without a fixed parent).
Dialogs &programDialogs();

} // namespace kront
