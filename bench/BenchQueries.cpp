// Queries and reads of the record operations.
#include "bench/BenchDb.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"

#include <benchmark/benchmark.h>

#include <cmath>

namespace kront::bench
{

namespace
{

using namespace tables;

const std::string kGroup = "record operations: queries and reads";

QString sensorFilter(const TableRow &s)
{
    return QStringLiteral(
               "SerialNum = '%1' and ProdYear = %2 and TypeName = '%3' and NSHType = '%4'")
        .arg(s.value(u"SerialNum").toString())
        .arg(s.value(u"ProdYear").toInt())
        .arg(s.value(u"TypeName").toString(), s.value(u"NSHType").toString());
}

QString deltaCountFilter(int i, int channel)
{
    return QStringLiteral("PoverkaID = %1 and BunchID = %2 and Stage = 'Calculation' and "
                          "MeasPointNum = 3 and MeasNum = 5 and Operation = 'Delta'")
        .arg(LabIds::poverka(i))
        .arg(LabIds::bunch(i, channel));
}

double flatMaxId(const HomeUnderTest &h, const TableSchema &s)
{
    FlatTable t(s);
    return timed([&] {
        if (!loadFlat(t, h, s))
            return false;
        qint64 max = 0;
        for (int r = 0; r < t.rowCount(); ++r)
            max = std::max(max, t.integer(r, 0));
        return max > 0;
    });
}

void maxIdBenchmarks()
{
    registerOperation(
        "DBGetMaxID Poverki, no filter", kGroup, kRecordGoal,
        [](HomeUnderTest &) {
            return timed([] { return database().DBGetMaxID(tables::Poverki, QString()) > 0; });
        },
        [](HomeUnderTest &h) { return flatMaxId(h, Poverki); });
    registerOperation(
        "DBGetMaxID Poverki, number and today", kGroup, kRecordGoal,
        [](HomeUnderTest &h) {
            const QString povNum =
                h.rows->poverka(h.randomVerification()).value(u"PovNum").toString();
            const QString filter = QStringLiteral("PovNum = '%1' and Date(Started) = "
                                                  "Date(GetDate())")
                                       .arg(povNum);
            return timed([&] { return database().DBGetMaxID(tables::Poverki, filter) >= -1; });
        },
        [](HomeUnderTest &h) {
            const QByteArray povNum =
                h.rows->poverka(h.randomVerification()).value(u"PovNum").toString().toUtf8();
            FlatTable t(Poverki);
            return timed([&] {
                if (!loadFlat(t, h, Poverki))
                    return false;
                int best = 0;
                for (int r = 1; r < t.rowCount(); ++r) {
                    if (t.integer(r, 0) > t.integer(best, 0))
                        best = r;
                }
                const QDate started =
                    QDateTime::fromMSecsSinceEpoch(qint64(t.real(best, field(Poverki, "Started"))))
                        .date();
                const bool passes =
                    t.textEquals(best, 1, povNum) && started == QDate::currentDate();
                benchmark::DoNotOptimize(passes);
                return true;
            });
        });
    registerOperation(
        "DBGetMaxID BunchesTP, verification and channel", kGroup, kRecordGoal,
        [](HomeUnderTest &h) {
            const QString filter = QStringLiteral("PoverkaID = %1 and ChannelNum = 2")
                                       .arg(LabIds::poverka(h.randomVerification()));
            return timed([&] { return database().DBGetMaxID(tables::BunchesTP, filter) >= -1; });
        },
        [](HomeUnderTest &h) { return flatMaxId(h, BunchesTP); });
}

void idAndCountBenchmarks()
{
    registerOperation(
        "DBGetID Sensors, serial, year, type, NSH", kGroup, kRecordGoal,
        [](HomeUnderTest &h) {
            const QString filter = sensorFilter(h.rows->sensor(h.randomVerification(), 2, 3));
            return timed([&] { return database().DBGetID(tables::Sensors, filter) > 0; });
        },
        [](HomeUnderTest &h) {
            const TableRow s = h.rows->sensor(h.randomVerification(), 2, 3);
            FlatTable t(Sensors);
            return timed([&] {
                if (!loadFlat(t, h, Sensors))
                    return false;
                int found = 0;
                for (int r = 0; r < t.rowCount(); ++r) {
                    found += t.textEquals(r, 1, s.values()[1].toString().toUtf8()) &&
                             t.integer(r, 2) == s.values()[2].toInt() &&
                             t.textEquals(r, 3, s.values()[3].toString().toUtf8()) &&
                             t.textEquals(r, 4, s.values()[4].toString().toUtf8());
                }
                return found == 1;
            });
        });
    registerOperation(
        "DBGetRecordsCount ResultsTP, one step's Delta", kGroup, kRecordGoal,
        [](HomeUnderTest &h) {
            const QString filter = deltaCountFilter(h.randomVerification(), 1);
            return timed(
                [&] { return database().DBGetRecordsCount(tables::ResultsTP, filter) == 1; });
        },
        [](HomeUnderTest &h) {
            const int i = h.randomVerification();
            const qint64 pov = LabIds::poverka(i), bunch = LabIds::bunch(i, 1);
            FlatTable t(ResultsTP);
            return timed([&] {
                if (!loadFlat(t, h, ResultsTP))
                    return false;
                int n = 0;
                for (int r = 0; r < t.rowCount(); ++r) {
                    n += t.integer(r, 0) == pov && t.integer(r, 1) == bunch &&
                         t.textEquals(r, 3, "Calculation") && t.integer(r, 4) == 3 &&
                         t.integer(r, 5) == 5 && t.textEquals(r, 20, "Delta");
                }
                return n == 1;
            });
        });
    registerOperation(
        "DBGetRecordsCount BunchesTP, verification", kGroup, kRecordGoal,
        [](HomeUnderTest &h) {
            const QString filter =
                QStringLiteral("PoverkaID = %1").arg(LabIds::poverka(h.randomVerification()));
            return timed(
                [&] { return database().DBGetRecordsCount(tables::BunchesTP, filter) == 2; });
        },
        [](HomeUnderTest &h) {
            const qint64 pov = LabIds::poverka(h.randomVerification());
            FlatTable t(BunchesTP);
            return timed([&] {
                if (!loadFlat(t, h, BunchesTP))
                    return false;
                int n = 0;
                for (int r = 0; r < t.rowCount(); ++r)
                    n += t.integer(r, 1) == pov;
                return n == 2;
            });
        });
}

void sensorReadBenchmarks()
{
    registerOperation(
        "DBGetEtalSvidData", kGroup, kRecordGoal,
        [](HomeUnderTest &h) {
            const int id = LabIds::reference(h.randomReference());
            double e = 0, t = 0;
            return timed([&] { return database().DBGetEtalSvidData(id, e, t, 5.0) && t > 0; });
        },
        [](HomeUnderTest &h) {
            const int id = LabIds::reference(h.randomReference());
            FlatTable t(EtalSens);
            return timed([&] {
                if (!loadFlat(t, h, EtalSens))
                    return false;
                const int r = flatRowById(t, id);
                if (r < 0)
                    return false;
                double best = 1e9, temp = -300;
                for (int k = 0; k < 17; ++k) {
                    const double e = t.real(r, 13 + 2 * k);
                    if (std::fabs(e - 5.0) < best) {
                        best = std::fabs(e - 5.0);
                        temp = t.real(r, 12 + 2 * k);
                    }
                }
                return temp > 0;
            });
        });
    registerOperation(
        "DBReadEtalSensor", kGroup, kRecordGoal,
        [](HomeUnderTest &h) {
            const int id = LabIds::reference(h.randomReference());
            TBunch bunch;
            return timed(
                [&] { return database().DBReadEtalSensor(id, bunch) && bunch.EtalSensor; });
        },
        [](HomeUnderTest &h) {
            const int id = LabIds::reference(h.randomReference());
            FlatTable t(EtalSens);
            return timed([&] { return loadFlat(t, h, EtalSens) && flatRowById(t, id) >= 0; });
        });
    registerOperation(
        "DBReadPovSensor", kGroup, kRecordGoal,
        [](HomeUnderTest &h) {
            const int id = LabIds::sensor(h.randomVerification(), 1, 2);
            TBunch bunch;
            TPoverka poverka;
            return timed([&] {
                return database().DBReadPovSensor(id, 2, bunch, &poverka) && bunch.Sensors[2];
            });
        },
        [](HomeUnderTest &h) {
            const int id = LabIds::sensor(h.randomVerification(), 1, 2);
            FlatTable t(Sensors);
            return timed([&] { return loadFlat(t, h, Sensors) && flatRowById(t, id) >= 0; });
        });
}

} // namespace

void registerQueryBenchmarks()
{
    maxIdBenchmarks();
    idAndCountBenchmarks();
    sensorReadBenchmarks();
}

} // namespace kront::bench
