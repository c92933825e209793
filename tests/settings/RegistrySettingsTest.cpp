// The laboratory's registry data in the settings file: the checks of each value and the section
// read back as written.

#include "settings/RegistrySettings.h"
#include "settings/SettingsFile.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

TEST(RegistrySettingsTest, CipherIsOneToThreeCapitalCyrillicLetters)
{
    struct Case {
        QString cipher;
        bool good;
    };
    const Case cases[] = {
        {QStringLiteral("А"), true},     {QStringLiteral("ЖЖЖ"), true},
        {QStringLiteral("ЯЮ"), true},    {QString(), false},
        {QStringLiteral("ЖЖЖЖ"), false}, {QStringLiteral("жж"), false},
        {QStringLiteral("ЖA"), false}, // Latin A
        {QStringLiteral("Ё"), false},    {QStringLiteral("Ж1"), false},
        {QStringLiteral(" ЖЖ"), false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.cipher.toStdString());
        EXPECT_EQ(signCipherError(c.cipher).isEmpty(), c.good);
    }
}

TEST(RegistrySettingsTest, LengthsAndOffsetAreBounded)
{
    EXPECT_TRUE(ownerError(QString(512, u'О')).isEmpty());
    EXPECT_FALSE(ownerError(QString(513, u'О')).isEmpty());
    EXPECT_TRUE(verifierError(QString(128, u'П')).isEmpty());
    EXPECT_FALSE(verifierError(QString(129, u'П')).isEmpty());
    EXPECT_TRUE(timeZoneOffsetError(14 * 60).isEmpty());
    EXPECT_TRUE(timeZoneOffsetError(-12 * 60).isEmpty());
    EXPECT_FALSE(timeZoneOffsetError(14 * 60 + 1).isEmpty());
    EXPECT_FALSE(timeZoneOffsetError(-12 * 60 - 1).isEmpty());
}

TEST(RegistrySettingsTest, OffsetTextHasSignHoursAndMinutes)
{
    EXPECT_EQ(timeZoneOffsetText(180), QStringLiteral("+03:00"));
    EXPECT_EQ(timeZoneOffsetText(0), QStringLiteral("+00:00"));
    EXPECT_EQ(timeZoneOffsetText(-330), QStringLiteral("-05:30"));
    EXPECT_EQ(timeZoneOffsetText(345), QStringLiteral("+05:45"));
}

TEST(RegistrySettingsTest, SectionReadsBackAsWrittenAndDefaultsToTheSystemOffset)
{
    TempHome home;
    ScriptedDialogs dialogs;
    const RegistrySettings defaults = loadRegistrySettings();
    EXPECT_TRUE(defaults.signCipher.isEmpty());
    EXPECT_EQ(defaults.timeZoneOffsetMinutes, systemTimeZoneOffsetMinutes());

    RegistrySettings s;
    s.signCipher = QStringLiteral("ЖЖЖ");
    s.defaultVerifier = QStringLiteral("Петров Пётр Петрович");
    s.defaultOwner = QStringLiteral("ООО \"Тепло & <Контроль>\"");
    s.timeZoneOffsetMinutes = 420;
    s.signPass = false;
    s.signMi = true;
    ASSERT_TRUE(saveRegistrySettings(s, dialogs));
    EXPECT_TRUE(dialogs.shown.empty());
    const RegistrySettings back = loadRegistrySettings();
    EXPECT_EQ(back.signCipher, s.signCipher);
    EXPECT_EQ(back.defaultVerifier, s.defaultVerifier);
    EXPECT_EQ(back.defaultOwner, s.defaultOwner);
    EXPECT_EQ(back.timeZoneOffsetMinutes, 420);
    EXPECT_FALSE(back.signPass);
    EXPECT_TRUE(back.signMi);
}

TEST(RegistrySettingsTest, BadValueIsRefusedWithItsMessageAndNothingWritten)
{
    TempHome home;
    ScriptedDialogs dialogs;
    RegistrySettings s;
    s.signCipher = QStringLiteral("ЖZ");
    EXPECT_FALSE(saveRegistrySettings(s, dialogs));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().text, signCipherError(s.signCipher));
    EXPECT_FALSE(SettingsFile().path().isEmpty());
    EXPECT_TRUE(loadRegistrySettings().signCipher.isEmpty());
}

} // namespace
} // namespace kront::test
