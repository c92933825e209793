#pragma once

#include "common/AppHome.h"

#include <QDir>
#include <QTemporaryDir>

namespace kront::test
{

// A fresh program home with empty Data/, Config/, Protocol/ and Help/
// folders, made the program's home for the lifetime of the object. The
// installed defaults are looked for in defaults(), which does not exist
// until a test puts files there.
class TempHome
{
public:
    TempHome()
    {
        QDir d(dir.path());
        for (const char *sub : {"Data", "Config", "Protocol", "Help"})
            d.mkpath(QString::fromLatin1(sub));
        AppHome::set(dir.path());
        AppHome::setDefaultsDir(defaults());
    }
    QString path() const { return dir.path(); }
    QString data(const QString &name) const { return dir.path() + "/Data/" + name; }
    QString config(const QString &name) const { return dir.path() + "/Config/" + name; }
    QString defaults() const { return dir.path() + "/share/kront"; }

private:
    QTemporaryDir dir;
};

} // namespace kront::test
