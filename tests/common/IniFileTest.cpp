#include "common/IniFile.h"
#include "common/Cp1251.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include "tests/support/FileBytes.h"

using kront::IniFile;

namespace
{

using kront::test::readBytes;
using kront::test::writeBytes;

class IniFileTest : public ::testing::Test
{
protected:
    QString file(const QString &name = QStringLiteral("kront.INI")) const
    {
        return dir.path() + u'/' + name;
    }
    QTemporaryDir dir;
};

TEST_F(IniFileTest, NewFileIsWindows1251WithCrLfAndBooleansAsDigits)
{
    IniFile ini(file());
    ASSERT_TRUE(ini.writeString("CommunicationParams", "Port", "COM1"));
    ASSERT_TRUE(ini.writeInteger("CommunicationParams", "TAVER-7Channel", 2));
    ASSERT_TRUE(ini.writeBool("CommunicationParams", "BI1_TInputInvertedPolarity", true));
    ASSERT_TRUE(ini.writeBool("ProgramSettings", "WaitForFixedValue", false));
    ASSERT_TRUE(ini.writeString("DocumentsSettings", "RukDolgnost", "Начальник №1 Ёё"));

    const QByteArray expected = "[CommunicationParams]\r\n"
                                "Port=COM1\r\n"
                                "TAVER-7Channel=2\r\n"
                                "BI1_TInputInvertedPolarity=1\r\n"
                                "\r\n"
                                "[ProgramSettings]\r\n"
                                "WaitForFixedValue=0\r\n"
                                "\r\n"
                                "[DocumentsSettings]\r\n"
                                "RukDolgnost=\xCD\xE0\xF7\xE0\xEB\xFC\xED\xE8\xEA \xB9"
                                "1 \xA8\xB8\r\n";
    EXPECT_EQ(readBytes(file()), expected);
    EXPECT_EQ(ini.readString("DocumentsSettings", "RukDolgnost", ""), "Начальник №1 Ёё");
}

TEST_F(IniFileTest, ReadsValuesOfAFileWrittenElsewhere)
{
    writeBytes(file(), "; comment=ignored\r\n"
                       "[Dialog]\n"
                       "  RukName = \xC8\xE2\xE0\xED\xEE\xE2 \xC8.\xC8.  \r\n"
                       "PovName=\r"
                       "[Empty]\r\n");
    IniFile ini(file());
    EXPECT_EQ(ini.readString("Dialog", "RukName", "x"), "Иванов И.И.");
    EXPECT_EQ(ini.readString("dialog", "povname", "x"), "");
    EXPECT_EQ(ini.readString("Dialog", "Missing", "def"), "def");
    EXPECT_EQ(ini.readString("Empty", "Key", "def"), "def");
    EXPECT_EQ(ini.readString("NoSuchSection", "RukName", "def"), "def");
    EXPECT_EQ(ini.sections(), QStringList({"Dialog", "Empty"}));
    EXPECT_EQ(ini.keys("Dialog"), QStringList({"RukName", "PovName"}));
}

TEST_F(IniFileTest, NumbersAndBooleansFallBackToTheirDefaults)
{
    struct Case {
        const char *text;
        int integer; // read with default 77
        bool boolFromTrue;
        bool boolFromFalse;
    };
    const Case cases[] = {
        {"1", 1, true, true},      {"0", 0, false, false},
        {"2", 2, true, true},      {"-1", -1, true, true},
        {" 0 ", 0, false, false},  {"12", 12, true, true},
        {"abc", 77, true, false},  {"", 77, true, false},
        {"1.5", 77, true, false},  {"99999999999", 77, true, false},
        {"true", 77, true, false}, {"0x10", 77, true, false},
    };
    IniFile ini(file());
    for (const Case &c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(ini.writeString("S", "K", QString::fromLatin1(c.text)));
        EXPECT_EQ(ini.readInteger("S", "K", 77), c.integer);
        EXPECT_EQ(ini.readBool("S", "K", true), c.boolFromTrue);
        EXPECT_EQ(ini.readBool("S", "K", false), c.boolFromFalse);
    }
    EXPECT_EQ(ini.readInteger("S", "Missing", 5), 5);
    EXPECT_TRUE(ini.readBool("S", "Missing", true));
}

TEST_F(IniFileTest, FloatsReadWithCommaOrPointAndWriteWithComma)
{
    IniFile ini(file());
    ASSERT_TRUE(ini.writeFloat("S", "F", 0.1));
    EXPECT_EQ(ini.readString("S", "F", ""), "0,1");
    EXPECT_DOUBLE_EQ(ini.readFloat("S", "F", 0), 0.1);
    ASSERT_TRUE(ini.writeString("S", "F", "-2.5"));
    EXPECT_DOUBLE_EQ(ini.readFloat("S", "F", 0), -2.5);
    ASSERT_TRUE(ini.writeString("S", "F", "x"));
    EXPECT_DOUBLE_EQ(ini.readFloat("S", "F", 3.25), 3.25);
}

TEST_F(IniFileTest, WritesKeepSectionsKeysAndCommentsInTheirOrder)
{
    writeBytes(file(), "[B]\r\n"
                       "; the port\r\n"
                       "port=COM3\r\n"
                       "X=1\r\n"
                       "\r\n"
                       "[A]\r\n"
                       "Y=2\r\n");
    IniFile ini(file());
    ASSERT_TRUE(ini.writeString("b", "Port", "COM4")); // spelling of the file kept
    ASSERT_TRUE(ini.writeString("B", "New", "n"));     // after X, before the blank line
    ASSERT_TRUE(ini.writeString("C", "Z", "3"));       // new section at the end
    ASSERT_TRUE(ini.writeString("A", "Y", "22"));
    EXPECT_EQ(readBytes(file()), QByteArray("[B]\r\n"
                                            "; the port\r\n"
                                            "port=COM4\r\n"
                                            "X=1\r\n"
                                            "New=n\r\n"
                                            "\r\n"
                                            "[A]\r\n"
                                            "Y=22\r\n"
                                            "\r\n"
                                            "[C]\r\n"
                                            "Z=3\r\n"));
    ASSERT_TRUE(ini.deleteKey("B", "X"));
    ASSERT_TRUE(ini.eraseSection("A"));
    EXPECT_EQ(ini.sections(), QStringList({"B", "C"}));
    EXPECT_EQ(ini.keys("B"), QStringList({"port", "New"}));
}

TEST_F(IniFileTest, FileWithByteOrderMarkIsReadAndWrittenAsUtf8)
{
    writeBytes(file(), QByteArray("\xEF\xBB\xBF[Dialog]\r\nPovName=") + QString("Петров").toUtf8() +
                           "\r\n");
    IniFile ini(file());
    EXPECT_EQ(ini.readString("Dialog", "PovName", ""), "Петров");
    ASSERT_TRUE(ini.writeString("Dialog", "RukName", "Сидоров"));
    EXPECT_EQ(readBytes(file()), QByteArray("\xEF\xBB\xBF[Dialog]\r\nPovName=") +
                                     QString("Петров").toUtf8() +
                                     "\r\nRukName=" + QString("Сидоров").toUtf8() + "\r\n");
}

TEST_F(IniFileTest, TextOutsideTheCodePageIsNotLost)
{
    IniFile ini(file());
    ASSERT_TRUE(ini.writeString("S", "A", "Отдел"));
    ASSERT_TRUE(ini.writeString("S", "B", "ℓ ✓ 漢"));
    EXPECT_TRUE(readBytes(file()).startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(ini.readString("S", "A", ""), "Отдел");
    EXPECT_EQ(ini.readString("S", "B", ""), "ℓ ✓ 漢");
}

TEST_F(IniFileTest, LineBreakInAValueCannotAddKeys)
{
    IniFile ini(file());
    ASSERT_TRUE(ini.writeString("S", "A", "one\r\n[T]\nEvil=1"));
    EXPECT_EQ(ini.sections(), QStringList({"S"}));
    EXPECT_EQ(ini.readString("S", "A", ""), "one [T] Evil=1");
}

TEST_F(IniFileTest, MissingFolderReadsDefaultsAndWriteFailsWithAReason)
{
    IniFile ini(dir.path() + "/NoConfig/kront.INI");
    EXPECT_EQ(ini.readInteger("S", "K", 9), 9);
    EXPECT_FALSE(ini.writeInteger("S", "K", 1));
    EXPECT_FALSE(ini.lastError().isEmpty());
    EXPECT_FALSE(QDir(dir.path() + "/NoConfig").exists());
}

TEST_F(IniFileTest, WriteLeavesNoTemporaryFilesBehind)
{
    IniFile ini(file());
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(ini.writeInteger("S", "K", i));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"kront.INI"});
    EXPECT_EQ(ini.readInteger("S", "K", -1), 4);
}

TEST(Cp1251Test, TableCoversTheCodePageAndAgreesWithTheSystemCodec)
{
    QByteArray all;
    for (int b = 1; b < 256; ++b)
        all.append(char(b));
    const QString decoded = kront::Cp1251::decodeWithTable(all);
    EXPECT_EQ(decoded.size(), all.size());
    EXPECT_EQ(kront::Cp1251::encodeWithTable(decoded), all);
    EXPECT_EQ(kront::Cp1251::decode(all), decoded);
    EXPECT_EQ(kront::Cp1251::encode(decoded), all);
    EXPECT_EQ(kront::Cp1251::decodeWithTable("\xC0\xDF\xE0\xFF\xA8\xB8\xB9\xB0"), "АЯаяЁё№°");
    EXPECT_EQ(kront::Cp1251::encodeWithTable("Ω"), "?");
    EXPECT_FALSE(kront::Cp1251::canEncode("Ω"));
}

} // namespace
