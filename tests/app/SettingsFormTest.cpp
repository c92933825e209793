#include "app/ui/SettingsForm.h"

#include "common/AppHome.h"
#include "settings/ProgramSettings.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QFile>
#include <gtest/gtest.h>

namespace kront
{
namespace
{

using test::readBytes;
using test::writeBytes;

class SettingsFormTest : public ::testing::Test
{
protected:
    void SetUp() override { AppHome::setExecutableBaseName(QStringLiteral("kront")); }
    void TearDown() override { AppHome::setExecutableBaseName(QString()); }
    QString iniPath() const { return home.config(QStringLiteral("kront.INI")); }

    test::TempHome home;
    test::ScriptedDialogs dialogs;
    ProgramSettings settings;
};

TEST_F(SettingsFormTest, WithoutSettingsFileTheFormShowsTheDefaults)
{
    const SettingsForm f = loadSettingsForm(settings, {});
    EXPECT_TRUE(settings.isLoaded());
    EXPECT_EQ(f.channelItem, 1);
    EXPECT_EQ(f.polarityItem, 1);
    EXPECT_FALSE(f.disableStabilityControl);
    EXPECT_TRUE(f.waitForFixedValue);
    EXPECT_FALSE(f.reduceResultClass);
    EXPECT_FALSE(f.offerPoverkaTermination);
    EXPECT_TRUE(f.ports.isEmpty());
    EXPECT_TRUE(settings.portName().isEmpty());
    EXPECT_FALSE(QFile::exists(iniPath())); // reading creates nothing
}

TEST_F(SettingsFormTest, TheFormShowsTheChoicesOfTheFile)
{
    writeBytes(iniPath(), "[CommunicationParams]\r\nPort=/dev/ttyUSB0\r\nTAVER-7Channel=2\r\n"
                          "BI1_TInputInvertedPolarity=5\r\n"
                          "[ProgramSettings]\r\nTemperatureStabilityControl=0\r\n"
                          "WaitForFixedValue=0\r\nReduceResultClass=1\r\n"
                          "OfferPoverkaTermination=-1\r\n");
    const SettingsForm f = loadSettingsForm(settings, {"/dev/ttyS0", "/dev/ttyUSB0"});
    EXPECT_EQ(f.channelItem, 2);
    EXPECT_EQ(f.polarityItem, 2);
    EXPECT_TRUE(f.disableStabilityControl);
    EXPECT_FALSE(f.waitForFixedValue);
    EXPECT_TRUE(f.reduceResultClass);
    EXPECT_TRUE(f.offerPoverkaTermination);
    EXPECT_EQ(settings.portName(), "/dev/ttyUSB0");
}

TEST_F(SettingsFormTest, StoredPortIsSelectedOnlyWhenItExists)
{
    QFile pty(home.path() + "/ttyTAVER");
    ASSERT_TRUE(pty.open(QIODevice::WriteOnly));
    pty.close();
    const struct {
        QString stored;
        QStringList found;
        QStringList items;
        QString selected;
    } cases[] = {
        {"/dev/ttyUSB0",
         {"/dev/ttyS0", "/dev/ttyUSB0"},
         {"/dev/ttyS0", "/dev/ttyUSB0"},
         "/dev/ttyUSB0"},
        {"/dev/ttyUSB7",
         {"/dev/ttyS0", "/dev/ttyUSB0"},
         {"/dev/ttyS0", "/dev/ttyUSB0"},
         "/dev/ttyS0"},
        {"COM1", {"/dev/ttyS1"}, {"/dev/ttyS1"}, "/dev/ttyS1"},
        {"COM1", {}, {}, ""},
        {pty.fileName(), {"/dev/ttyS0"}, {"/dev/ttyS0", pty.fileName()}, pty.fileName()},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        ASSERT_TRUE(SettingsFile().setPort(c.stored));
        const SettingsForm f = loadSettingsForm(settings, c.found);
        EXPECT_EQ(f.ports, c.items);
        EXPECT_EQ(settings.portName(), c.selected);
    }
}

TEST_F(SettingsFormTest, ConnectionChoicesAreAppliedWithThePortAsTyped)
{
    SettingsForm f = loadSettingsForm(settings, {"/dev/ttyS0"});
    settings.setPortName("/tmp/typed-port");
    f.channelItem = 2;
    f.polarityItem = 2;
    ASSERT_TRUE(applyConnection(f, settings, dialogs));
    EXPECT_EQ(readBytes(iniPath()), QByteArray("[CommunicationParams]\r\n"
                                               "Port=/tmp/typed-port\r\n"
                                               "TAVER-7Channel=2\r\n"
                                               "BI1_TInputInvertedPolarity=1\r\n"));
    EXPECT_EQ(settings.taver7Channel(), 2);
    EXPECT_TRUE(settings.bi1TInputInvertedPolarity());
}

TEST_F(SettingsFormTest, ChannelThreeSelectsNothingAndIsNotWrittenBack)
{
    writeBytes(iniPath(), "[CommunicationParams]\r\nTAVER-7Channel=3\r\n");
    const SettingsForm f = loadSettingsForm(settings, {});
    EXPECT_EQ(f.channelItem, 0);
    EXPECT_EQ(settings.taver7Channel(), 3);
    ASSERT_TRUE(applyConnection(f, settings, dialogs));
    EXPECT_EQ(settings.taver7Channel(), 0);
    EXPECT_EQ(SettingsFile().taver7Channel(), 3);
    EXPECT_EQ(SettingsFile().port(), ""); // no port found: an empty port is written
}

TEST_F(SettingsFormTest, ProgramOptionsAreAppliedAndLoadBackIntoTheForm)
{
    SettingsForm f = loadSettingsForm(settings, {});
    f.disableStabilityControl = true;
    f.waitForFixedValue = false;
    f.reduceResultClass = true;
    f.offerPoverkaTermination = true;
    ASSERT_TRUE(applyProgramOptions(f, settings, dialogs));
    EXPECT_FALSE(settings.temperatureStabilityControl());
    EXPECT_FALSE(settings.waitForFixedValue());
    EXPECT_TRUE(settings.reduceResultClass());
    EXPECT_TRUE(settings.offerPoverkaTermination());

    ProgramSettings again;
    const SettingsForm shown = loadSettingsForm(again, {});
    EXPECT_TRUE(shown.disableStabilityControl);
    EXPECT_FALSE(shown.waitForFixedValue);
    EXPECT_TRUE(shown.reduceResultClass);
    EXPECT_TRUE(shown.offerPoverkaTermination);
}

} // namespace
} // namespace kront
