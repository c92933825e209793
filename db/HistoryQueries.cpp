#include "db/HistoryQueries.h"

#include "db/Database.h"
#include "db/FieldValue.h"

#include <algorithm>

namespace kront
{

namespace
{

using tables::BunchesTP;
using tables::EtalSens;
using tables::Poverki;
using tables::ResultsTP;
using tables::Sensors;

double realOrAbsent(const sqlite::Statement &st, int col)
{
    return st.isNull(col) ? -300.0 : st.real(col);
}

QDateTime dateTimeAt(const sqlite::Statement &st, int col)
{
    return st.isNull(col) ? QDateTime() : dateTimeFromStored(st.text(col));
}

// nullptr when the statement was prepared and ran to its end, else `table`.
const TableSchema *failedOn(const sqlite::Statement &st, const TableSchema &table)
{
    return st.isValid() && !st.failed() ? nullptr : &table;
}

void bindKey(sqlite::Statement &st, const StoredSensorKey &key)
{
    st.bind(1, key.serial);
    st.bind(2, key.typeName.isNull() ? QStringLiteral("") : key.typeName);
    st.bind(3, qint64(key.prodYear));
}

// The finished verifications of the thermocouple: one use per input of a bunch it was on.
const TableSchema *readSensorUses(sql::Connection &conn, const StoredSensorKey &key,
                                  std::vector<SensorUse> &uses)
{
    sqlite::Statement st(
        conn,
        QStringLiteral("SELECT s.ID, s.ClassDop, b.ID, b.PoverkaID, b.ChannelNum, "
                       "b.PovSensorID1, b.PovSensorID2, b.PovSensorID3, b.PovSensorID4, "
                       "b.ResultInp1, b.ResultInp2, b.ResultInp3, b.ResultInp4, "
                       "b.DocNumInp1, b.DocNumInp2, b.DocNumInp3, b.DocNumInp4, "
                       "p.PovNum, p.Finished, p.Kind, p.Methodic "
                       "FROM Sensors s JOIN BunchesTP b ON b.PovSensorID1 = s.ID OR "
                       "b.PovSensorID2 = s.ID OR b.PovSensorID3 = s.ID OR b.PovSensorID4 = s.ID "
                       "JOIN Poverki p ON p.ID = b.PoverkaID "
                       "WHERE s.SerialNum = ?1 AND coalesce(s.TypeName, '') = ?2 AND "
                       "coalesce(s.ProdYear, 0) = ?3 "
                       "AND p.Finished IS NOT NULL ORDER BY p.Finished, b.ID"));
    bindKey(st, key);
    while (st.step()) {
        const qint64 sensorID = st.integer(0);
        for (int input = 1; input <= 4; ++input) {
            if (st.isNull(4 + input) || st.integer(4 + input) != sensorID)
                continue;
            SensorUse u;
            u.sensorID = int(sensorID);
            u.classDop = st.text(1);
            u.bunchID = int(st.integer(2));
            u.poverkaID = int(st.integer(3));
            u.channel = int(st.integer(4));
            u.input = input;
            u.result = st.text(8 + input);
            u.docNum = st.text(12 + input);
            u.povNum = st.text(17);
            u.finished = dateTimeAt(st, 18);
            u.kind = int(st.integer(19));
            u.methodic = int(st.integer(20));
            uses.push_back(std::move(u));
        }
    }
    return failedOn(st, BunchesTP);
}

// The "Average" and "Delta" rows of the bunches of `uses`.
const TableSchema *readCalculationRows(sql::Connection &conn, const std::vector<SensorUse> &uses,
                                       std::vector<CalculationValues> &out)
{
    sqlite::Statement rows(
        conn,
        QStringLiteral("SELECT MeasPointNum, Operation, EtalSensorType, t_et, t_pret, TEDSe1Inp1, "
                       "TEDSe1Inp2, TEDSe1Inp3, TEDSe1Inp4 FROM ResultsTP "
                       "WHERE PoverkaID = ?1 AND BunchID = ?2 AND Stage = 'Calculation' AND "
                       "Operation IN ('Average', 'Delta')"));
    for (const SensorUse &u : uses) {
        rows.reset();
        rows.bind(1, qint64(u.poverkaID));
        rows.bind(2, qint64(u.bunchID));
        while (rows.step()) {
            CalculationValues v;
            v.bunchID = u.bunchID;
            v.point = int(rows.integer(0));
            v.operation = rows.text(1);
            v.etalSensorType = rows.isNull(2) ? 1 : int(rows.integer(2));
            v.tEt = realOrAbsent(rows, 3);
            v.tPret = realOrAbsent(rows, 4);
            for (int input = 1; input <= 4; ++input)
                v.input[std::size_t(input)] = realOrAbsent(rows, 4 + input);
            out.push_back(std::move(v));
        }
        if (const TableSchema *failed = failedOn(rows, ResultsTP))
            return failed;
    }
    return failedOn(rows, ResultsTP);
}

// A bunch a reference served in, with its verification's finish as stored.
struct Served {
    int poverkaID, bunchID;
    QString finished; // only the dates used are read
};

// Every bunch the reference served in, by finish.
const TableSchema *readServed(sql::Connection &conn, const StoredSensorKey &key,
                              std::vector<Served> &served)
{
    sqlite::Statement st(
        conn, QStringLiteral("SELECT b.PoverkaID, b.ID, p.Finished "
                             "FROM EtalSens e JOIN BunchesTP b ON b.EtalSensorID = e.ID "
                             "JOIN Poverki p ON p.ID = b.PoverkaID "
                             "WHERE e.SerialNum = ?1 AND coalesce(e.TypeName, '') = ?2 AND "
                             "coalesce(e.ProdYear, 0) = ?3 AND p.Finished IS NOT NULL "
                             "ORDER BY p.Finished, b.ID"));
    bindKey(st, key);
    while (st.step())
        served.push_back({int(st.integer(0)), int(st.integer(1)), st.text(2)});
    return failedOn(st, BunchesTP);
}

// The index in `served` of the first bunch of the latest kReferenceReadingVerifications
// verifications (both channels of one count once).
std::size_t latestVerificationsFrom(const std::vector<Served> &served)
{
    std::size_t from = served.size();
    for (int taken = 0; from > 0; --from) {
        if (from == served.size() || served[from - 1].poverkaID != served[from].poverkaID) {
            if (taken == kReferenceReadingVerifications)
                break;
            ++taken;
        }
    }
    return from;
}

// The furnace readings ("Average" rows) of the bunches served[from..].
const TableSchema *readReadings(sql::Connection &conn, const std::vector<Served> &served,
                                std::size_t from, std::vector<ReferenceUse> &readings)
{
    sqlite::Statement rows(
        conn, QStringLiteral("SELECT MeasPointNum, t_et FROM ResultsTP WHERE PoverkaID = ?1 AND "
                             "BunchID = ?2 AND Stage = 'Calculation' AND Operation = 'Average'"));
    for (std::size_t i = from; i < served.size(); ++i) {
        const Served &s = served[i];
        const QDateTime finished = dateTimeFromStored(s.finished);
        rows.reset();
        rows.bind(1, qint64(s.poverkaID));
        rows.bind(2, qint64(s.bunchID));
        while (rows.step())
            readings.push_back(
                {s.poverkaID, s.bunchID, finished, int(rows.integer(0)), realOrAbsent(rows, 1)});
        if (const TableSchema *failed = failedOn(rows, ResultsTP))
            return failed;
    }
    return failedOn(rows, ResultsTP);
}

int distinctVerifications(const std::vector<Served> &served)
{
    std::vector<int> ids;
    for (const Served &s : served)
        ids.push_back(s.poverkaID);
    std::sort(ids.begin(), ids.end());
    return int(std::unique(ids.begin(), ids.end()) - ids.begin());
}

} // namespace

std::optional<std::vector<StoredSensorKey>>
DBFindSensorsBySerial(Database &db, const QString &serial, bool reference)
{
    const TableSchema &table = reference ? EtalSens : Sensors;
    std::vector<StoredSensorKey> keys;
    const bool read = db.readTables(table, {}, [&](sql::Connection &conn) {
        sqlite::Statement st(conn, QStringLiteral("SELECT DISTINCT TypeName, ProdYear, NSHType "
                                                  "FROM %1 WHERE SerialNum = ?1 "
                                                  "ORDER BY TypeName, ProdYear, NSHType")
                                       .arg(table.tableName()));
        st.bind(1, serial);
        while (st.step())
            keys.push_back({serial, st.text(0), st.isNull(1) ? 0 : int(st.integer(1)), st.text(2)});
        return failedOn(st, table);
    });
    if (!read)
        return std::nullopt;
    return keys;
}

std::optional<SensorUses> DBGetSensorUses(Database &db, const StoredSensorKey &key)
{
    SensorUses out;
    const bool read =
        db.readTables(Sensors, {&BunchesTP, &Poverki, &ResultsTP}, [&](sql::Connection &conn) {
            const TableSchema *failed = readSensorUses(conn, key, out.uses);
            return failed ? failed : readCalculationRows(conn, out.uses, out.rows);
        });
    if (!read)
        return std::nullopt;
    return out;
}

std::optional<ReferenceUses> DBGetReferenceUses(Database &db, const StoredSensorKey &key)
{
    ReferenceUses out;
    const bool read = db.readTables(
        EtalSens, {&BunchesTP, &Poverki, &ResultsTP},
        [&](sql::Connection &conn) -> const TableSchema * {
            std::vector<Served> served;
            if (const TableSchema *failed = readServed(conn, key, served))
                return failed;
            if (served.empty())
                return nullptr;
            out.verifications = distinctVerifications(served);
            out.first = dateTimeFromStored(served.front().finished);
            out.last = dateTimeFromStored(served.back().finished);
            return readReadings(conn, served, latestVerificationsFrom(served), out.readings);
        });
    if (!read)
        return std::nullopt;
    return out;
}

} // namespace kront
