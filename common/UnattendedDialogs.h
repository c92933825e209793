#pragma once

#include "common/Dialogs.h"

namespace kront
{

// Dialogs for programs nobody sits at (the command line, benchmarks, child
// processes of tests): every message goes to note(), questions are answered
// No (Cancel for OK/Cancel), inputs and file dialogs are cancelled.
class UnattendedDialogs : public Dialogs
{
public:
    Answer message(const QString &, Icon icon, const QString &text, Buttons buttons) override
    {
        note(icon, text);
        switch (buttons) {
        case Buttons::Ok: return Answer::Ok;
        case Buttons::OkCancel: return Answer::Cancel;
        case Buttons::YesNo:
        case Buttons::YesNoCancel: return Answer::No;
        }
        return Answer::No;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &,
                         const QString &) override
    {
        return {};
    }

protected:
    virtual void note(Icon icon, const QString &text) = 0;
};

} // namespace kront
