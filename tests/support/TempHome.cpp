#include "tests/support/TempHome.h"

#include "settings/SettingsFile.h"

#include <gtest/gtest.h>

namespace kront::test
{

TempHome::TempHome(Store store)
{
    QDir d(dir.path());
    for (const char *sub : {"Data", "Config", "Protocol", "Help"})
        d.mkpath(QString::fromLatin1(sub));
    AppHome::set(dir.path());
    AppHome::setDefaultsDir(defaults());
    if (store == Store::Server || onServerStore())
        useServer();
}

void TempHome::useServer()
{
    QString error;
    server = testServer.freshServerDatabase(&error);
    if (!server) {
        ADD_FAILURE() << "no database on the test server: " << error.toStdString();
        return;
    }
    for (const QString &ini : {SettingsFile::defaultPath(), config(QStringLiteral("kront.INI"))}) {
        if (!saveStoreSettings(*server, ini))
            ADD_FAILURE() << "the store settings could not be written to " << ini.toStdString();
    }
}

} // namespace kront::test
