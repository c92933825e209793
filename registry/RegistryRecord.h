#pragma once

#include <QDate>
#include <QString>

#include <optional>
#include <vector>

namespace kront
{

struct ExportCandidate;
struct RegistryData;

// An instrument used in the verification, as the file lists it.
struct RegistryInstrument {
    QString typeNumber;
    QString serialNum; // may be empty
};

// One result of the import file: the values exactly as they are written.
struct RegistryRecord {
    int poverkaID = 0;
    int sensorID = 0;
    QString typeNumber; // of the thermocouple's type in the state register
    QString serialNum;  // manufactureNum
    int prodYear = 0;   // manufactureYear; 0 leaves it out
    QString modification;
    QString signCipher;
    QString owner;
    QDate vrfDate;
    std::optional<QDate> validDate; // fit results only
    QString timeZone;               // written after both dates, e.g. "+03:00"
    bool periodic = false;          // type 2, else 1
    bool fit = true;                // applicable, else inapplicable with reasons
    bool signPass = false;
    bool signMi = false;
    QString reasons;
    QString docTitle;
    QString metrologist;                         // may be empty
    std::vector<QString> referenceNumbers;       // mieta
    std::vector<RegistryInstrument> instruments; // mis
    QString temperature;
    QString pressure;
    QString humidity;
    QString otherFactors; // may be empty
};

// A thermocouple that cannot be exported, with the reason for the operator.
struct RegistryRefusal {
    int poverkaID = 0;
    QString povNum;
    int sensorID = 0;
    QString serialNum;
    QString reason;
};

struct RegistryPlan {
    std::vector<RegistryRecord> records;
    std::vector<RegistryRefusal> refusals;
};

// Turns each candidate into its record, or into a refusal naming the first thing missing or
// wrong: the lab's cipher, the type's registry data, the serial number, the owner, the
// verifier, the conditions, the procedure, the reference's registration number, the result or
// the reasons of unfitness. Pure: reads nothing but its arguments.
RegistryPlan PlanRegistryExport(const std::vector<ExportCandidate> &candidates,
                                const RegistryData &data);

} // namespace kront
