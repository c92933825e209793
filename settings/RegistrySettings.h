#pragma once

#include <QString>

namespace kront
{

class Dialogs;

// The laboratory's data written into every registry import file, kept in the [Registry] section
// of the program's settings file.
struct RegistrySettings {
    QString signCipher;            // the verification mark's cipher, 1-3 capital Cyrillic letters
    QString defaultVerifier;       // full name offered for a new verification
    QString defaultOwner;          // owner written when a thermocouple has none
    int timeZoneOffsetMinutes = 0; // written on the dates, east of UTC positive
    bool signPass = true;          // the mark goes in the passport
    bool signMi = false;           // the mark goes on the instrument
};

// The greatest lengths the import file allows.
constexpr int kMaxVerifierLength = 128;
constexpr int kMaxOwnerLength = 512;

// The system's offset from UTC now, in minutes.
int systemTimeZoneOffsetMinutes();

// Each returns the message naming what is wrong, empty when the value is good.
QString signCipherError(const QString &cipher); // required
QString verifierError(const QString &verifier); // may be empty
QString ownerError(const QString &owner);       // may be empty
QString timeZoneOffsetError(int minutes);       // -12:00 ... +14:00
// The first of the messages above for the settings; empty when all are good.
QString registrySettingsError(const RegistrySettings &settings);

// The offset as written on a date: "+03:00", "-05:30", "+00:00".
QString timeZoneOffsetText(int minutes);

// Reads the section; missing keys read as the defaults, the offset as the system's.
RegistrySettings loadRegistrySettings(const QString &iniPath);
RegistrySettings loadRegistrySettings();
// Writes the section after checking it; false after the message of the first bad value or of a
// failed write.
bool saveRegistrySettings(const RegistrySettings &settings, Dialogs &dialogs,
                          const QString &iniPath);
bool saveRegistrySettings(const RegistrySettings &settings, Dialogs &dialogs);

} // namespace kront
