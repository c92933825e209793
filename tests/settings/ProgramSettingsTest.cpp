#include "settings/ProgramSettings.h"
#include "settings/EquipParamsFile.h"
#include "settings/OrganName.h"
#include "settings/ProtIniFile.h"
#include "settings/SerialPortNames.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

#include "tests/support/FileBytes.h"

namespace kront
{
namespace
{

using test::readBytes;
using test::writeBytes;

class ProgramSettingsTest : public ::testing::Test
{
protected:
    void SetUp() override { AppHome::setExecutableBaseName(QStringLiteral("kront")); }
    void TearDown() override { AppHome::setExecutableBaseName(QString()); }
    QString iniPath() const { return home.config(QStringLiteral("kront.INI")); }

    test::TempHome home;
    test::ScriptedDialogs dialogs;
    ProgramSettings settings;
};

TEST_F(ProgramSettingsTest, WithoutSettingsFileEveryValueTakesItsDefault)
{
    settings.load();
    EXPECT_TRUE(settings.isLoaded());
    EXPECT_EQ(settings.taver7Channel(), 1);
    EXPECT_FALSE(settings.bi1TInputInvertedPolarity());
    EXPECT_TRUE(settings.temperatureStabilityControl());
    EXPECT_TRUE(settings.waitForFixedValue());
    EXPECT_FALSE(settings.reduceResultClass());
    EXPECT_FALSE(settings.offerPoverkaTermination());
    EXPECT_TRUE(settings.organNameLines().isEmpty());
    EXPECT_TRUE(settings.rukDolgnost().isEmpty());
    const DocumentNumbering svid = settings.numbering(DocumentKind::Certificate);
    EXPECT_FALSE(svid.autoNum);
    EXPECT_EQ(svid.nextNum, 1);
    EXPECT_EQ(svid.digitsCount, 3);
    const DocumentNumbering izv = settings.numbering(DocumentKind::Notice);
    EXPECT_FALSE(izv.autoNum);
    EXPECT_EQ(izv.nextNum, 1);
    EXPECT_EQ(izv.digitsCount, 3);
    EXPECT_EQ(settings.portName(), "COM1"); // the key's default, until the port box chooses
    EXPECT_FALSE(QFile::exists(iniPath())); // reading creates nothing
}

TEST_F(ProgramSettingsTest, LoadsEveryKeyOfAWindows1251File)
{
    writeBytes(iniPath(),
               "[CommunicationParams]\r\nPort=/dev/ttyUSB0\r\nTAVER-7Channel=2\r\n"
               "BI1_TInputInvertedPolarity=5\r\n"
               "[ProgramSettings]\r\nTemperatureStabilityControl=0\r\n"
               "WaitForFixedValue=0\r\nReduceResultClass=1\r\n"
               "OfferPoverkaTermination=-1\r\n"
               "[DocumentsSettings]\r\nMetrologyOrganName=\xD4\xC1\xD3|\xCE\xF2\xE4\xE5\xEB\r\n"
               "RukDolgnost=\xCD\xE0\xF7\xE0\xEB\xFC\xED\xE8\xEA\r\n"
               "SvidAutoNum=1\r\nSvidNextNum=17\r\nSvidDigitsCount=4\r\n"
               "IzvAutoNum=1\r\nIzvNextNum=x\r\nIzvDigitsCount=2\r\n"
               "[PoverkaTP]\r\nTemperaturePointsCount=6\r\n");
    settings.load();
    EXPECT_EQ(settings.taver7Channel(), 2);
    EXPECT_TRUE(settings.bi1TInputInvertedPolarity());
    EXPECT_FALSE(settings.temperatureStabilityControl());
    EXPECT_FALSE(settings.waitForFixedValue());
    EXPECT_TRUE(settings.reduceResultClass());
    EXPECT_TRUE(settings.offerPoverkaTermination());
    EXPECT_EQ(settings.portName(), "/dev/ttyUSB0");
    EXPECT_EQ(settings.organNameLines(), QStringList({"ФБУ", "Отдел"}));
    EXPECT_EQ(settings.rukDolgnost(), "Начальник");
    EXPECT_TRUE(settings.numbering(DocumentKind::Certificate).autoNum);
    EXPECT_EQ(settings.numbering(DocumentKind::Certificate).nextNum, 17);
    EXPECT_EQ(settings.proposedDocumentNumber(DocumentKind::Certificate), "0017");
    EXPECT_EQ(settings.numbering(DocumentKind::Notice).nextNum, 1); // "x" does not convert
    EXPECT_EQ(settings.proposedDocumentNumber(DocumentKind::Notice), "01");
    EXPECT_EQ(SettingsFile().temperaturePointsCount(), 6);
}

TEST_F(ProgramSettingsTest, OrganNameLinesSplitAndJoinAtBars)
{
    const struct {
        QString stored;
        QStringList lines;
        QString saved;
    } cases[] = {
        {"", {}, ""},
        {"ФБУ «ЦСМ»|Отдел поверки|г. Н",
         {"ФБУ «ЦСМ»", "Отдел поверки", "г. Н"},
         "ФБУ «ЦСМ»|Отдел поверки|г. Н"},
        {"A|B|", {"A", "B"}, "A|B"},
        {"A||B", {"A", "", "B"}, "A||B"},
        {"|", {""}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.stored.toStdString());
        EXPECT_EQ(organNameLines(c.stored), c.lines);
        EXPECT_EQ(organNameText(organNameLines(c.stored)), c.saved);
    }
}

TEST_F(ProgramSettingsTest, ProgramOptionsAreWrittenInTheirOrder)
{
    settings.load();
    settings.setOrganNameLines({"ФБУ", "Отдел", "5"});
    settings.setRukDolgnost("Начальник");
    settings.setNumbering(DocumentKind::Certificate, {true, 8, 4});
    settings.setNumbering(DocumentKind::Notice, {false, 9, 5});
    ASSERT_TRUE(settings.applyProgramOptions({false, true, true, false}, dialogs));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(readBytes(iniPath()),
              QByteArray("[ProgramSettings]\r\n"
                         "TemperatureStabilityControl=0\r\n"
                         "WaitForFixedValue=1\r\n"
                         "ReduceResultClass=1\r\n"
                         "OfferPoverkaTermination=0\r\n"
                         "ConnectionCheck=1\r\n"
                         "StabilityForecast=1\r\n"
                         "\r\n"
                         "[DocumentsSettings]\r\n"
                         "MetrologyOrganName=\xD4\xC1\xD3|\xCE\xF2\xE4\xE5\xEB|5\r\n"
                         "RukDolgnost=\xCD\xE0\xF7\xE0\xEB\xFC\xED\xE8\xEA\r\n"
                         "SvidAutoNum=1\r\n"
                         "SvidNextNum=8\r\n"
                         "SvidDigitsCount=4\r\n"
                         "IzvAutoNum=0\r\n"));
    EXPECT_FALSE(settings.temperatureStabilityControl());
    EXPECT_TRUE(settings.reduceResultClass());

    // The saved settings load back the same.
    ProgramSettings again;
    again.load();
    EXPECT_EQ(again.organNameLines(), settings.organNameLines());
    EXPECT_EQ(again.numbering(DocumentKind::Certificate).nextNum, 8);
    EXPECT_FALSE(again.temperatureStabilityControl());
}

TEST_F(ProgramSettingsTest, ConnectionCheckAndStabilityForecastAreOnUntilSwitchedOff)
{
    settings.load();
    EXPECT_TRUE(settings.connectionCheck());
    EXPECT_TRUE(settings.stabilityForecast());

    ProgramOptions options;
    options.connectionCheck = false;
    options.stabilityForecast = false;
    ASSERT_TRUE(settings.applyProgramOptions(options, dialogs));
    EXPECT_FALSE(settings.connectionCheck());
    EXPECT_FALSE(settings.stabilityForecast());
    SettingsFile file;
    EXPECT_FALSE(file.connectionCheck());
    EXPECT_FALSE(file.stabilityForecast());

    writeBytes(iniPath(), "[ProgramSettings]\r\nConnectionCheck=0\r\nStabilityForecast=1\r\n");
    ProgramSettings again;
    again.load();
    EXPECT_FALSE(again.connectionCheck());
    EXPECT_TRUE(again.stabilityForecast());
}

TEST_F(ProgramSettingsTest, ClearedAutoNumberingKeepsTheStoredNumbers)
{
    writeBytes(iniPath(), "[DocumentsSettings]\r\nSvidAutoNum=1\r\nSvidNextNum=41\r\n"
                          "SvidDigitsCount=5\r\n");
    settings.load();
    settings.setNumbering(DocumentKind::Certificate, {false, 99, 2});
    ASSERT_TRUE(settings.applyProgramOptions({}, dialogs));
    SettingsFile file;
    EXPECT_FALSE(file.svidAutoNum());
    EXPECT_EQ(file.svidNextNum(), 41);
    EXPECT_EQ(file.svidDigitsCount(), 5);
    IniFile ini(iniPath());
    EXPECT_EQ(ini.readString("DocumentsSettings", "SvidAutoNum", ""), "0");
}

TEST_F(ProgramSettingsTest, ConnectionPageWritesPortChannelAndPolarity)
{
    settings.load();
    settings.setPortName("/tmp/typed-port");
    ASSERT_TRUE(settings.applyConnection(2, true, dialogs));
    EXPECT_EQ(readBytes(iniPath()), QByteArray("[CommunicationParams]\r\n"
                                               "Port=/tmp/typed-port\r\n"
                                               "TAVER-7Channel=2\r\n"
                                               "BI1_TInputInvertedPolarity=1\r\n"));
    EXPECT_EQ(settings.taver7Channel(), 2);
    EXPECT_TRUE(settings.bi1TInputInvertedPolarity());
}

TEST_F(ProgramSettingsTest, NoChannelChosenIsNotWrittenBack)
{
    writeBytes(iniPath(), "[CommunicationParams]\r\nTAVER-7Channel=3\r\n");
    settings.load();
    EXPECT_EQ(settings.taver7Channel(), 3);
    settings.setPortName(QString());
    ASSERT_TRUE(settings.applyConnection(0, false, dialogs));
    EXPECT_EQ(settings.taver7Channel(), 0);
    EXPECT_EQ(SettingsFile().taver7Channel(), 3);
    EXPECT_EQ(SettingsFile().port(), "");
}

TEST_F(ProgramSettingsTest, WriteFailureIsReportedOnceAndTheValuesStillApply)
{
    ASSERT_TRUE(QDir(home.path() + "/Config").removeRecursively());
    settings.load();
    ProgramOptions options;
    options.waitFixed = false;
    EXPECT_FALSE(settings.applyProgramOptions(options, dialogs));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_EQ(dialogs.last().caption, kProgramTitle);
    EXPECT_TRUE(dialogs.last().text.startsWith("Не удалось сохранить настройки в файл"));
    EXPECT_FALSE(settings.waitForFixedValue());
    EXPECT_FALSE(QDir(home.path() + "/Config").exists());
}

TEST_F(ProgramSettingsTest, DocumentNumberingUpdatesValuesAndFile)
{
    settings.load();
    settings.setNumbering(DocumentKind::Certificate, {true, 7, 4});
    EXPECT_EQ(settings.proposedDocumentNumber(DocumentKind::Certificate), "0007");
    int changed = 0;
    QObject::connect(&settings, &ProgramSettings::numberingChanged, [&] { ++changed; });
    ASSERT_TRUE(settings.documentNumberUsed(DocumentKind::Certificate, 15, dialogs));
    EXPECT_EQ(settings.numbering(DocumentKind::Certificate).nextNum, 16);
    EXPECT_EQ(SettingsFile().svidNextNum(), 16);
    ASSERT_TRUE(settings.switchAutoNumberingOff(DocumentKind::Notice, dialogs));
    EXPECT_EQ(IniFile(iniPath()).readString("DocumentsSettings", "IzvAutoNum", ""), "0");
    EXPECT_EQ(changed, 2);
    ASSERT_TRUE(settings.documentNumberUsed(DocumentKind::Notice, 2147483647, dialogs));
    EXPECT_EQ(settings.numbering(DocumentKind::Notice).nextNum, 2147483647);
    settings.setNumbering(DocumentKind::Notice, {true, 12345, 3});
    EXPECT_EQ(settings.proposedDocumentNumber(DocumentKind::Notice), "12345");
}

TEST_F(ProgramSettingsTest, ProtIniAndEquipmentListFiles)
{
    ProtIniFile prot;
    EXPECT_EQ(prot.povName(), "");
    ASSERT_TRUE(prot.setPovName("Петров П.П."));
    ASSERT_TRUE(prot.setRukName("Иванов И.И."));
    EXPECT_EQ(readBytes(home.config("Prot.INI")),
              QByteArray("[Dialog]\r\nPovName=\xCF\xE5\xF2\xF0\xEE\xE2 \xCF.\xCF.\r\n"
                         "RukName=\xC8\xE2\xE0\xED\xEE\xE2 \xC8.\xC8.\r\n"));

    EquipParamsFile equip;
    EXPECT_FALSE(equip.exists());
    EXPECT_FALSE(equip.readLines().has_value());
    EXPECT_EQ(EquipParamsFile::builtInList().size(), 4);
    ASSERT_TRUE(equip.writeText("Установка типа КРОНТ-2М, № 5\nПотенциометр\n"));
    EXPECT_EQ(readBytes(equip.path()),
              QByteArray("\xD3\xF1\xF2\xE0\xED\xEE\xE2\xEA\xE0 \xF2\xE8\xEF\xE0 "
                         "\xCA\xD0\xCE\xCD\xD2-2\xCC, \xB9 5\r\n"
                         "\xCF\xEE\xF2\xE5\xED\xF6\xE8\xEE\xEC\xE5\xF2\xF0\r\n"));
    EXPECT_EQ(equip.readLines().value(),
              QStringList({"Установка типа КРОНТ-2М, № 5", "Потенциометр"}));
}

TEST(SerialPortNamesTest, DevicesInGroupAndNumberOrder)
{
    EXPECT_EQ(
        orderedSerialDevices({"/dev/ttyUSB1", "/dev/ttyS10", "/dev/ttyACM0", "/dev/ttyS2",
                              "/dev/ttyUSB0", "/dev/pts/3", "/dev/ttyS2", "/dev/tty0",
                              "/dev/ttySX"}),
        QStringList({"/dev/ttyS2", "/dev/ttyS10", "/dev/ttyUSB0", "/dev/ttyUSB1", "/dev/ttyACM0"}));
}

} // namespace
} // namespace kront
