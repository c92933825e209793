#pragma once

#include "common/IniFile.h"

#include <QString>

namespace kront
{

// The program's settings file, Config/<executable base name>.INI. One typed
// accessor per key; a missing file, section or key, or a value that does not
// convert, reads as the key's default. Every setter writes the file at once
// and returns false when it could not (lastError() tells why).
class SettingsFile
{
public:
    static QString defaultPath();

    explicit SettingsFile(const QString &path = defaultPath());

    const QString &path() const { return ini.fileName(); }
    QString lastError() const { return ini.lastError(); }

    // [CommunicationParams]
    QString port() const;
    bool setPort(const QString &value);
    int taver7Channel() const; // voltmeter channel wired to BI1, 1 or 2
    bool setTaver7Channel(int value);
    bool bi1TInputInvertedPolarity() const;
    bool setBi1TInputInvertedPolarity(bool value);

    // [ProgramSettings]
    bool temperatureStabilityControl() const;
    bool setTemperatureStabilityControl(bool value);
    bool waitForFixedValue() const;
    bool setWaitForFixedValue(bool value);
    bool reduceResultClass() const;
    bool setReduceResultClass(bool value);
    bool offerPoverkaTermination() const;
    bool setOfferPoverkaTermination(bool value);
    bool connectionCheck() const; // each reading checked against its expected EMF
    bool setConnectionCheck(bool value);
    bool stabilityForecast() const; // the time until the furnace is stable estimated
    bool setStabilityForecast(bool value);

    // [DocumentsSettings]
    QString metrologyOrganName() const; // lines joined with "|"
    bool setMetrologyOrganName(const QString &value);
    QString rukDolgnost() const;
    bool setRukDolgnost(const QString &value);
    bool svidAutoNum() const;
    bool setSvidAutoNum(bool value);
    int svidNextNum() const;
    bool setSvidNextNum(int value);
    int svidDigitsCount() const;
    bool setSvidDigitsCount(int value);
    bool izvAutoNum() const;
    bool setIzvAutoNum(bool value);
    int izvNextNum() const;
    bool setIzvNextNum(int value);
    int izvDigitsCount() const;
    bool setIzvDigitsCount(int value);

    // [PoverkaTP]
    int temperaturePointsCount() const; // proposed for a new verification
    bool setTemperaturePointsCount(int value);

private:
    IniFile ini;
};

} // namespace kront
