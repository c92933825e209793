#include "settings/RegistrySettings.h"

#include "common/Dialogs.h"
#include "common/IniFile.h"
#include "settings/ProgramSettings.h"
#include "settings/SettingsFile.h"

#include <QDateTime>
#include <QRegularExpression>

#include <cstdlib>

namespace kront
{

namespace
{

const QString kSection = QStringLiteral("Registry");
const QString kSignCipher = QStringLiteral("SignCipher");
const QString kDefaultVerifier = QStringLiteral("DefaultVerifier");
const QString kDefaultOwner = QStringLiteral("DefaultOwner");
const QString kTimeZoneOffset = QStringLiteral("TimeZoneOffsetMinutes");
const QString kSignPass = QStringLiteral("SignPass");
const QString kSignMi = QStringLiteral("SignMi");

constexpr int kMinOffset = -12 * 60;
constexpr int kMaxOffset = 14 * 60;

} // namespace

int systemTimeZoneOffsetMinutes()
{
    return QDateTime::currentDateTime().offsetFromUtc() / 60;
}

QString signCipherError(const QString &cipher)
{
    // А..Я of the alphabet; Ё lies outside the range the import file allows.
    static const QRegularExpression pattern(QStringLiteral("^[А-Я]{1,3}$"));
    if (cipher.isEmpty())
        return QStringLiteral("Не задан шифр знака поверки.");
    if (!pattern.match(cipher).hasMatch())
        return QStringLiteral(
            "Шифр знака поверки должен состоять из 1-3 заглавных русских букв (А-Я, без Ё).");
    return {};
}

QString verifierError(const QString &verifier)
{
    if (verifier.size() > kMaxVerifierLength)
        return QStringLiteral("Ф.И.О. поверителя длиннее %1 символов.").arg(kMaxVerifierLength);
    return {};
}

QString ownerError(const QString &owner)
{
    if (owner.size() > kMaxOwnerLength)
        return QStringLiteral("Владелец СИ длиннее %1 символов.").arg(kMaxOwnerLength);
    return {};
}

QString timeZoneOffsetError(int minutes)
{
    if (minutes < kMinOffset || minutes > kMaxOffset)
        return QStringLiteral("Часовой пояс должен лежать между -12:00 и +14:00.");
    return {};
}

QString registrySettingsError(const RegistrySettings &s)
{
    for (const QString &error :
         {signCipherError(s.signCipher), verifierError(s.defaultVerifier),
          ownerError(s.defaultOwner), timeZoneOffsetError(s.timeZoneOffsetMinutes)}) {
        if (!error.isEmpty())
            return error;
    }
    return {};
}

QString timeZoneOffsetText(int minutes)
{
    const int magnitude = std::abs(minutes);
    return QString(minutes < 0 ? u'-' : u'+') + QStringLiteral("%1:%2")
                                                    .arg(magnitude / 60, 2, 10, QLatin1Char('0'))
                                                    .arg(magnitude % 60, 2, 10, QLatin1Char('0'));
}

RegistrySettings loadRegistrySettings(const QString &iniPath)
{
    const IniFile ini(iniPath);
    RegistrySettings s;
    s.signCipher = ini.readString(kSection, kSignCipher, QString()).trimmed();
    s.defaultVerifier = ini.readString(kSection, kDefaultVerifier, QString()).trimmed();
    s.defaultOwner = ini.readString(kSection, kDefaultOwner, QString()).trimmed();
    s.timeZoneOffsetMinutes =
        ini.readInteger(kSection, kTimeZoneOffset, systemTimeZoneOffsetMinutes());
    s.signPass = ini.readBool(kSection, kSignPass, s.signPass);
    s.signMi = ini.readBool(kSection, kSignMi, s.signMi);
    return s;
}

RegistrySettings loadRegistrySettings()
{
    return loadRegistrySettings(SettingsFile::defaultPath());
}

bool saveRegistrySettings(const RegistrySettings &s, Dialogs &dialogs, const QString &iniPath)
{
    const QString error = registrySettingsError(s);
    if (!error.isEmpty()) {
        dialogs.error(error);
        return false;
    }
    IniFile ini(iniPath);
    const bool written = ini.writeString(kSection, kSignCipher, s.signCipher) &&
                         ini.writeString(kSection, kDefaultVerifier, s.defaultVerifier) &&
                         ini.writeString(kSection, kDefaultOwner, s.defaultOwner) &&
                         ini.writeInteger(kSection, kTimeZoneOffset, s.timeZoneOffsetMinutes) &&
                         ini.writeBool(kSection, kSignPass, s.signPass) &&
                         ini.writeBool(kSection, kSignMi, s.signMi);
    if (!written)
        dialogs.error(settingsWriteFailureText(iniPath, ini.lastError()));
    return written;
}

bool saveRegistrySettings(const RegistrySettings &s, Dialogs &dialogs)
{
    return saveRegistrySettings(s, dialogs, SettingsFile::defaultPath());
}

} // namespace kront
