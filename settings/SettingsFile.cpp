#include "settings/SettingsFile.h"

#include "common/AppHome.h"

namespace kront
{

namespace
{

struct TextKey {
    const char *section;
    const char *key;
    const char16_t *defaultValue;
};
struct IntKey {
    const char *section;
    const char *key;
    int defaultValue;
};
struct BoolKey {
    const char *section;
    const char *key;
    bool defaultValue;
};

// Every key of the settings file with its section and default.
constexpr TextKey kPort{"CommunicationParams", "Port", u"COM1"};
constexpr IntKey kTaver7Channel{"CommunicationParams", "TAVER-7Channel", 1};
constexpr BoolKey kBi1TInputInvertedPolarity{"CommunicationParams", "BI1_TInputInvertedPolarity",
                                             false};
constexpr BoolKey kTemperatureStabilityControl{"ProgramSettings", "TemperatureStabilityControl",
                                               true};
constexpr BoolKey kWaitForFixedValue{"ProgramSettings", "WaitForFixedValue", true};
constexpr BoolKey kReduceResultClass{"ProgramSettings", "ReduceResultClass", false};
constexpr BoolKey kOfferPoverkaTermination{"ProgramSettings", "OfferPoverkaTermination", false};
constexpr BoolKey kConnectionCheck{"ProgramSettings", "ConnectionCheck", true};
constexpr BoolKey kStabilityForecast{"ProgramSettings", "StabilityForecast", true};
constexpr TextKey kMetrologyOrganName{"DocumentsSettings", "MetrologyOrganName", u""};
constexpr TextKey kRukDolgnost{"DocumentsSettings", "RukDolgnost", u""};
constexpr BoolKey kSvidAutoNum{"DocumentsSettings", "SvidAutoNum", false};
constexpr IntKey kSvidNextNum{"DocumentsSettings", "SvidNextNum", 1};
constexpr IntKey kSvidDigitsCount{"DocumentsSettings", "SvidDigitsCount", 3};
constexpr BoolKey kIzvAutoNum{"DocumentsSettings", "IzvAutoNum", false};
constexpr IntKey kIzvNextNum{"DocumentsSettings", "IzvNextNum", 1};
constexpr IntKey kIzvDigitsCount{"DocumentsSettings", "IzvDigitsCount", 3};
constexpr IntKey kTemperaturePointsCount{"PoverkaTP", "TemperaturePointsCount", 1};

QString read(const IniFile &ini, const TextKey &k)
{
    return ini.readString(QLatin1String(k.section), QLatin1String(k.key),
                          QString::fromUtf16(k.defaultValue));
}
int read(const IniFile &ini, const IntKey &k)
{
    return ini.readInteger(QLatin1String(k.section), QLatin1String(k.key), k.defaultValue);
}
bool read(const IniFile &ini, const BoolKey &k)
{
    return ini.readBool(QLatin1String(k.section), QLatin1String(k.key), k.defaultValue);
}
bool write(IniFile &ini, const TextKey &k, const QString &v)
{
    return ini.writeString(QLatin1String(k.section), QLatin1String(k.key), v);
}
bool write(IniFile &ini, const IntKey &k, int v)
{
    return ini.writeInteger(QLatin1String(k.section), QLatin1String(k.key), v);
}
bool write(IniFile &ini, const BoolKey &k, bool v)
{
    return ini.writeBool(QLatin1String(k.section), QLatin1String(k.key), v);
}

} // namespace

QString SettingsFile::defaultPath()
{
    return AppHome::configFile(AppHome::executableBaseName() + QStringLiteral(".INI"));
}

SettingsFile::SettingsFile(const QString &path) : ini(path) {}

// clang-format off
QString SettingsFile::port() const { return read(ini, kPort); }
bool SettingsFile::setPort(const QString &v) { return write(ini, kPort, v); }
int SettingsFile::taver7Channel() const { return read(ini, kTaver7Channel); }
bool SettingsFile::setTaver7Channel(int v) { return write(ini, kTaver7Channel, v); }
bool SettingsFile::bi1TInputInvertedPolarity() const { return read(ini, kBi1TInputInvertedPolarity); }
bool SettingsFile::setBi1TInputInvertedPolarity(bool v) { return write(ini, kBi1TInputInvertedPolarity, v); }

bool SettingsFile::temperatureStabilityControl() const { return read(ini, kTemperatureStabilityControl); }
bool SettingsFile::setTemperatureStabilityControl(bool v) { return write(ini, kTemperatureStabilityControl, v); }
bool SettingsFile::waitForFixedValue() const { return read(ini, kWaitForFixedValue); }
bool SettingsFile::setWaitForFixedValue(bool v) { return write(ini, kWaitForFixedValue, v); }
bool SettingsFile::reduceResultClass() const { return read(ini, kReduceResultClass); }
bool SettingsFile::setReduceResultClass(bool v) { return write(ini, kReduceResultClass, v); }
bool SettingsFile::offerPoverkaTermination() const { return read(ini, kOfferPoverkaTermination); }
bool SettingsFile::setOfferPoverkaTermination(bool v) { return write(ini, kOfferPoverkaTermination, v); }
bool SettingsFile::connectionCheck() const { return read(ini, kConnectionCheck); }
bool SettingsFile::setConnectionCheck(bool v) { return write(ini, kConnectionCheck, v); }
bool SettingsFile::stabilityForecast() const { return read(ini, kStabilityForecast); }
bool SettingsFile::setStabilityForecast(bool v) { return write(ini, kStabilityForecast, v); }

QString SettingsFile::metrologyOrganName() const { return read(ini, kMetrologyOrganName); }
bool SettingsFile::setMetrologyOrganName(const QString &v) { return write(ini, kMetrologyOrganName, v); }
QString SettingsFile::rukDolgnost() const { return read(ini, kRukDolgnost); }
bool SettingsFile::setRukDolgnost(const QString &v) { return write(ini, kRukDolgnost, v); }
bool SettingsFile::svidAutoNum() const { return read(ini, kSvidAutoNum); }
bool SettingsFile::setSvidAutoNum(bool v) { return write(ini, kSvidAutoNum, v); }
int SettingsFile::svidNextNum() const { return read(ini, kSvidNextNum); }
bool SettingsFile::setSvidNextNum(int v) { return write(ini, kSvidNextNum, v); }
int SettingsFile::svidDigitsCount() const { return read(ini, kSvidDigitsCount); }
bool SettingsFile::setSvidDigitsCount(int v) { return write(ini, kSvidDigitsCount, v); }
bool SettingsFile::izvAutoNum() const { return read(ini, kIzvAutoNum); }
bool SettingsFile::setIzvAutoNum(bool v) { return write(ini, kIzvAutoNum, v); }
int SettingsFile::izvNextNum() const { return read(ini, kIzvNextNum); }
bool SettingsFile::setIzvNextNum(int v) { return write(ini, kIzvNextNum, v); }
int SettingsFile::izvDigitsCount() const { return read(ini, kIzvDigitsCount); }
bool SettingsFile::setIzvDigitsCount(int v) { return write(ini, kIzvDigitsCount, v); }

int SettingsFile::temperaturePointsCount() const { return read(ini, kTemperaturePointsCount); }
bool SettingsFile::setTemperaturePointsCount(int v) { return write(ini, kTemperaturePointsCount, v); }
// clang-format on

} // namespace kront
