#pragma once

#include "db/VerificationConditions.h"

#include <QDate>
#include <QDateTime>
#include <QString>

#include <optional>
#include <vector>

namespace kront
{

class Database;
class Dialogs;

// One verified thermocouple of a finished verification as the tables hold it, before it is
// checked for the import file.
struct ExportCandidate {
    int poverkaID = 0;
    QString povNum;
    QDateTime finished;
    int kind = 0;    // 0 primary, 1 periodic
    QString gostNum; // the procedure
    std::optional<VerificationConditions> conditions;
    int bunchID = 0;
    int channel = 0;
    int input = 0; // 1..4
    int etalSensID = 0;
    int sensorID = 0;
    QString serialNum;
    int prodYear = 0; // 0 when not given
    QString typeName;
    QString owner;
    QString result;  // the result class "1".."3", "Брак", or empty when none was reached
    QString reasons; // of an unfit thermocouple: the reasons of its notice

    bool unfit() const;
};

// The finished verifications whose finish date lies in [from, to] (a null date leaves that end
// open), in the order of their IDs; nullopt after the table's message.
std::optional<std::vector<int>> FinishedPoverkaIDs(Database &db, const QDate &from,
                                                   const QDate &to);

// The verified thermocouples of the verifications (never their references), in the order of the
// IDs, channels and inputs. A verification that is not finished or does not exist gives none.
// The reasons of an unfit one are built with reduceResultClass. nullopt after a table's message.
std::optional<std::vector<ExportCandidate>> GatherCandidates(Database &db, Dialogs &dialogs,
                                                             const std::vector<int> &poverkaIDs,
                                                             bool reduceResultClass);

} // namespace kront
