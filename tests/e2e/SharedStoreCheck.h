#pragma once

#include "VerificationRows.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace kront
{
class Database;
}

namespace kront::e2e
{

// One installation of a run of several on one database: its name, the
// number of the verification it made and the rows its run saw at its end.
struct Participant {
    QString installation;
    QString number;
    VerificationRows seen;
};

// Checks the shared database once every installation has finished: one
// verification each, marked with its installation; the database holding for
// each verification the rows its run saw; every bunch, calculation row,
// verified sensor and document belonging to one verification only (a
// calculation row's bunch is of its own verification); document numbers of a
// kind distinct and without gaps; the register holding just the `references`
// entries given before the runs, which the bunches name. The failures, empty
// when all holds.
QStringList checkSharedStore(Database &db, const std::vector<Participant> &all, int references);

} // namespace kront::e2e
