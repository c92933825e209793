#include "tests/durability/Ledger.h"

#include "common/AppHome.h"
#include "db/Database.h"
#include "db/TableFile.h"
#include "model/TPoverka.h"
#include "procedure/UnfinishedVerifications.h"
#include "tests/durability/Workload.h"
#include "tests/support/ScriptedDialogs.h"

#include <QDir>
#include <QList>

namespace kront::durability
{

namespace
{

using Row = std::vector<sql::Value>;

Row rowOf(const sql::Statement &st)
{
    Row r;
    for (int i = 0; i < st.columnCount(); ++i)
        r.push_back(st.value(i));
    return r;
}

std::vector<Row> fileQuery(const TableSchema &schema, const QString &sql, bool *ok)
{
    std::vector<Row> out;
    auto file = TableFile::open(schema, TableFile::Mode::Read);
    if (!file) {
        *ok = false;
        return out;
    }
    sqlite::Statement st(file->connection(), sql);
    while (st.step())
        out.push_back(rowOf(st));
    *ok = *ok && !st.failed();
    return out;
}

// Through a Database on the store the home's settings name, in one read
// transaction.
std::vector<Row> storeQuery(Database &db, const TableSchema &schema, const QString &sql, bool *ok)
{
    std::vector<Row> out;
    const bool read = db.readTables(schema, {}, [&](sql::Connection &conn) {
        sql::Statement st(conn, sql);
        while (st.step())
            out.push_back(rowOf(st));
        return st.failed() ? &schema : nullptr;
    });
    *ok = *ok && read;
    return out;
}

qint64 integer(const sql::Value &v)
{
    const auto *i = std::get_if<qint64>(&v);
    return i ? *i : -1;
}

QString text(const sql::Value &v)
{
    const auto *s = std::get_if<QString>(&v);
    return s ? *s : QString();
}

bool isNull(const sql::Value &v)
{
    return std::holds_alternative<std::monostate>(v);
}

} // namespace

std::vector<Ledger::Row> Ledger::query(const TableSchema &schema, const QString &sql,
                                       bool *ok) const
{
    return store ? storeQuery(*store, schema, sql, ok) : fileQuery(schema, sql, ok);
}

void Ledger::apply(const QByteArray &reported)
{
    for (const QByteArray &raw : reported.split('\n')) {
        if (raw.isEmpty())
            continue;
        const QString line = QString::fromUtf8(raw);
        const QStringList w = line.split(u' ');
        ++reportedOperations;
        const int id = w.size() > 1 ? w[1].toInt() : 0;
        if (w[0] == QLatin1String("M")) {
            problem(QStringLiteral("a message was shown: ") + line.mid(2));
        } else if (w[0] == QLatin1String("P") && w.size() == 3) {
            if (id <= highestIdSeen)
                problem(QStringLiteral("ID %1 issued again (highest seen %2)")
                            .arg(id)
                            .arg(highestIdSeen));
            highestIdSeen = std::max(highestIdSeen, id);
            created[id] = w[2];
        } else if (w[0] == QLatin1String("B")) {
            withBunches.insert(id);
            step[id] = 0;
        } else if (w[0] == QLatin1String("S") && w.size() == 3) {
            step[id] = w[2].toInt();
            ++stepsReported;
            if (unfinishedAtLastCheck.count(id))
                ++stepsAfterResume;
        } else if (w[0] == QLatin1String("F")) {
            finished.insert(id);
        } else if (w[0] == QLatin1String("x")) {
            deleting.insert(id);
        } else if (w[0] == QLatin1String("X")) {
            deleted.insert(id);
        } else if (w[0] == QLatin1String("D") && w.size() == 2) {
            documents.insert(w[1]);
        } else if (w[0] == QLatin1String("E") && w.size() == 3) {
            references[id] = w[2].toDouble();
        } else {
            problem(QStringLiteral("unreadable report line: ") + line);
        }
    }
}

void Ledger::checkFiles()
{
    for (const TableSchema *schema : allTables()) {
        auto file = TableFile::open(*schema, TableFile::Mode::Write);
        if (!file) {
            problem(QStringLiteral("%1 does not open").arg(schema->tableName()));
            continue;
        }
        sqlite::Statement st(file->connection(), QStringLiteral("PRAGMA integrity_check"));
        const QString result = st.step() ? st.text(0) : QStringLiteral("(no answer)");
        if (result != QLatin1String("ok"))
            problem(QStringLiteral("%1 integrity: %2").arg(schema->tableName(), result));
    }
}

// A server keeps its own integrity; every table must still read, and no
// table file may have been made beside it.
void Ledger::checkServerTables()
{
    const QStringList files =
        QDir(AppHome::dataDir()).entryList({QStringLiteral("*.cds")}, QDir::Files);
    if (!files.isEmpty())
        problem(QStringLiteral("table files beside the server: ") + files.join(u' '));
    for (const TableSchema *schema : allTables()) {
        bool ok = true;
        query(*schema, QStringLiteral("SELECT COUNT(*) FROM %1").arg(schema->tableName()), &ok);
        if (!ok)
            problem(QStringLiteral("%1 cannot be read on the server").arg(schema->tableName()));
    }
}

void Ledger::checkPoverki()
{
    bool ok = true;
    const auto poverki =
        query(tables::Poverki,
              QStringLiteral("SELECT ID, PovNum, Finished, CurrPovState FROM Poverki"), &ok);
    const auto bunches =
        query(tables::BunchesTP, QStringLiteral("SELECT PoverkaID, ID FROM BunchesTP"), &ok);
    const auto counts = query(tables::ResultsTP,
                              QStringLiteral("SELECT PoverkaID, BunchID, MeasPointNum, COUNT(*) "
                                             "FROM ResultsTP GROUP BY 1, 2, 3"),
                              &ok);
    if (!ok)
        return problem(QStringLiteral("the verification tables could not be read"));
    std::map<int, std::vector<int>> bunchesOf;
    for (const Row &b : bunches)
        bunchesOf[int(integer(b[0]))].push_back(int(integer(b[1])));
    std::map<std::tuple<int, int, int>, int> rowCount;
    for (const Row &c : counts) {
        const int pov = int(integer(c[0])), n = int(integer(c[3]));
        rowCount[{pov, int(integer(c[1])), int(integer(c[2]))}] = n;
        if (n != kRowsPerStep)
            problem(QStringLiteral("verification %1: a step with %2 rows").arg(pov).arg(n));
    }
    std::set<int> present;
    std::set<int> unfinished;
    for (const Row &p : poverki) {
        const int id = int(integer(p[0]));
        present.insert(id);
        highestIdSeen = std::max(highestIdSeen, id);
        const bool done = !isNull(p[2]);
        const int stored = done ? kSteps : stepOfState(text(p[3]));
        if (created.count(id) && created[id] != text(p[1]))
            problem(QStringLiteral("verification %1 has number %2").arg(id).arg(text(p[1])));
        if (step.count(id) && !done && stored < step[id])
            problem(QStringLiteral("verification %1 at step %2, reported %3")
                        .arg(id)
                        .arg(stored)
                        .arg(step[id]));
        if (finished.count(id) && !done)
            problem(QStringLiteral("verification %1 reported finished is not").arg(id));
        if (seenStep.count(id) && stored >= 0 && stored < seenStep[id])
            problem(QStringLiteral("verification %1 went back to step %2").arg(id).arg(stored));
        if (stored >= 0)
            seenStep[id] = stored;
        if (stored >= 0 && bunchesOf[id].size() != 2)
            problem(
                QStringLiteral("verification %1 has %2 bunches").arg(id).arg(bunchesOf[id].size()));
        for (int b : bunchesOf[id]) {
            for (int point = 1; point <= std::max(0, stored); ++point) {
                if (rowCount[{id, b, point}] != kRowsPerStep)
                    problem(
                        QStringLiteral("verification %1 step %2 marked complete without its rows")
                            .arg(id)
                            .arg(point));
            }
        }
        if (!done && text(p[3]) != QLatin1String("Calculation;0;1;1;"))
            unfinished.insert(id);
    }
    for (const auto &[id, num] : created) {
        if (!deleted.count(id) && !deleting.count(id) && !present.count(id))
            problem(QStringLiteral("verification %1 (%2) reported inserted is missing")
                        .arg(id)
                        .arg(num));
    }
    for (int id : deleted) {
        if (present.count(id) || bunchesOf.count(id))
            problem(QStringLiteral("verification %1 reported deleted is still there").arg(id));
    }
    for (const auto &[key, n] : rowCount) {
        if (!present.count(std::get<0>(key)))
            problem(
                QStringLiteral("result rows of a missing verification %1").arg(std::get<0>(key)));
    }
    for (const auto &[pov, list] : bunchesOf) {
        if (!present.count(pov))
            problem(QStringLiteral("bunches of a missing verification %1").arg(pov));
    }
    unfinishedAtLastCheck = unfinished;
}

void Ledger::checkOthers()
{
    bool ok = true;
    const auto docs = query(tables::Documents, QStringLiteral("SELECT DocNum FROM Documents"), &ok);
    const auto refs =
        query(tables::EtalSens, QStringLiteral("SELECT ID, Temp1 FROM EtalSens"), &ok);
    if (!ok)
        return problem(QStringLiteral("Documents or EtalSens could not be read"));
    std::set<QString> stored;
    for (const Row &d : docs)
        stored.insert(text(d[0]));
    for (const QString &num : documents) {
        if (!stored.count(num))
            problem(QStringLiteral("document %1 reported inserted is missing").arg(num));
    }
    for (const Row &r : refs) {
        const int id = int(integer(r[0]));
        const auto *t = std::get_if<double>(&r[1]);
        if (references.count(id) && (!t || *t < references[id]))
            problem(QStringLiteral("reference %1 lost its edit to %2").arg(id).arg(references[id]));
    }
}

// The main window's list of unfinished verifications shows each one that a
// kill interrupted, and choosing it rebuilds the verification at its stored step.
void Ledger::checkResumption()
{
    test::ScriptedDialogs dialogs;
    dialogs.defaultYes = true;
    Database db(dialogs);
    UnfinishedVerifications unfinished(db, dialogs);
    const auto rows = unfinished.List();
    if (!rows)
        return problem(QStringLiteral("the unfinished list could not be read"));
    std::set<int> listed;
    for (const UnfinishedRow &row : *rows) {
        listed.insert(row.id);
        const int stored = seenStep.count(row.id) ? seenStep[row.id] : -1;
        if (stored < 0)
            continue; // a start that never reached its first step
        const auto poverka = unfinished.Resume(row);
        if (!poverka) {
            problem(QStringLiteral("verification %1 does not resume").arg(row.id));
            continue;
        }
        if (int(poverka->StepIndex) != stored || poverka->ID != row.id)
            problem(QStringLiteral("verification %1 resumes at step %2, stored %3")
                        .arg(row.id)
                        .arg(poverka->StepIndex)
                        .arg(stored));
        ++resumptionsChecked;
    }
    for (int id : unfinishedAtLastCheck) {
        if (!listed.count(id))
            problem(QStringLiteral("unfinished verification %1 is not in the list").arg(id));
    }
    for (const auto &shown : dialogs.shown) {
        if (shown.icon == Dialogs::Icon::Error || shown.icon == Dialogs::Icon::Warning)
            problem(QStringLiteral("resumption showed: ") + shown.text);
    }
}

void Ledger::checkHome()
{
    if (where == Tables::Server) {
        // One connection for the checks, closed before the next child starts.
        test::ScriptedDialogs dialogs;
        Database db(dialogs);
        store = &db;
        checkServerTables();
        checkPoverki();
        checkOthers();
        store = nullptr;
    } else {
        checkFiles();
        checkPoverki();
        checkOthers();
    }
    checkResumption();
}

} // namespace kront::durability
