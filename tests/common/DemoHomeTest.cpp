// The demo home starts from the installed demo data, keeps what the trainee
// did in it, and never takes over a folder that may hold a lab's data.

#include "common/DemoHome.h"
#include "common/AppHome.h"
#include "common/IniFile.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/FileBytes.h"

namespace kront
{
namespace
{

using test::readBytes;
using test::writeBytes;

struct DemoHomeTest : ::testing::Test {
    QTemporaryDir root;
    QString defaults = root.filePath("share/kront");
    QString savedDefaults = AppHome::defaultsDir();

    void SetUp() override
    {
        QDir().mkpath(defaults + "/demo/Data");
        QDir().mkpath(defaults + "/demo/Config");
        writeBytes(defaults + "/demo/Data/Poverki.db", "demo tables");
        writeBytes(defaults + "/demo/Config/Демо.sst", "TP\r\n");
        AppHome::setDefaultsDir(defaults);
    }
    void TearDown() override { AppHome::setDefaultsDir(savedDefaults); }
};

TEST_F(DemoHomeTest, ANewDemoHomeGetsTheDemoDataAndTheSimulatorsPort)
{
    const QString lab = root.filePath("lab");
    const QString home = DemoHome::dirFor(lab);
    EXPECT_EQ(home, lab + "-demo");
    QString error;
    ASSERT_TRUE(DemoHome::prepare(home, &error)) << error.toStdString();
    EXPECT_TRUE(DemoHome::isDemoHome(home));
    EXPECT_EQ(DemoHome::dirFor(home), home); // a demo home is its own
    EXPECT_EQ(readBytes(home + "/Data/Poverki.db"), "demo tables");
    EXPECT_EQ(readBytes(home + "/Config/Демо.sst"), "TP\r\n");
    const IniFile ini(home + "/Config/" + AppHome::executableBaseName() + ".INI");
    EXPECT_EQ(ini.readString("CommunicationParams", "Port", ""), home + "/taver");
    EXPECT_EQ(ini.readInteger("CommunicationParams", "TAVER-7Channel", 0), 1);
    EXPECT_FALSE(QDir(lab).exists());
}

TEST_F(DemoHomeTest, WhatTheTraineeDidIsKeptOnTheNextStart)
{
    const QString home = root.filePath("demo");
    ASSERT_TRUE(DemoHome::prepare(home, nullptr));
    writeBytes(home + "/Data/Poverki.db", "four verifications");
    writeBytes(home + "/Config/Демо.sst", "TP\r\nedited\r\n");
    IniFile(home + "/Config/" + AppHome::executableBaseName() + ".INI")
        .writeString("CommunicationParams", "Port", "/tmp/other");
    ASSERT_TRUE(DemoHome::prepare(home, nullptr));
    EXPECT_EQ(readBytes(home + "/Data/Poverki.db"), "four verifications");
    EXPECT_EQ(readBytes(home + "/Config/Демо.sst"), "TP\r\nedited\r\n");
    EXPECT_EQ(IniFile(home + "/Config/" + AppHome::executableBaseName() + ".INI")
                  .readString("CommunicationParams", "Port", ""),
              "/tmp/other");
}

TEST_F(DemoHomeTest, AFolderWithOtherFilesIsNotMadeADemoHome)
{
    const QString lab = root.filePath("lab-demo");
    QDir().mkpath(lab + "/Data");
    writeBytes(lab + "/Data/Poverki.db", "the lab's tables");
    QString error;
    EXPECT_FALSE(DemoHome::prepare(lab, &error));
    EXPECT_TRUE(error.contains("не является демонстрационной")) << error.toStdString();
    EXPECT_EQ(readBytes(lab + "/Data/Poverki.db"), "the lab's tables");
    EXPECT_FALSE(DemoHome::isDemoHome(lab));
    EXPECT_FALSE(QDir(lab).exists("Config"));
}

} // namespace
} // namespace kront
