#pragma once

#include "common/Dialogs.h"

#include <QTextStream>

namespace kront::cli
{

// Messages of the core go to stderr; questions are answered "no" and
// inputs are cancelled, since nobody is there to answer them.
class StderrDialogs : public Dialogs
{
public:
    explicit StderrDialogs(QTextStream &err) : err(err) {}

    Answer message(const QString &, Icon icon, const QString &text, Buttons buttons) override
    {
        err << text << Qt::endl;
        if (icon == Icon::Error)
            errorShown = true;
        return buttons == Buttons::Ok
                   ? Answer::Ok
                   : (buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No);
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFileName(const QString &, const QString &, const QString &) override
    {
        return QString();
    }
    QString saveFileName(const QString &, const QString &, const QString &,
                         const QString &) override
    {
        return QString();
    }

    bool errorShown = false;

private:
    QTextStream &err;
};

} // namespace kront::cli
