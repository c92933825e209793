#pragma once

#include "app/ui/ApplicationWindows.h"
#include "common/AppHome.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace kront::test
{

// A fresh program home with the help pages, and the program's windows (with
// the settings, the current verification and the channel bunches they own)
// created on demand against scripted dialogs.
class AppFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AppHome::setExecutableBaseName(QStringLiteral("kront"));
        const QDir help(QStringLiteral(KRONT_SOURCE_DIR "/resources/help"));
        for (const QString &page : help.entryList(QDir::Files))
            QFile::copy(help.filePath(page), home.path() + "/Help/" + page);
    }
    void TearDown() override
    {
        windows.reset();
        AppHome::setExecutableBaseName(QString());
    }

    ApplicationWindows &createWindows()
    {
        windows = std::make_unique<ApplicationWindows>(dialogs);
        windows->setPortLister([this] { return ports; });
        windows->create();
        return *windows;
    }

    TempHome home;
    ScriptedDialogs dialogs;
    QStringList ports{QStringLiteral("/dev/ttyS0"), QStringLiteral("/dev/ttyUSB0")};
    std::unique_ptr<ApplicationWindows> windows;
};

} // namespace kront::test
