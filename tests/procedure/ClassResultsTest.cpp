#include "procedure/ClassResults.h"

#include "tests/metrology/MetrologyFixture.h"

namespace kront
{
namespace
{

using test::insertCalculationRow;

class ClassResultsTest : public test::MetrologyFixture
{
protected:
    // The three rows StoredPointDeviations reads, for one point of the bunch.
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
        db.DBBunchesTPInsert(TableRow(tables::BunchesTP, {{"PoverkaID", poverkaID},
                                                          {"ChannelNum", 1},
                                                          {"EtalSensorID", 0},
                                                          {"PovSensorID1", 11},
                                                          {"PovSensorID2", 12},
                                                          {"PovSensorID3", 0},
                                                          {"PovSensorID4", 14}}));
        return db.DBGetMaxID(tables::BunchesTP, "");
    }

    QStringList storedResults(int bunchID)
    {
        const auto r = db.select(tables::BunchesTP, QStringLiteral("ID = %1").arg(bunchID));
        QStringList out;
        for (int i = 1; i <= 4; ++i)
            out << r->at(0).value(QStringLiteral("ResultInp%1").arg(i)).toString();
        return out;
    }
};

TEST_F(ClassResultsTest, ReferenceTemperatureByTheKindOfReference)
{
    // Class 3 of K exists at -200 °C but not at 400 °C: which column is read decides.
    addSensor(bunch, 1, nshTHA, 1, "1");
    for (int etalSensorType : {0, 1}) { // mercury: t_pret; thermocouple: t_et
        const int poverkaID = etalSensorType + 1;
        storePoint(poverkaID, 0, -200, {0.03, 0, 0, 0}, {0, 0, 0, 0}, etalSensorType);
        const auto point = StoredPointDeviations(db, poverkaID, bunch, 0);
        ASSERT_TRUE(point) << etalSensorType;
        EXPECT_EQ(point->tRef, -200) << etalSensorType;
        EXPECT_EQ(ClassCodesAtPoint(bunch, *point, true)[0], 3) << etalSensorType;
    }
}

TEST_F(ClassResultsTest, MissingRowGivesFalse)
{
    addSensor(bunch, 1, nshTHA, 0, "1");
    insertCalculationRow(db, 1, bunch.ID, "Calculation", 0, 5, "Delta", {0, 0, 0, 0});
    insertCalculationRow(db, 1, bunch.ID, "Calculation", 0, 6, "Delta dop", {0, 0, 0, 0});
    EXPECT_FALSE(StoredPointDeviations(db, 1, bunch, 0)); // no Average row
}

TEST_F(ClassResultsTest, WorstPointDecidesAndIsStored)
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

    EXPECT_TRUE(DetermineClasses(poverka, db, dialogs, {}, true));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(storedResults(bunch.ID), (QStringList{"2", "Бр.", "", "1"}));
}

TEST_F(ClassResultsTest, SettingOffMakesEveryFailureUnfit)
{
    poverka.Bunches[1] = &bunch;
    poverka.TempPointsCount = 1;
    bunch.ID = bunchRow(poverka.ID);
    addSensor(bunch, 1, nshTHA, 0, "1");
    storePoint(1, 0, 400, {0.10, 0, 0, 0}, {0.068, 0, 0, 0});
    EXPECT_TRUE(DetermineClasses(poverka, db, dialogs, {}, false));
    EXPECT_EQ(storedResults(bunch.ID), (QStringList{"Бр.", "", "", ""}));
}

TEST_F(ClassResultsTest, TerminatedBunchIsClassedUpToItsLastPoint)
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
    EXPECT_TRUE(DetermineClasses(
        poverka, db, dialogs, [&] { ++aborts; }, false));
    EXPECT_EQ(aborts, 0);
    EXPECT_EQ(storedResults(bunch.ID), (QStringList{"", "", "2", ""}));
}

TEST_F(ClassResultsTest, MissingRowsAbortTheVerification)
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
        EXPECT_FALSE(DetermineClasses(
            poverka, db, dialogs, [&] { ++aborts; }, false))
            << c.what;
        EXPECT_EQ(aborts, 1) << c.what;
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.last().text, c.message);
        EXPECT_EQ(storedResults(bunch.ID), (QStringList{"", "", "", ""})) << c.what;
    }
}

} // namespace
} // namespace kront
