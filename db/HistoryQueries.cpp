#include "db/HistoryQueries.h"

#include "common/Dialogs.h"
#include "db/FieldValue.h"
#include "db/TableFile.h"

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

// Opens `main` with the other tables attached; the message of the first
// table that cannot be opened is shown.
std::optional<TableFile> openJoined(Dialogs &dialogs, const TableSchema &main,
                                    std::initializer_list<const TableSchema *> others)
{
    auto file = TableFile::open(main, TableFile::Mode::Read);
    if (!file) {
        dialogs.error(QString::fromUtf8(main.openFailureText));
        return std::nullopt;
    }
    for (const TableSchema *other : others) {
        if (!file->attach(*other, TableFile::Mode::Read)) {
            dialogs.error(QString::fromUtf8(other->openFailureText));
            return std::nullopt;
        }
    }
    return file;
}

// A home made before the bunches were looked up by their sensors lacks those
// indexes: the store adds what its file lacks, as on every opening. A file that
// cannot take them now (read-only, locked) is read without them, only slower;
// the read that follows reports a table it cannot open.
void ensureBunchIndexes()
{
    if (auto file = TableFile::open(BunchesTP, TableFile::Mode::Write))
        addMissingIndexes(file->connection(), BunchesTP, QStringLiteral("main"));
}

double realOrAbsent(const sqlite::Statement &st, int col)
{
    return st.isNull(col) ? -300.0 : st.real(col);
}

QDateTime dateTimeAt(const sqlite::Statement &st, int col)
{
    return st.isNull(col) ? QDateTime() : dateTimeFromStored(st.text(col));
}

bool finishedWithoutError(Dialogs &dialogs, const sqlite::Statement &st, const TableSchema &table)
{
    if (!st.isValid() || st.failed()) {
        dialogs.error(QString::fromUtf8(table.openFailureText));
        return false;
    }
    return true;
}

void bindKey(sqlite::Statement &st, const StoredSensorKey &key)
{
    st.bind(1, key.serial);
    st.bind(2, key.typeName.isNull() ? QStringLiteral("") : key.typeName);
    st.bind(3, qint64(key.prodYear));
}

} // namespace

std::optional<std::vector<StoredSensorKey>>
DBFindSensorsBySerial(Dialogs &dialogs, const QString &serial, bool reference)
{
    const TableSchema &table = reference ? EtalSens : Sensors;
    auto file = openJoined(dialogs, table, {});
    if (!file)
        return std::nullopt;
    sqlite::Statement st(file->connection(),
                         QStringLiteral("SELECT DISTINCT TypeName, ProdYear, NSHType FROM %1 "
                                        "WHERE SerialNum = ?1 ORDER BY TypeName, ProdYear, NSHType")
                             .arg(table.tableName()));
    st.bind(1, serial);
    std::vector<StoredSensorKey> keys;
    while (st.step()) {
        keys.push_back({serial, st.text(0), st.isNull(1) ? 0 : int(st.integer(1)), st.text(2)});
    }
    if (!finishedWithoutError(dialogs, st, table))
        return std::nullopt;
    return keys;
}

std::optional<SensorUses> DBGetSensorUses(Dialogs &dialogs, const StoredSensorKey &key)
{
    ensureBunchIndexes();
    auto file = openJoined(dialogs, Sensors, {&BunchesTP, &Poverki, &ResultsTP});
    if (!file)
        return std::nullopt;
    SensorUses out;
    {
        sqlite::Statement st(
            file->connection(),
            QStringLiteral(
                "SELECT s.ID, s.ClassDop, b.ID, b.PoverkaID, b.ChannelNum, "
                "b.PovSensorID1, b.PovSensorID2, b.PovSensorID3, b.PovSensorID4, "
                "b.ResultInp1, b.ResultInp2, b.ResultInp3, b.ResultInp4, "
                "b.DocNumInp1, b.DocNumInp2, b.DocNumInp3, b.DocNumInp4, "
                "p.PovNum, p.Finished, p.Kind, p.Methodic "
                "FROM Sensors s JOIN BunchesTP b ON b.PovSensorID1 = s.ID OR "
                "b.PovSensorID2 = s.ID OR b.PovSensorID3 = s.ID OR b.PovSensorID4 = s.ID "
                "JOIN Poverki p ON p.ID = b.PoverkaID "
                "WHERE s.SerialNum = ?1 AND coalesce(s.TypeName, '') = ?2 AND coalesce(s.ProdYear, "
                "0) = ?3 "
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
                out.uses.push_back(std::move(u));
            }
        }
        if (!finishedWithoutError(dialogs, st, BunchesTP))
            return std::nullopt;
    }
    sqlite::Statement rows(
        file->connection(),
        QStringLiteral("SELECT MeasPointNum, Operation, EtalSensorType, t_et, t_pret, TEDSe1Inp1, "
                       "TEDSe1Inp2, TEDSe1Inp3, TEDSe1Inp4 FROM ResultsTP "
                       "WHERE PoverkaID = ?1 AND BunchID = ?2 AND Stage = 'Calculation' AND "
                       "Operation IN ('Average', 'Delta')"));
    for (const SensorUse &u : out.uses) {
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
            out.rows.push_back(std::move(v));
        }
        if (!finishedWithoutError(dialogs, rows, ResultsTP))
            return std::nullopt;
    }
    return out;
}

std::optional<ReferenceUses> DBGetReferenceUses(Dialogs &dialogs, const StoredSensorKey &key)
{
    auto file = openJoined(dialogs, EtalSens, {&BunchesTP, &Poverki, &ResultsTP});
    if (!file)
        return std::nullopt;
    struct Served {
        int poverkaID, bunchID;
        QString finished; // as stored; only the dates used are read
    };
    std::vector<Served> served;
    {
        sqlite::Statement st(
            file->connection(),
            QStringLiteral("SELECT b.PoverkaID, b.ID, p.Finished "
                           "FROM EtalSens e JOIN BunchesTP b ON b.EtalSensorID = e.ID "
                           "JOIN Poverki p ON p.ID = b.PoverkaID "
                           "WHERE e.SerialNum = ?1 AND coalesce(e.TypeName, '') = ?2 AND "
                           "coalesce(e.ProdYear, 0) = ?3 AND p.Finished IS NOT NULL "
                           "ORDER BY p.Finished, b.ID"));
        bindKey(st, key);
        while (st.step())
            served.push_back({int(st.integer(0)), int(st.integer(1)), st.text(2)});
        if (!finishedWithoutError(dialogs, st, BunchesTP))
            return std::nullopt;
    }
    ReferenceUses out;
    if (served.empty())
        return out;
    std::vector<int> verifications;
    for (const Served &s : served)
        verifications.push_back(s.poverkaID);
    std::sort(verifications.begin(), verifications.end());
    out.verifications =
        int(std::unique(verifications.begin(), verifications.end()) - verifications.begin());
    out.first = dateTimeFromStored(served.front().finished);
    out.last = dateTimeFromStored(served.back().finished);

    // The bunches of the latest verifications (both channels of one count once).
    std::size_t from = served.size();
    for (int taken = 0; from > 0; --from) {
        if (from == served.size() || served[from - 1].poverkaID != served[from].poverkaID) {
            if (taken == kReferenceReadingVerifications)
                break;
            ++taken;
        }
    }
    sqlite::Statement rows(
        file->connection(),
        QStringLiteral("SELECT MeasPointNum, t_et FROM ResultsTP WHERE PoverkaID = ?1 AND "
                       "BunchID = ?2 AND Stage = 'Calculation' AND Operation = 'Average'"));
    for (std::size_t i = from; i < served.size(); ++i) {
        const Served &s = served[i];
        const QDateTime finished = dateTimeFromStored(s.finished);
        rows.reset();
        rows.bind(1, qint64(s.poverkaID));
        rows.bind(2, qint64(s.bunchID));
        while (rows.step())
            out.readings.push_back(
                {s.poverkaID, s.bunchID, finished, int(rows.integer(0)), realOrAbsent(rows, 1)});
        if (!finishedWithoutError(dialogs, rows, ResultsTP))
            return std::nullopt;
    }
    return out;
}

} // namespace kront
