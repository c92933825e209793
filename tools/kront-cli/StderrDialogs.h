#pragma once

#include "common/UnattendedDialogs.h"

#include <QTextStream>

namespace kront::cli
{

// Messages of the core go to stderr; questions are answered "no" and
// inputs are cancelled, since nobody is there to answer them.
class StderrDialogs : public UnattendedDialogs
{
public:
    explicit StderrDialogs(QTextStream &errors) : err(errors) {}

    bool errorShown = false;

protected:
    void note(Icon icon, const QString &text) override
    {
        err << text << Qt::endl;
        if (icon == Icon::Error)
            errorShown = true;
    }

private:
    QTextStream &err;
};

} // namespace kront::cli
