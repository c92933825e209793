// Where the program keeps a lab's files: beside an executable it may write
// beside, else (an installed program) under XDG_DATA_HOME; --home and
// KRONT_HOME win. A new home is filled from the installed defaults without
// touching what the lab already has.

#include "common/AppHome.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/FileBytes.h"

namespace kront
{
namespace
{

using test::readBytes;
using test::writeBytes;

TEST(AppHomeTest, HomeIsChosenByOptionEnvironmentExecutableFolderThenXdg)
{
    struct Case {
        HomeSources sources;
        QString home;
    };
    const QString exe = QStringLiteral("/opt/lab/kront");
    const QString user = QStringLiteral("/home/op");
    const Case cases[] = {
        {{"/labs/a", "/labs/b", exe, true, "/xdg", user}, "/labs/a"},
        {{"", "/labs/b", exe, true, "/xdg", user}, "/labs/b"},
        {{"/labs/a", "", exe, false, "", user}, "/labs/a"},
        {{"", "", exe, true, "/xdg", user}, exe},
        // Installed: the executable's folder is not writable.
        {{"", "", "/usr/bin", false, "/xdg", user}, "/xdg/kront"},
        {{"", "", "/usr/bin", false, "/xdg/", user}, "/xdg/kront"},
        {{"", "", "/usr/bin", false, "", user}, "/home/op/.local/share/kront"},
        {{"", "", "/usr/bin", false, "relative/xdg", user}, "/home/op/.local/share/kront"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AppHome::chooseHome(c.sources), c.home)
            << c.sources.option.toStdString() << '|' << c.sources.environment.toStdString() << '|'
            << c.sources.executableDirWritable << '|' << c.sources.xdgDataHome.toStdString();
}

TEST(AppHomeTest, WritableExecutableFolderHoldsTheHome)
{
    QTemporaryDir copied;
    EXPECT_TRUE(AppHome::executableDirHoldsHome(copied.path()));
    EXPECT_FALSE(AppHome::executableDirHoldsHome(copied.path() + QStringLiteral("/missing")));
}

class AppHomeDefaultsTest : public ::testing::Test
{
protected:
    QTemporaryDir root;
    QString defaults() const { return root.path() + QStringLiteral("/usr/share/kront"); }
    QString xdg() const { return root.path() + QStringLiteral("/xdg"); }

    void SetUp() override
    {
        // The package's defaults, as installed from the sources.
        for (const char *sub : {"protocol", "config"}) {
            const QDir source(QStringLiteral(KRONT_SOURCE_DIR "/resources/") + QLatin1String(sub));
            const QString to =
                defaults() + u'/' +
                (QLatin1String(sub) == QLatin1String("protocol") ? QStringLiteral("Protocol")
                                                                 : QStringLiteral("Config"));
            ASSERT_TRUE(QDir().mkpath(to));
            for (const QString &name : source.entryList(QDir::Files))
                ASSERT_TRUE(QFile::copy(source.filePath(name), to + u'/' + name));
        }
        AppHome::setDefaultsDir(defaults());
        // An installed program started with XDG_DATA_HOME set.
        HomeSources installed;
        installed.executableDir = root.path() + QStringLiteral("/usr/bin");
        installed.executableDirWritable = false;
        installed.xdgDataHome = xdg();
        installed.userHome = root.path();
        AppHome::set(AppHome::chooseHome(installed));
    }
};

TEST_F(AppHomeDefaultsTest, InstalledProgramGetsItsHomeUnderXdgWithTemplatesAndMeansList)
{
    const QString home = xdg() + QStringLiteral("/kront");
    ASSERT_EQ(AppHome::dir(), home);
    QString error;
    ASSERT_TRUE(AppHome::fillFromDefaults(&error)) << error.toStdString();

    for (const char *sub : {"Data", "Config", "Protocol"})
        EXPECT_TRUE(QFileInfo(home + u'/' + QLatin1String(sub)).isDir()) << sub;
    const QStringList templates =
        QDir(defaults() + QStringLiteral("/Protocol")).entryList(QDir::Files);
    ASSERT_EQ(templates.size(), 4);
    EXPECT_EQ(QDir(home + QStringLiteral("/Protocol")).entryList(QDir::Files), templates);
    for (const QString &name : templates)
        EXPECT_EQ(AppHome::templateFile(name), home + QStringLiteral("/Protocol/") + name);
    EXPECT_EQ(readBytes(AppHome::configFile(QStringLiteral("EquipParamsTP.INI"))),
              readBytes(defaults() + QStringLiteral("/Config/EquipParamsTP.INI")));
}

TEST_F(AppHomeDefaultsTest, FillingKeepsTheLabsOwnFilesAndAddsOnlyWhatIsMissing)
{
    const QString protocol = QStringLiteral("Свидетельство ТП.fr3");
    ASSERT_TRUE(QDir().mkpath(AppHome::protocolDir()));
    ASSERT_TRUE(QDir().mkpath(AppHome::configDir()));
    writeBytes(AppHome::protocolFile(protocol), "lab's own certificate");
    writeBytes(AppHome::configFile(QStringLiteral("EquipParamsTP.INI")), "lab's means\r\n");

    ASSERT_TRUE(AppHome::fillFromDefaults());
    ASSERT_TRUE(AppHome::fillFromDefaults()); // a second start changes nothing
    EXPECT_EQ(readBytes(AppHome::protocolFile(protocol)), "lab's own certificate");
    EXPECT_EQ(readBytes(AppHome::configFile(QStringLiteral("EquipParamsTP.INI"))),
              "lab's means\r\n");
    EXPECT_EQ(QDir(AppHome::protocolDir()).entryList(QDir::Files).size(), 4);
}

TEST_F(AppHomeDefaultsTest, HelpPagesFallBackToTheInstalledOnes)
{
    const QString installed = defaults() + QStringLiteral("/Help/7.html");
    ASSERT_TRUE(QDir().mkpath(defaults() + QStringLiteral("/Help")));
    writeBytes(installed, "<html></html>");
    EXPECT_EQ(AppHome::helpFile(QStringLiteral("7.html")), installed);
    EXPECT_EQ(AppHome::helpFile(QStringLiteral("99.html")), AppHome::helpDir() + "/99.html");
    ASSERT_TRUE(QDir().mkpath(AppHome::helpDir()));
    writeBytes(AppHome::helpDir() + "/7.html", "<html>lab</html>");
    EXPECT_EQ(AppHome::helpFile(QStringLiteral("7.html")), AppHome::helpDir() + "/7.html");
}

TEST_F(AppHomeDefaultsTest, HomeThatCannotBeMadeIsReported)
{
    writeBytes(root.path() + QStringLiteral("/file"), "x");
    AppHome::set(root.path() + QStringLiteral("/file/home"));
    QString error;
    EXPECT_FALSE(AppHome::fillFromDefaults(&error));
    EXPECT_TRUE(error.startsWith(QStringLiteral("Не удалось создать папку ")))
        << error.toStdString();
}

} // namespace
} // namespace kront
