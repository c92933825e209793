#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace kront
{
class Database;
}

namespace kront::e2e
{

// The stored rows of one verification as a run saw them at its end: its
// Poverki row, its bunches and calculation rows, and the register entries,
// verified sensors and documents its bunches name (IDs ascending; the
// documents' numbers in the order of their IDs). A run on a shared database
// prints them as one line, which the run that started it reads back and
// compares with the database after every installation has finished.
struct VerificationRows {
    int poverkaID = 0;
    int bunches = 0;
    int results = 0;
    QList<int> references;
    QList<int> sensors;
    QList<int> documents;
    QStringList numbers;

    QString line() const;
    // The line found in a run's output; nullopt when there is none or it
    // does not read.
    static std::optional<VerificationRows> fromOutput(const QString &output);

    bool operator==(const VerificationRows &) const = default;
};

// The rows of the verification with that ID; nullopt when the tables cannot
// be read.
std::optional<VerificationRows> rowsOf(Database &db, int poverkaID);
// The ID of the last verification stored with that number; 0 for none.
int verificationNumbered(Database &db, const QString &number);

} // namespace kront::e2e
