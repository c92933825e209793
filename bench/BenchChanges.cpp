// Inserts, updates and deletions of the record operations.
#include "bench/BenchDb.h"

#include <QDateTime>

namespace kront::bench
{

namespace
{

using namespace tables;

const std::string kInserts = "record operations: inserts";
const std::string kUpdates = "record operations: updates";
const std::string kDeletes = "record operations: deletions";

// Registers a write; after each sample of ours the disk's floor for as many
// files (three for a deletion, else one) is measured and kept beside it.
void registerWrite(const std::string &name, const std::string &group, Operation ours,
                   Operation baseline)
{
    const int files = group == kDeletes ? 3 : 1;
    Operation paired = [name, files, ours](HomeUnderTest &h) {
        const double ms = ours(h);
        const double cpu = lastCpuMs;
        // The floor is of the table files: a write to the server has none.
        if (ms >= 0 && runningVariant != Variant::Server) {
            const double floor = floorCommitMs(h, files);
            if (floor >= 0)
                Summary::instance().addFloorSample(name, h.label, floor);
        }
        lastCpuMs = cpu;
        return ms;
    };
    registerOperation(name, group, kRecordGoal, paired, baseline);
}

// Baseline insert: read the table, append a row, write it back.
Operation flatInsert(const TableSchema &s)
{
    return [&s](HomeUnderTest &h) {
        FlatTable t(s);
        return timed([&] {
            if (!loadFlat(t, h, s) || t.rowCount() == 0)
                return false;
            t.appendCopy(t.rowCount() - 1);
            return saveFlat(t, h, s);
        });
    };
}

// Baseline update by ID: read, find the row, change it, write back.
Operation flatUpdate(const TableSchema &s, std::function<qint64(HomeUnderTest &)> id,
                     std::function<void(FlatTable &, int row)> change)
{
    return [&s, id, change](HomeUnderTest &h) {
        const qint64 key = id(h);
        FlatTable t(s);
        return timed([&] {
            if (!loadFlat(t, h, s))
                return false;
            const int r = flatRowById(t, key);
            if (r < 0)
                return false;
            change(t, r);
            return saveFlat(t, h, s);
        });
    };
}

void insertBenchmarks()
{
    registerWrite(
        "DBPoverkaInsert", kInserts,
        [](HomeUnderTest &h) {
            const TableRow row = h.rows->poverka(h.randomVerification());
            return timed([&] { return database().DBPoverkaInsert(row); });
        },
        flatInsert(Poverki));
    registerWrite(
        "DBEtalSensInsert", kInserts,
        [](HomeUnderTest &h) {
            const TableRow row = h.rows->reference(h.randomReference());
            return timed([&] { return database().DBEtalSensInsert(row); });
        },
        flatInsert(EtalSens));
    registerWrite(
        "DBSensorsInsert", kInserts,
        [](HomeUnderTest &h) {
            const TableRow row = h.rows->sensor(h.randomVerification(), 1, 1);
            return timed([&] { return database().DBSensorsInsert(row); });
        },
        flatInsert(Sensors));
    registerWrite(
        "DBBunchesTPInsert", kInserts,
        [](HomeUnderTest &h) {
            const TableRow row = h.rows->bunch(h.randomVerification(), 1);
            return timed([&] { return database().DBBunchesTPInsert(row); });
        },
        flatInsert(BunchesTP));
    registerWrite(
        "DBResultsTPInsert", kInserts,
        [](HomeUnderTest &h) {
            const TableRow row = h.rows->results(h.randomVerification(), 1)[7];
            return timed([&] { return database().DBResultsTPInsert(row); });
        },
        flatInsert(ResultsTP));
    registerWrite(
        "DBDocInsert", kInserts,
        [](HomeUnderTest &h) {
            const TableRow row = h.rows->document(h.randomVerification());
            return timed([&] { return database().DBDocInsert(row); });
        },
        flatInsert(Documents));
}

void poverkaUpdateBenchmarks()
{
    const auto poverkaId = [](HomeUnderTest &h) -> qint64 {
        return LabIds::poverka(h.randomVerification());
    };
    registerWrite(
        "DBPoverkaUpdateState", kUpdates,
        [](HomeUnderTest &h) {
            // A value differing from the stored one: an unchanged row is not written.
            const int i = h.randomVerification();
            const QString state = QStringLiteral("MainCycle;1;%1;5;").arg(++h.counter % 5 + 1);
            return timed(
                [&] { return database().DBPoverkaUpdateState(LabIds::poverka(i), state); });
        },
        flatUpdate(Poverki, poverkaId,
                   [](FlatTable &t, int r) { t.setText(r, 11, "Calculation;1;1;1;"); }));
    registerWrite(
        "DBPoverkaTPSetStepCount", kUpdates,
        [](HomeUnderTest &h) {
            const int id = LabIds::poverka(h.randomVerification());
            const int count = ++h.counter % 8 + 1;
            return timed([&] { return database().DBPoverkaTPSetStepCount(id, count); });
        },
        flatUpdate(Poverki, poverkaId, [](FlatTable &t, int r) { t.setInteger(r, 9, 5); }));
    registerWrite(
        "DBPoverkaSetFinished", kUpdates,
        [](HomeUnderTest &h) {
            int i = h.randomVerification();
            while (!h.rows->finished(i)) // leave the unfinished ones unfinished
                i = h.randomVerification();
            return timed(
                [&] { return database().DBPoverkaSetFinished(LabIds::poverka(i), nullptr); });
        },
        flatUpdate(Poverki, poverkaId, [](FlatTable &t, int r) {
            t.setReal(r, 3, msecsOf(QDateTime::currentDateTime()));
        }));
}

void otherUpdateBenchmarks()
{
    registerWrite(
        "DBBunchTPSetTerminated", kUpdates,
        [](HomeUnderTest &h) {
            const int id = LabIds::bunch(h.randomVerification(), 2);
            const int point = ++h.counter % 8 + 1;
            return timed([&] { return database().DBBunchTPSetTerminated(id, point); });
        },
        flatUpdate(
            BunchesTP,
            [](HomeUnderTest &h) -> qint64 { return LabIds::bunch(h.randomVerification(), 2); },
            [](FlatTable &t, int r) {
                t.setInteger(r, 32, 1);
                t.setInteger(r, 33, 3);
            }));
    registerWrite(
        "DBEtalSensUpdateAllByID", kUpdates,
        [](HomeUnderTest &h) {
            const int k = h.randomReference();
            TableRow values = h.rows->reference(k);
            values.set("RecordCreationDateTime", QDateTime::currentDateTime()); // edited just now
            return timed(
                [&] { return database().DBEtalSensUpdateAllByID(LabIds::reference(k), values); });
        },
        flatUpdate(
            EtalSens,
            [](HomeUnderTest &h) -> qint64 { return LabIds::reference(h.randomReference()); },
            [](FlatTable &t, int r) {
                for (int f = 12; f < 46; ++f)
                    t.setReal(r, f, t.real(r, f));
                t.setReal(r, 46, msecsOf(QDateTime::currentDateTime()));
            }));
    registerWrite(
        "DBUpdateBunchesTPResults", kUpdates,
        [](HomeUnderTest &h) {
            const int i = h.randomVerification();
            const int c = ++h.counter % 3 + 1;
            return timed([&] {
                return database().DBUpdateBunchesTPResults(LabIds::bunch(i, 1), LabIds::poverka(i),
                                                           {0, c, 2, 10, -1});
            });
        },
        flatUpdate(
            BunchesTP,
            [](HomeUnderTest &h) -> qint64 { return LabIds::bunch(h.randomVerification(), 1); },
            [](FlatTable &t, int r) {
                for (int k = 0; k < 4; ++k)
                    t.setText(r, 8 + k, k == 2 ? "Бр." : "2");
            }));
}

// Writes a fresh verification with its bunches and result rows (not timed)
// and returns its ID, so every timed deletion removes a whole verification
// while the home keeps its size.
int freshVerification(HomeUnderTest &h)
{
    Database &db = database();
    const int i = h.randomVerification();
    if (!db.DBPoverkaInsert(h.rows->poverka(i)))
        return -1;
    const int id = db.DBGetMaxID(tables::Poverki, QString());
    std::vector<TableRow> bunches, results;
    for (int c = 1; c <= 2; ++c) {
        bunches.push_back(h.rows->bunch(i, c).set("PoverkaID", id));
        for (TableRow &r : h.rows->results(i, c))
            results.push_back(std::move(r.set("PoverkaID", id)));
    }
    return db.insertRows(tables::BunchesTP, bunches) && db.insertRows(tables::ResultsTP, results)
               ? id
               : -1;
}

bool flatDeletePoverka(const HomeUnderTest &h, qint64 id)
{
    FlatTable poverki(Poverki), bunches(BunchesTP), results(ResultsTP);
    if (!loadFlat(poverki, h, Poverki) || !loadFlat(bunches, h, BunchesTP) ||
        !loadFlat(results, h, ResultsTP))
        return false;
    results.removeIf([&](int r) { return results.integer(r, 0) == id; });
    bunches.removeIf([&](int r) { return bunches.integer(r, 1) == id; });
    poverki.removeIf([&](int r) { return poverki.integer(r, 0) == id; });
    return saveFlat(results, h, ResultsTP) && saveFlat(bunches, h, BunchesTP) &&
           saveFlat(poverki, h, Poverki);
}

void deleteBenchmarks()
{
    registerWrite(
        "DBDeletePoverka of one verification", kDeletes,
        [](HomeUnderTest &h) {
            const int id = freshVerification(h);
            const QString filter = QStringLiteral("ID = %1").arg(id);
            return id < 0 ? -1.0 : timed([&] { return database().DBDeletePoverka(filter); });
        },
        [](HomeUnderTest &h) {
            const qint64 id = LabIds::poverka(h.randomVerification());
            return timed([&] { return flatDeletePoverka(h, id); });
        });
}

} // namespace

void registerChangeBenchmarks()
{
    registerCommitFloorBenchmark();
    insertBenchmarks();
    poverkaUpdateBenchmarks();
    otherUpdateBenchmarks();
    deleteBenchmarks();
}

} // namespace kront::bench
