#pragma once

// A small program home with stored verifications for the results and
// documents tests: one direct-method verification with two bunches and the
// instability check, one electrode-method verification with one bunch.

#include "common/AppHome.h"
#include "db/Database.h"
#include "db/TableRow.h"
#include "settings/ProgramSettings.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QVariantMap>
#include <array>
#include <gtest/gtest.h>

namespace kront::test
{

// The value stored for measurement m (1-based), row operation, input k:
// distinct for every cell so that a misplaced cell shows.
// A finished Poverki row numbered `number`, started two hours before
// `finished`, of the given method; for lists of many verifications.
inline TableRow finishedPoverkaRow(int number, const QDateTime &finished, int methodic)
{
    return TableRow(tables::Poverki, {{"PovNum", QString::number(number)},
                                      {"Started", finished.addSecs(-7200)},
                                      {"Finished", finished},
                                      {"GOSTnum", QStringLiteral("ГОСТ 8.338-2002")},
                                      {"Methodic", methodic},
                                      {"Kind", 0},
                                      {"InstabilityCheckNeeded", false},
                                      {"InstabLimit", 0.1},
                                      {"TempPointsCount", 1},
                                      {"CurrPovState", QStringLiteral("Calculation;1;1;1;")}});
}

inline double sampleValue(int point, int row, int column)
{
    return 100.0 * (point + 1) + row + column / 100.0 + 0.001;
}

struct StoredSensor {
    QString serial, nsh, typeName, owner;
    int year = 2020;
    QString classDop = QStringLiteral("2");
    double low = 0, high = 1000, diameter = 0.5, mass = 0.2;
};

class ReportsFixture : public ::testing::Test
{
protected:
    TempHome home;
    FakeClock clock{QDateTime(QDate(2026, 12, 10), QTime(9, 0))};
    ScriptedDialogs dialogs;
    Database db{dialogs};
    ProgramSettings settings; // the run's: what documents are issued with

    void SetUp() override { ASSERT_TRUE(db.ensureTables()); }

    void installTemplates()
    {
        const QDir source(QStringLiteral(KRONT_SOURCE_DIR "/resources/protocol"));
        for (const QString &name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), AppHome::protocolFile(name));
    }

    int
    insertPoverka(const QString &num, const QDateTime &finished, int methodic, int kind,
                  bool instability, int points,
                  const QString &equipment = QStringLiteral("Печь КРОНТ-2М\r\nВольтметр ТАВЕР-7"))
    {
        const TableRow values(
            tables::Poverki,
            {{"PovNum", num},
             {"Started", finished.isValid() ? finished.addSecs(-7200) : clock.now()},
             {"Finished", finished.isValid() ? QVariant(finished) : QVariant()},
             {"GOSTnum", "ГОСТ 8.338-2002"},
             {"Methodic", methodic},
             {"Kind", kind},
             {"InstabilityCheckNeeded", instability},
             {"InstabLimit", 0.1},
             {"TempPointsCount", points},
             {"EquipmentParams", equipment},
             {"CurrPovState", "Calculation;1;1;1;"}});
        EXPECT_TRUE(db.DBPoverkaInsert(values));
        return db.DBGetMaxID(tables::Poverki, QString());
    }

    int insertSensor(const StoredSensor &s)
    {
        const TableRow values(tables::Sensors, {{"SerialNum", s.serial},
                                                {"ProdYear", s.year},
                                                {"TypeName", s.typeName},
                                                {"NSHType", s.nsh},
                                                {"SensKind", "TP"},
                                                {"Producer", "Завод"},
                                                {"Etalon", false},
                                                {"ClassDop", s.classDop},
                                                {"Owner", s.owner},
                                                {"WDTHighLim", s.high},
                                                {"WDTLowLim", s.low},
                                                {"Diameter", s.diameter},
                                                {"Mass", s.mass},
                                                {"RecordCreationDateTime", clock.now()}});
        EXPECT_TRUE(db.DBSensorsInsert(values));
        return db.DBGetMaxID(tables::Sensors, QString());
    }

    struct BunchRow {
        int poverkaID = 0;
        int channel = 1;
        std::array<int, 5> sensors{};     // [1..4], 0 none
        std::array<QString, 5> results{}; // ResultInp
        std::array<QString, 5> docNums{}; // DocNumInp
        std::array<QVariant, 5> docIDs{}; // EmittedDocIDInp
        std::array<double, 5> resistPos{-300, -300, -300, -300, -300};
        std::array<double, 5> resistNeg{-300, -300, -300, -300, -300};
        bool terminated = false;
        int termPoint = 0;
    };

    int insertBunch(const BunchRow &b)
    {
        TableRow v(tables::BunchesTP, {{"PoverkaID", b.poverkaID},
                                       {"ChannelNum", b.channel},
                                       {"PovTerminated", b.terminated},
                                       {"PovTermMeasPointNum", b.termPoint},
                                       {"RecordCreationDateTime", clock.now()}});
        for (int k = 1; k <= 4; ++k) {
            const auto field = [k](const char *name) {
                return QString::fromLatin1(name) + QString::number(k);
            };
            const bool used = b.sensors[k] > 0;
            v.set(field("PovSensorID"), used ? QVariant(b.sensors[k]) : QVariant());
            v.set(field("ResultInp"), b.results[k]);
            v.set(field("DocNumInp"), b.docNums[k]);
            v.set(field("ExtSurveyNotesInp"),
                  used ? QStringLiteral("Без замечаний %1").arg(k) : QString());
            v.set(field("InsulationStrengthInp"), used ? QStringLiteral("Выдержала") : QString());
            v.set(field("InsulationResistancePosInp"), b.resistPos[k]);
            v.set(field("InsulationResistanceNegInp"), b.resistNeg[k]);
            v.set(field("EmittedDocIDInp"), b.docIDs[k]);
        }
        EXPECT_TRUE(db.DBBunchesTPInsert(v));
        return db.DBGetMaxID(tables::BunchesTP, QString());
    }

    // One ResultsTP row; fields by name, the rest null.
    void insertResult(int poverkaID, int bunchID, int methodic, const QString &stage, int point,
                      int measNum, const QString &operation, const QVariantMap &fields)
    {
        QVariantMap all = fields;
        all.insert(QStringLiteral("PoverkaID"), poverkaID);
        all.insert(QStringLiteral("BunchID"), bunchID);
        all.insert(QStringLiteral("Methodic"), methodic);
        all.insert(QStringLiteral("Stage"), stage);
        all.insert(QStringLiteral("MeasPointNum"), point);
        all.insert(QStringLiteral("MeasNum"), measNum);
        all.insert(QStringLiteral("Operation"), operation);
        all.insert(QStringLiteral("EtalSensorType"), 1);
        all.insert(QStringLiteral("RecordCreationDateTime"), clock.now());
        TableRow v(tables::ResultsTP);
        v.setFields(all);
        EXPECT_TRUE(v.valid()) << v.unknownFields().join(u' ').toStdString();
        EXPECT_TRUE(db.DBResultsTPInsert(v));
    }

    // Every row of one direct-method point; cell values from sampleValue()
    // with `slot` as the point, inputs without a sensor left null.
    void insertDirectPoint(int poverkaID, int bunchID, int slot, const QString &measureStage,
                           const QString &calcStage, int point, const std::array<bool, 5> &inputs)
    {
        auto perInput = [&](QVariantMap &m, int row) {
            for (int k = 1; k <= 4; ++k)
                if (inputs[k])
                    m.insert(QStringLiteral("TEDSe1Inp%1").arg(k), sampleValue(slot, row, k + 1));
        };
        for (int r = 0; r < 4; ++r) {
            QVariantMap m{{QStringLiteral("E_et"), sampleValue(slot, r, 0)},
                          {QStringLiteral("t_et"), sampleValue(slot, r, 1)}};
            perInput(m, r);
            insertResult(poverkaID, bunchID, 0, measureStage, point, r + 1,
                         QStringLiteral("Measure"), m);
        }
        QVariantMap avg{{QStringLiteral("E_et"), sampleValue(slot, 4, 0)},
                        {QStringLiteral("t_et"), sampleValue(slot, 4, 1)},
                        {QStringLiteral("E_pret"), sampleValue(slot, 6, 0)}};
        perInput(avg, 4);
        insertResult(poverkaID, bunchID, 0, calcStage, point, 1, QStringLiteral("Average"), avg);
        QVariantMap etsk{{QStringLiteral("Tsk"), sampleValue(slot, 5, 0)},
                         {QStringLiteral("E_Tsk"), sampleValue(slot, 5, 1)}};
        perInput(etsk, 5);
        insertResult(poverkaID, bunchID, 0, calcStage, point, 2, QStringLiteral("E_t_sk"), etsk);
        const char *ops[] = {"E_pr_pov", "E nsh", "Delta", "Delta dop"};
        for (int i = 0; i < 4; ++i) {
            QVariantMap m;
            perInput(m, 6 + i);
            insertResult(poverkaID, bunchID, 0, calcStage, point, 3 + i, QLatin1String(ops[i]), m);
        }
    }

    void insertElectrodePoint(int poverkaID, int bunchID, int slot, const QString &measureStage,
                              const QString &calcStage, int point,
                              const std::array<bool, 5> &inputs)
    {
        for (int r = 0; r < 2; ++r) {
            QVariantMap m{{QStringLiteral("E_et"), sampleValue(slot, r, 0)}};
            for (int k = 1; k <= 4; ++k)
                if (inputs[k]) {
                    m.insert(QStringLiteral("TEDSe1Inp%1").arg(k), sampleValue(slot, r, 2 * k));
                    m.insert(QStringLiteral("TEDSe2Inp%1").arg(k), sampleValue(slot, r, 2 * k + 1));
                }
            insertResult(poverkaID, bunchID, 1, measureStage, point, r + 1,
                         QStringLiteral("Measure"), m);
        }
        QVariantMap avg{{QStringLiteral("E_et"), sampleValue(slot, 2, 0)},
                        {QStringLiteral("t_et"), sampleValue(slot, 2, 1)},
                        {QStringLiteral("Tsk"), sampleValue(slot, 3, 0)},
                        {QStringLiteral("E_Tsk"), sampleValue(slot, 3, 1)},
                        {QStringLiteral("E_pret"), sampleValue(slot, 4, 0)}};
        for (int k = 1; k <= 4; ++k)
            if (inputs[k]) {
                avg.insert(QStringLiteral("TEDSe1Inp%1").arg(k), sampleValue(slot, 2, 2 * k));
                avg.insert(QStringLiteral("TEDSe2Inp%1").arg(k), sampleValue(slot, 2, 2 * k + 1));
            }
        insertResult(poverkaID, bunchID, 1, calcStage, point, 1, QStringLiteral("Average"), avg);
        const char *ops[] = {"DeltaE", "E pov j", "E nsh", "Delta", "Delta dop"};
        for (int i = 0; i < 5; ++i) {
            QVariantMap m;
            for (int k = 1; k <= 4; ++k)
                if (inputs[k])
                    m.insert(QStringLiteral("TEDSe1Inp%1").arg(k), sampleValue(slot, 3 + i, k + 1));
            insertResult(poverkaID, bunchID, 1, calcStage, point, 2 + i, QLatin1String(ops[i]), m);
        }
    }

    // Direct method, primary, instability check, 2 points, two bunches:
    // channel 1 with sensors on inputs 1, 2 and 4 (ТХА, ТХК, ТХА), channel 2
    // with one ТПП13 on input 1.
    struct DirectFixture {
        int poverkaID = 0, bunch1 = 0, bunch2 = 0;
        std::array<int, 5> sensors{};
    };
    DirectFixture makeDirect(const QString &num = QStringLiteral("17"))
    {
        DirectFixture f;
        f.poverkaID =
            insertPoverka(num, QDateTime(QDate(2026, 12, 9), QTime(15, 30, 5)), 0, 0, true, 2);
        f.sensors[1] = insertSensor({"A-101", "THA", "ТХА-0292", "ООО «Завод»", 2019});
        f.sensors[2] = insertSensor({"B-202", "THK", "ТХК-0515", "ООО «Завод»", 2021});
        f.sensors[4] =
            insertSensor({"D-404", "THA", "", "АО «Энерго»", 2018, "1", -40, 1100, 3, 0.15});
        BunchRow b1;
        b1.poverkaID = f.poverkaID;
        b1.channel = 1;
        b1.sensors = {0, f.sensors[1], f.sensors[2], 0, f.sensors[4]};
        b1.results = {QString(), QStringLiteral("2"), QStringLiteral("Бр."), QString(),
                      QStringLiteral("1")};
        b1.resistPos[1] = 20;
        b1.resistNeg[1] = 21;
        f.bunch1 = insertBunch(b1);
        const int tpp = insertSensor({"E-505", "TPP13", "ТПП-0679", "ООО «Завод»", 2017});
        BunchRow b2;
        b2.poverkaID = f.poverkaID;
        b2.channel = 2;
        b2.sensors = {0, tpp, 0, 0, 0};
        b2.results = {QString(), QStringLiteral("1"), QString(), QString(), QString()};
        f.bunch2 = insertBunch(b2);
        const std::array<bool, 5> in1{false, true, true, false, true};
        const std::array<bool, 5> in2{false, true, false, false, false};
        for (int p = 0; p < 2; ++p) {
            insertDirectPoint(f.poverkaID, f.bunch1, p, "MainCycle", "Calculation", p, in1);
            insertDirectPoint(f.poverkaID, f.bunch2, p, "MainCycle", "Calculation", p, in2);
        }
        for (int s = 0; s < 2; ++s) {
            insertDirectPoint(f.poverkaID, f.bunch1, 2 + s, "Instability", "Instability", s, in1);
            insertDirectPoint(f.poverkaID, f.bunch2, 2 + s, "Instability", "Instability", s, in2);
        }
        return f;
    }

    // Electrode method, periodic, no instability check, 1 point, one bunch
    // with a ТХА on input 1 and a ТНН on input 3.
    struct ElectrodeFixture {
        int poverkaID = 0, bunch = 0;
    };
    ElectrodeFixture makeElectrode(const QString &num = QStringLiteral("E-5"))
    {
        ElectrodeFixture f;
        f.poverkaID =
            insertPoverka(num, QDateTime(QDate(2026, 12, 8), QTime(0, 0)), 1, 1, false, 1);
        const int s1 = insertSensor({"K-1", "THA", "ТХА-1", "ООО «Завод»", 2020});
        const int s3 = insertSensor({"N-3", "TNN", "ТНН-3", "ООО «Завод»", 2022});
        BunchRow b;
        b.poverkaID = f.poverkaID;
        b.channel = 2;
        b.sensors = {0, s1, 0, s3, 0};
        b.results = {QString(), QStringLiteral("2"), QString(), QStringLiteral("2"), QString()};
        f.bunch = insertBunch(b);
        insertElectrodePoint(f.poverkaID, f.bunch, 0, "MainCycle", "Calculation", 0,
                             {false, true, false, true, false});
        return f;
    }
};

} // namespace kront::test
