#pragma once

#include <QString>

#include <optional>

namespace kront
{

class Database;
class Dialogs;

// The ambient conditions of a verification as entered on page 3 of the wizard, with the
// verifier's name (empty when none was given). One Conditions row per Poverki row; a verification
// stored before the table existed has none.
struct VerificationConditions {
    double temperature = 0; // °C
    double pressure = 0;    // кПа
    double humidity = 0;    // %
    QString otherFactors;   // free text, may be empty
    QString verifier;       // full name, may be empty
};

// The row of verification poverkaID; nullopt when it has none or the table file is missing.
std::optional<VerificationConditions> StoredConditions(Database &db, int poverkaID);
// The conditions stored last (the defaults of the next verification); nullopt when none.
std::optional<VerificationConditions> LastStoredConditions(Database &db);
// Stores the conditions of verification poverkaID, creating the table file when missing. False
// after the table's insert message.
bool StoreConditions(Database &db, Dialogs &dialogs, int poverkaID,
                     const VerificationConditions &conditions);

// The values as printed and exported, decimal comma with their units: "21,5 °C", "100,2 кПа",
// "48 %".
QString TemperatureText(const VerificationConditions &c);
QString PressureText(const VerificationConditions &c);
QString HumidityText(const VerificationConditions &c);

} // namespace kront
