#pragma once

#include "db/TableRow.h"

#include <QDateTime>
#include <QString>

#include <vector>

// The homes the benchmarks measure: a laboratory's data after one month and
// after twenty years of work, built through the program's own record
// operations and kept on disk so that later runs reuse them.
namespace kront::bench
{

struct LabSize {
    const char *name;    // folder name and label in the summary
    int verifications;   // Poverki rows; two bunches, eight sensors, one document each
    int resultsPerBunch; // ResultsTP rows of one bunch
    int references;      // EtalSens rows
};

// 50,000 verifications in twenty years is about 208 a month.
inline constexpr LabSize kMonth{"month", 208, 50, 40};
inline constexpr LabSize kOneYear{"one-year", 2500, 50, 40};
inline constexpr LabSize kTwentyYears{"twenty-years", 50000, 50, 40};

// Identifiers the generator gives rows (a fresh table gives its first row ID 2).
struct LabIds {
    static int poverka(int i) { return i + 2; }
    static int bunch(int i, int channel) { return 2 * i + channel + 1; }
    static int sensor(int i, int channel, int input)
    {
        return 8 * i + 4 * (channel - 1) + input + 1;
    }
    static int reference(int k) { return k + 2; }
    static int document(int i) { return i + 2; }
};

// Rows as the program writes them.
struct LabRows {
    LabRows(const LabSize &size, const QDateTime &now);

    QDateTime started(int i) const;
    bool finished(int i) const; // a few verifications stay unfinished
    TableRow poverka(int i) const;
    TableRow reference(int k) const;
    TableRow sensor(int i, int channel, int input) const;
    TableRow bunch(int i, int channel) const;
    // The measurement and calculation rows of one bunch.
    std::vector<TableRow> results(int i, int channel) const;
    TableRow document(int i) const;

    const LabSize &size;
    QDateTime now;
    qint64 spanSecs; // time covered by the home
};

// Makes sure a complete home of that size exists under `cacheDir` and returns
// its path; builds it (printing progress to stderr) when it is missing or was
// left half-built. The build goes through Database::insertRows in batches.
QString ensureLabHome(const LabSize &size, const QString &cacheDir);

// When the home's rows were generated (the `now` of its LabRows).
QDateTime labHomeTime(const QString &home);

// A copy of a cached home that benchmarks may change, flushed to disk.
QString copyHome(const QString &from, const QString &to);

} // namespace kront::bench
