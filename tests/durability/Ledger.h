#pragma once

#include "db/SqlConnection.h"
#include "db/TableSchema.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <map>
#include <set>
#include <vector>

namespace kront
{
class Database;
}

// What the killed children reported as done, and the check of the tables
// against it after every kill.
namespace kront::durability
{

class Ledger
{
public:
    // Where the home keeps its tables: the checks read the table files
    // directly, or the server's tables through the record operations' store.
    enum class Tables { Files, Server };
    explicit Ledger(Tables kept = Tables::Files) : where(kept) {}

    // Takes the report lines of one child; problems with the lines
    // themselves (a shown message, an ID issued twice) go to problems().
    void apply(const QByteArray &reported);

    // Checks the home's tables: every table file opens and passes the
    // integrity check (on the server: every table reads); everything reported is there; nothing
    // deleted is; no step is marked complete without all its rows, and no step is half written;
    // bunches and rows always have their verification; a verification's stored step never goes
    // back.
    void checkHome();

    const QStringList &problems() const { return found; }
    int operations() const { return reportedOperations; }
    int finishedCount() const { return int(finished.size()); }
    int deletedCount() const { return int(deleted.size()); }
    int stepsCount() const { return stepsReported; }
    int resumedSteps() const { return stepsAfterResume; }
    int resumptionsCount() const { return resumptionsChecked; }

private:
    using Row = std::vector<sql::Value>;

    void problem(const QString &text) { found << text; }
    // The rows of a query on one table; ok false when it could not be read.
    std::vector<Row> query(const TableSchema &schema, const QString &sql, bool *ok) const;
    void checkFiles();
    void checkServerTables();
    void checkPoverki();
    void checkOthers();
    void checkResumption();

    std::map<int, QString> created; // id -> PovNum
    std::set<int> withBunches, finished, deleted;
    std::set<int> deleting;      // a deletion was begun: the row may be gone
    std::map<int, int> step;     // last step reported complete
    std::map<int, int> seenStep; // stored step at the last check
    std::set<int> unfinishedAtLastCheck;
    std::set<QString> documents;
    std::map<int, double> references; // etalID -> last Temp1 reported
    int highestIdSeen = 0;            // largest Poverki ID ever in the file
    int reportedOperations = 0;
    int stepsReported = 0;
    int stepsAfterResume = 0;
    int resumptionsChecked = 0;
    QStringList found;
    Tables where;
    Database *store = nullptr; // the server's tables, while they are checked
};

} // namespace kront::durability
