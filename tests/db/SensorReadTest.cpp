// Loading stored sensors into bunch objects and the graduation look-up.

#include "model/CodeTables.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"
#include "tests/db/DbFixture.h"

#include <cmath>

namespace kront::test
{
namespace
{

class SensorReadTest : public DbFixture
{
protected:
    // A reference thermocouple with graduation points (temperature °C, EMF mV);
    // the remaining points hold the -300 placeholder.
    int insertEtal(const std::vector<std::pair<double, double>> &points,
                   const QString &kind = QStringLiteral("ППО"), const QString &classDop = "2")
    {
        TableRow v = row(tables::EtalSens, {{"SerialNum", "E-17"},
                                            {"ProdYear", 2018},
                                            {"TypeName", "ППО-1"},
                                            {"NSHType", "PP"},
                                            {"SensKind", kind},
                                            {"Producer", "ВНИИМ"},
                                            {"Etalon", true},
                                            {"ClassDop", classDop},
                                            {"Owner", "Лаборатория"},
                                            {"WDTHighLim", 1300.0},
                                            {"WDTLowLim", 300.0},
                                            {"RecordCreationDateTime", clock.now()}});
        for (int k = 0; k < 17; ++k) {
            const bool given = k < int(points.size());
            v.set(QStringLiteral("Temp%1").arg(k + 1), given ? points[k].first : -300.0);
            v.set(QStringLiteral("EMF%1").arg(k + 1), given ? points[k].second : -300.0);
        }
        EXPECT_TRUE(db.DBEtalSensInsert(v));
        return db.DBGetMaxID(tables::EtalSens, "");
    }
};

TEST_F(SensorReadTest, ReferenceSensorIsReadIntoTheBunch)
{
    const int id = insertEtal({{300, 2.323}});
    TBunch bunch;
    EXPECT_TRUE(db.DBReadEtalSensor(id, bunch));
    ASSERT_TRUE(bunch.EtalSensor);
    const TThermometer &s = *bunch.EtalSensor;
    EXPECT_EQ(s.ID, id);
    EXPECT_EQ(s.SerialNum, "E-17");
    EXPECT_EQ(s.ProdYear, 2018u);
    EXPECT_EQ(s.TypeName, "ППО-1");
    EXPECT_EQ(s.NSHType, NSHTypeFromText("PP"));
    EXPECT_EQ(s.SensKind, skTP_PPO);
    EXPECT_EQ(s.Producer, "ВНИИМ");
    EXPECT_TRUE(s.Etalon);
    EXPECT_EQ(s.ClassDop, 1);
    EXPECT_EQ(s.Owner, "Лаборатория");
    EXPECT_EQ(s.WDTHighLim, 1300.0);
    EXPECT_EQ(s.WDTLowLim, 300.0);
    EXPECT_EQ(s.Diameter, 0.0);
    EXPECT_EQ(s.Mass, 0.0);
}

TEST_F(SensorReadTest, ClassTextOtherThanOneToThreeLeavesTheIndex)
{
    const int id = insertEtal({{300, 2.3}}, "ПРО", "Х");
    TBunch bunch;
    ASSERT_TRUE(db.DBReadEtalSensor(id, bunch));
    ASSERT_TRUE(bunch.EtalSensor);
    EXPECT_EQ(bunch.EtalSensor->ClassDop, 0);
    EXPECT_EQ(bunch.EtalSensor->SensKind, skTP_PRO);
}

TEST_F(SensorReadTest, AReferenceOfRankZeroKeepsItsRank)
{
    const int id = insertEtal({{300, 2.3}}, "ППО", "0");
    TBunch bunch;
    ASSERT_TRUE(db.DBReadEtalSensor(id, bunch));
    ASSERT_TRUE(bunch.EtalSensor);
    EXPECT_EQ(bunch.EtalSensor->ClassDop, 3);
    EXPECT_EQ(ClassNumber(*bunch.EtalSensor), 0);
}

TEST_F(SensorReadTest, MissingRowIsNoErrorAndLeavesTheBunch)
{
    TBunch bunch;
    EXPECT_TRUE(db.DBReadEtalSensor(42, bunch));
    EXPECT_FALSE(bunch.EtalSensor);
    TPoverka poverka;
    EXPECT_TRUE(db.DBReadPovSensor(42, 1, bunch, &poverka));
    EXPECT_EQ(bunch.SensorCount, 0);
    EXPECT_FALSE(bunch.Sensors[1]);
    EXPECT_EQ(poverka.ChannelCount, 0);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SensorReadTest, VerifiedSensorFillsItsSlotAndTheChannelCount)
{
    ASSERT_TRUE(db.DBSensorsInsert(row(tables::Sensors, {{"SerialNum", "S-3"},
                                                         {"ProdYear", 2021},
                                                         {"TypeName", "ТХА-0192"},
                                                         {"NSHType", "XA"},
                                                         {"SensKind", "TP"},
                                                         {"Producer", "Завод"},
                                                         {"Etalon", false},
                                                         {"ClassDop", "3"},
                                                         {"Owner", "ТЭЦ"},
                                                         {"WDTHighLim", 1000.0},
                                                         {"WDTLowLim", -40.0},
                                                         {"Diameter", 0.5},
                                                         {"Mass", 12.5}})));
    const int id = db.DBGetMaxID(tables::Sensors, "");
    TBunch bunch;
    TPoverka poverka;
    EXPECT_TRUE(db.DBReadPovSensor(id, 3, bunch, &poverka));
    ASSERT_TRUE(bunch.Sensors[3]);
    EXPECT_EQ(bunch.SensorCount, 1);
    EXPECT_EQ(bunch.SensKind, skTP);
    EXPECT_EQ(poverka.ChannelCount, 2);
    const TThermometer &s = *bunch.Sensors[3];
    EXPECT_EQ(s.ID, id);
    EXPECT_EQ(s.SerialNum, "S-3");
    EXPECT_EQ(s.ProdYear, 2021u);
    EXPECT_EQ(s.NSHType, NSHTypeFromText("XA"));
    EXPECT_EQ(s.ClassDop, 2);
    EXPECT_EQ(s.Owner, "ТЭЦ");
    EXPECT_EQ(s.WDTLowLim, -40.0);
    EXPECT_EQ(s.Diameter, 0.5);
    EXPECT_EQ(s.Mass, 12.5);
    EXPECT_FALSE(bunch.Sensors[1]);
}

TEST_F(SensorReadTest, ResistanceThermometerMakesOneChannel)
{
    const int id = insertSensor("T-1", "TS");
    TBunch bunch;
    TPoverka poverka;
    EXPECT_TRUE(db.DBReadPovSensor(id, 1, bunch, &poverka));
    EXPECT_EQ(poverka.ChannelCount, 1);
    EXPECT_EQ(bunch.SensKind, skTS);
    EXPECT_TRUE(db.DBReadPovSensor(id, 2, bunch, nullptr));
}

TEST_F(SensorReadTest, ReadsThatCannotOpenShowTheirOwnTexts)
{
    KRONT_SKIP_ON_SERVER_STORE();
    QFile::remove(home.data("EtalSens.cds"));
    QFile::remove(home.data("Sensors.cds"));
    TBunch bunch;
    EXPECT_FALSE(db.DBReadEtalSensor(2, bunch));
    EXPECT_FALSE(db.DBReadPovSensor(2, 1, bunch, nullptr));
    double e = 0, t = 0;
    EXPECT_FALSE(db.DBGetEtalSvidData(2, e, t, 1.0));
    EXPECT_EQ(e, -300.0);
    EXPECT_EQ(t, -300.0);
    EXPECT_EQ(dialogs.texts(),
              QStringList({"Не удалось открыть базу данных эталонных ТП! Устаните причину и "
                           "перезапустите программу.",
                           "Не удалось открыть базу данных поверяемых ТП! Устаните причину и "
                           "перезапустите программу.",
                           "Не удалось открыть базу данных эталонных датчиков! Устаните причину "
                           "и перезапустите программу."}));
}

TEST_F(SensorReadTest, GraduationPointNearestToTheEmf)
{
    const int id = insertEtal({{300, 2.323}, {400, 3.260}, {500, 4.234}, {600, 5.237}});
    const int unordered = insertEtal({{600, 5.237}, {300, 2.323}, {450, 3.743}});
    const int none = insertEtal({});
    const int tie = insertEtal({{100, 2.5}, {200, 3.5}});
    const struct {
        int etal;
        double emf, pointEmf, pointTemp;
    } cases[] = {
        {id, 2.323, 2.323, 300}, // lowest point exactly
        {id, 5.237, 5.237, 600}, // highest point exactly
        {id, 5.238, -300, -300}, // 0.001 mV above the span
        {id, 2.322, -300, -300}, // below the span
        {id, 3.0, 3.260, 400},   // nearer to 3.260 than to 2.323
        {tie, 3.0, 2.5, 100},    // exactly between: the earlier point stays
        {id, 4.9, 5.237, 600},   {unordered, 3.5, 3.743, 450}, {unordered, 5.0, 5.237, 600},
        {none, 1.0, -300, -300}, {999, 3.0, -300, -300}, // no such sensor
    };
    for (const auto &c : cases) {
        double e = 0, t = 0;
        EXPECT_TRUE(db.DBGetEtalSvidData(c.etal, e, t, c.emf));
        EXPECT_EQ(e, c.pointEmf) << c.etal << " " << c.emf;
        EXPECT_EQ(t, c.pointTemp) << c.etal << " " << c.emf;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(SensorReadTest, GraduationSpanIsBetweenItsLowestAndHighestEmf)
{
    const int unordered = insertEtal({{600, 5.237}, {300, 2.323}, {450, 3.743}});
    const int none = insertEtal({});
    const struct {
        int etal;
        double lowEmf, lowTemp, highEmf, highTemp;
    } cases[] = {
        {unordered, 2.323, 300, 5.237, 600},
        {none, -300, -300, -300, -300},
        {999, -300, -300, -300, -300},
    };
    for (const auto &c : cases) {
        double le = 0, lt = 0, he = 0, ht = 0;
        EXPECT_TRUE(db.DBGetEtalSvidSpan(c.etal, le, lt, he, ht));
        EXPECT_EQ(le, c.lowEmf) << c.etal;
        EXPECT_EQ(lt, c.lowTemp) << c.etal;
        EXPECT_EQ(he, c.highEmf) << c.etal;
        EXPECT_EQ(ht, c.highTemp) << c.etal;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
} // namespace kront::test
