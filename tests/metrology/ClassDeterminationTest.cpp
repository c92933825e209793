#include "metrology/ClassDetermination.h"

#include "common/DecimalRounding.h"
#include "metrology/NSHPolynomsTP.h"
#include "tests/metrology/MetrologyFixture.h"

namespace kront
{
namespace
{

using test::insertCalculationRow;

class ClassTest : public test::MetrologyFixture
{
protected:
    // The three rows DBDetermineClass reads, for one point of the bunch.
    void storePoint(int poverkaID, int point, double tRef, std::array<double, 4> delta,
                    std::array<double, 4> deltaDop, int etalSensorType = 1)
    {
        const bool mercury = etalSensorType == 0;
        insertCalculationRow(db, poverkaID, bunch.ID, "Calculation", point, 1, "Average",
                             {0, 0, 0, 0}, etalSensorType, mercury ? -300 : tRef,
                             mercury ? std::optional<double>(tRef) : std::nullopt);
        insertCalculationRow(db, poverkaID, bunch.ID, "Calculation", point, 5, "Delta", delta,
                             etalSensorType);
        insertCalculationRow(db, poverkaID, bunch.ID, "Calculation", point, 6, "Delta dop",
                             deltaDop, etalSensorType);
    }

    int bunchRow(int poverkaID)
    {
        db.DBBunchesTPInsert({QVariant(), poverkaID, 1, 0, 11, 12, 0, 14});
        return db.DBGetMaxID("BunchesTP", "");
    }

    QStringList storedResults(int bunchID)
    {
        const auto r = db.select("BunchesTP", QStringLiteral("ID = %1").arg(bunchID));
        QStringList out;
        for (int i = 1; i <= 4; ++i)
            out << r->at(0).value(QStringLiteral("ResultInp%1").arg(i)).toString();
        return out;
    }
};

double permitted(int index, int classNumber, double t)
{
    return rnd_n(NSHToleranceEmf(index, classNumber, t), 3);
}

TEST_F(ClassTest, ClassKeptOrLoweredByTheSetting)
{
    struct Case {
        const char *what;
        quint8 nshType;
        quint8 classIndex;
        double tRef;
        double delta;
        bool reduce;
        int expected;
    };
    // ТХА (K) at 400 °C: class 1 0.068 mV, class 2 0.127 mV, class 3 none.
    // At -200 °C only class 3 has a tolerance (3 °C, 0.046 mV).
    // ТПП10 (S) at 1000 °C: class 1 0.012 mV, class 2 0.029 mV.
    const Case cases[] = {
        {"K within class 1", nshTHA, 0, 400, 0.05, false, 1},
        {"K negative Δ within class 1", nshTHA, 0, 400, -0.05, true, 1},
        {"K |Δ| equal to Δdop", nshTHA, 0, 400, 0.068, false, 1},
        {"K fails 1, lowered to 2", nshTHA, 0, 400, 0.10, true, 2},
        {"K fails 1, setting off", nshTHA, 0, 400, 0.10, false, 10},
        {"K fails 1 and 2, no class 3 at 400", nshTHA, 0, 400, 0.20, true, 10},
        {"K class 1 at -200: 1 -> 2 -> 3", nshTHA, 0, -200, 0.03, true, 3},
        {"K class 1 at -200 fails class 3", nshTHA, 0, -200, 0.05, true, 10},
        {"K class 2 fails, lowered to 3 fails", nshTHA, 1, 400, 0.13, true, 10},
        {"S class 1 lowered to 2", nshTPP10, 0, 1000, 0.02, true, 2},
        {"S class 2 has no coarser class", nshTPP10, 1, 1000, 0.03, true, 10},
        {"ТСС has no characteristic", nshTSS, 1, 400, 0.0, true, 10},
    };
    int id = 0;
    for (const Case &c : cases) {
        bunch.Sensors[1].reset();
        bunch.SensorCount = 0;
        addSensor(bunch, 1, c.nshType, c.classIndex, "1");
        const int index = NSHCharacteristicIndex(c.nshType);
        const double dop = index < 0 ? -300 : permitted(index, c.classIndex + 1, c.tRef);
        storePoint(++id, 0, c.tRef, {c.delta, 0, 0, 0}, {dop, 0, 0, 0});
        std::array<int, 4> codes{};
        ASSERT_TRUE(DBDetermineClass(db, id, bunch, 0, codes, c.reduce)) << c.what;
        EXPECT_EQ(codes, (std::array<int, 4>{c.expected, -1, -1, -1})) << c.what;
    }
}

TEST_F(ClassTest, ReferenceTemperatureByTheKindOfReference)
{
    // Class 3 of K exists at -200 °C but not at 400 °C: which column is read decides.
    addSensor(bunch, 1, nshTHA, 1, "1");
    std::array<int, 4> codes{};
    storePoint(1, 0, -200, {0.03, 0, 0, 0}, {0, 0, 0, 0}, 0); // mercury: t_pret
    ASSERT_TRUE(DBDetermineClass(db, 1, bunch, 0, codes, true));
    EXPECT_EQ(codes[0], 3);
    storePoint(2, 0, -200, {0.03, 0, 0, 0}, {0, 0, 0, 0}, 1); // thermocouple: t_et
    ASSERT_TRUE(DBDetermineClass(db, 2, bunch, 0, codes, true));
    EXPECT_EQ(codes[0], 3);
}

TEST_F(ClassTest, UncomputedDeviationIsUnfit)
{
    addSensor(bunch, 1, nshTHA, 0, "1");
    addSensor(bunch, 2, nshTHA, 0, "2");
    storePoint(1, 0, 400, {-300, 0.01, 0, 0}, {-300, -300, 0, 0});
    std::array<int, 4> codes{};
    ASSERT_TRUE(DBDetermineClass(db, 1, bunch, 0, codes, true));
    EXPECT_EQ(codes, (std::array<int, 4>{10, 10, -1, -1}));
}

TEST_F(ClassTest, MissingRowGivesFalse)
{
    addSensor(bunch, 1, nshTHA, 0, "1");
    insertCalculationRow(db, 1, bunch.ID, "Calculation", 0, 5, "Delta", {0, 0, 0, 0});
    insertCalculationRow(db, 1, bunch.ID, "Calculation", 0, 6, "Delta dop", {0, 0, 0, 0});
    std::array<int, 4> codes{};
    EXPECT_FALSE(DBDetermineClass(db, 1, bunch, 0, codes, true)); // no Average row
}

TEST_F(ClassTest, WorstPointDecidesAndIsStored)
{
    poverka.Bunches[1] = &bunch;
    bunch.ID = bunchRow(poverka.ID);
    addSensor(bunch, 1, nshTHA, 0, "1");
    addSensor(bunch, 2, nshTHA, 0, "2");
    addSensor(bunch, 4, nshTHA, 0, "4");
    // Points at 400 °C: class 1 0.068, class 2 0.127 mV.
    storePoint(1, 0, 400, {0.01, 0.01, 0, 0.01}, {0.068, 0.068, 0, 0.068});
    storePoint(1, 1, 400, {0.10, 0.50, 0, 0.01}, {0.068, 0.068, 0, 0.068});
    storePoint(1, 2, 400, {0.01, 0.01, 0, 0.01}, {0.068, 0.068, 0, 0.068});

    EXPECT_TRUE(DetermineClasses(poverka, db, dialogs, true, {}));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(storedResults(bunch.ID), (QStringList{"2", "Бр.", "", "1"}));
}

TEST_F(ClassTest, SettingOffMakesEveryFailureUnfit)
{
    poverka.Bunches[1] = &bunch;
    poverka.TempPointsCount = 1;
    bunch.ID = bunchRow(poverka.ID);
    addSensor(bunch, 1, nshTHA, 0, "1");
    storePoint(1, 0, 400, {0.10, 0, 0, 0}, {0.068, 0, 0, 0});
    EXPECT_TRUE(DetermineClasses(poverka, db, dialogs, false, {}));
    EXPECT_EQ(storedResults(bunch.ID), (QStringList{"Бр.", "", "", ""}));
}

TEST_F(ClassTest, TerminatedBunchIsClassedUpToItsLastPoint)
{
    poverka.Bunches[2] = &bunch;
    poverka.TempPointsCount = 5;
    bunch.ChannelNum = 2;
    bunch.PovTerminated = true;
    bunch.PovTermMeasPointNum = 2;
    bunch.ID = bunchRow(poverka.ID);
    addSensor(bunch, 3, nshTPP10, 1, "3");
    for (int point = 0; point <= 2; ++point)
        storePoint(1, point, 1000, {0, 0, 0.02, 0}, {0, 0, 0.029, 0});

    int aborts = 0;
    EXPECT_TRUE(DetermineClasses(poverka, db, dialogs, false, [&] { ++aborts; }));
    EXPECT_EQ(aborts, 0);
    EXPECT_EQ(storedResults(bunch.ID), (QStringList{"", "", "2", ""}));
}

TEST_F(ClassTest, MissingRowsAbortTheVerification)
{
    struct Case {
        const char *what;
        bool withDeltaRows;
        QString message;
    };
    const Case cases[] = {
        {"no Δ rows of point 1", false,
         "В базе данных не обнаружены данные для расчёта результатов поверки! Поверка будет "
         "прекращена."},
        {"no Average row of point 1", true,
         "Не удалось определить класс для поверяемых ТП! В базе данных обнаружены не все данные "
         "для расчёта результатов поверки. Поверка будет прекращена."},
    };
    addSensor(bunch, 1, nshTHA, 0, "1");
    poverka.Bunches[1] = &bunch;
    poverka.TempPointsCount = 2;
    for (const Case &c : cases) {
        ++poverka.ID;
        bunch.ID = bunchRow(poverka.ID);
        storePoint(poverka.ID, 0, 400, {0.01, 0, 0, 0}, {0.068, 0, 0, 0});
        if (c.withDeltaRows) {
            insertCalculationRow(db, poverka.ID, bunch.ID, "Calculation", 1, 5, "Delta",
                                 {0, 0, 0, 0});
            insertCalculationRow(db, poverka.ID, bunch.ID, "Calculation", 1, 6, "Delta dop",
                                 {0, 0, 0, 0});
        }
        dialogs.clear();
        int aborts = 0;
        EXPECT_FALSE(DetermineClasses(poverka, db, dialogs, false, [&] { ++aborts; })) << c.what;
        EXPECT_EQ(aborts, 1) << c.what;
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.last().text, c.message);
        EXPECT_EQ(storedResults(bunch.ID), (QStringList{"", "", "", ""})) << c.what;
    }
}

} // namespace
} // namespace kront
