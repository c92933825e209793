#pragma once

#include <QString>
#include <vector>

namespace kront
{

struct ExportCandidate;
struct RegistryExportEntry;
struct RegistryPlan;

// What the preview of an export to the state registry lists, as the operator reads it.
struct RegistryPreview {
    // A thermocouple result that will be written.
    struct Result {
        QString povNum;
        QString date;       // the verification's finish date
        QString serial;     // manufactureNum
        QString typeName;   // TypeName of the register
        QString typeNumber; // ГРСИ number
        bool fit = true;
        bool exportedBefore = false; // already in an earlier export file
    };
    // A thermocouple that cannot be written, and why.
    struct Refusal {
        QString povNum;
        QString serial;
        QString typeName;
        QString reason;
    };
    std::vector<Result> results;
    std::vector<Refusal> refusals;
    int fileCount = 0; // the files the results are split into

    int exportedBeforeCount() const;
};

// The preview of a plan made of the candidates; `log` tells the results exported before.
RegistryPreview PreviewOf(const std::vector<ExportCandidate> &candidates, const RegistryPlan &plan,
                          const std::vector<RegistryExportEntry> &log);

} // namespace kront
