#include "tests/history/FiveYearsFixture.h"

#include "history/HistoryTable.h"
#include "history/ReferenceHistory.h"
#include "history/SensorHistory.h"

namespace kront::test
{
namespace
{

TEST_F(FiveYears, DeviationsTrendAndForecastFollowTheMovingThermocouple)
{
    verifyFiveYears();
    ASSERT_FALSE(HasFatalFailure());
    // A thermocouple of another year with the same serial stays apart.
    ASSERT_TRUE(db.DBSensorsInsert(TableRow(
        tables::Sensors,
        {{"SerialNum", "11"}, {"ProdYear", 2019}, {"TypeName", "ТХА-0292"}, {"NSHType", "THA"}})));
    const auto keys = DBFindSensorsBySerial(db, QStringLiteral("11"), false);
    ASSERT_TRUE(keys);
    ASSERT_EQ(keys->size(), 2u);
    EXPECT_EQ((*keys)[1], thermocouple());

    const auto h = LoadSensorHistory(db, thermocouple());
    ASSERT_TRUE(h);
    ASSERT_EQ(h->entries.size(), 5u);
    EXPECT_EQ(h->nominals, (std::vector<double>{350, 450}));
    EXPECT_EQ(h->declaredClass, 2);

    // By hand: the recorded reading of year k is the characteristic's EMF at the furnace
    // temperature plus the offset; Δ is the reading corrected to 0 °C less the
    // characteristic at the reference temperature, each in two decimals as the direct
    // method keeps them, then in °C through the sensitivity there.
    const QDateTime origin = h->entries.front().use.finished;
    for (int point = 0; point < 2; ++point) {
        const double furnace = 350 + 100 * point;
        const double recorded0 =
            rnd_n(emfOf(kIndexK, furnace) - emfOf(kIndexK, 20) + baseOffset(), 2);
        for (int year = 0; year < 5; ++year) {
            const HistoryEntry &e = h->entries[std::size_t(year)];
            EXPECT_EQ(e.use.povNum, QStringLiteral("П-%1").arg(year));
            EXPECT_EQ(e.use.result, QStringLiteral("2"));
            ASSERT_EQ(e.points.size(), 2u);
            const PointDeviation &d = e.points[std::size_t(point)];
            EXPECT_EQ(d.nominal, furnace);
            ASSERT_TRUE(d.deltaC);
            const double s = NSHSensitivity(kIndexK, d.tRef);
            const double deltaMv = rnd_n(recorded0 + kStepMv * year + rnd_n(emfOf(kIndexK, 20), 2) -
                                             rnd_n(emfOf(kIndexK, d.tRef), 2),
                                         2);
            EXPECT_NEAR(*d.deltaC, deltaMv / s, 1e-9) << "year " << year << " at " << furnace;
        }
    }

    const auto trends = HistoryTrends(*h);
    ASSERT_EQ(trends.size(), 2u);
    for (const TemperatureTrend &t : trends) {
        const double tRef = h->entries.front().points[t.nominal == 350 ? 0 : 1].tRef;
        const double s = NSHSensitivity(kIndexK, tRef);
        ASSERT_TRUE(t.trend);
        // kStepMv every 365 days, in °C per year of 365.25 days
        const double slope = kStepMv / s * 365.25 / 365;
        EXPECT_NEAR(t.trend->slopePerYear, slope, 1e-4);
        EXPECT_NEAR(t.tolerance, 0.0075 * t.nominal, 1e-9); // class 2 of ТХА above 333 °C
        // The line leaves +tolerance when Δ0 + slope·years reaches it.
        const double delta0 = *h->entries.front().points[t.nominal == 350 ? 0 : 1].deltaC;
        const double years = (t.tolerance - delta0) / slope;
        const int year = origin.addSecs(qint64(years * 365.25 * 86400)).date().year();
        EXPECT_EQ(t.forecast.kind, Forecast::Kind::Leaves);
        EXPECT_EQ(t.forecast.year, year) << "at " << t.nominal << " after " << years;
        EXPECT_EQ(
            TrendTexts(t, 2)[1],
            QStringLiteral("при сохранении тренда выйдет за допуск класса 2 ≈ в %1").arg(year));
    }

    const auto rows = HistoryRows(*h);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(HistoryHeaders(*h).mid(6, 2),
              (QStringList{QStringLiteral("Δ при 350 °C"), QStringLiteral("Δ при 450 °C")}));
    EXPECT_EQ(rows[0][0], QStringLiteral("01.06.2026"));
    EXPECT_EQ(rows[4][0], QStringLiteral("31.05.2030"));
    EXPECT_EQ(rows[4][1], QStringLiteral("П-4"));

    // The reference served in all five, its furnace readings the same every year.
    const auto ref = LoadReferenceHistory(
        db, {QStringLiteral("Э-1"), QStringLiteral("ППО"), 2020, QStringLiteral("ППО")});
    ASSERT_TRUE(ref);
    EXPECT_EQ(ref->verifications, 5);
    EXPECT_EQ(ref->first, origin);
    EXPECT_EQ(ref->last, h->entries.back().use.finished);
    ASSERT_EQ(ref->spreads.size(), 2u);
    for (const TemperatureSpread &s : ref->spreads) {
        EXPECT_EQ(s.count, 5);
        EXPECT_NEAR(s.stdDev, 0, 1e-9);
        EXPECT_LT(std::fabs(s.mean), 0.1) << s.nominal;
    }
}

// The reference temperature of a point comes from the reference thermocouple's or the
// thermometer's column, and a type that names no characteristic leaves Δ absent.
TEST(SensorHistoryBuild, ReferenceTemperatureAndCharacteristic)
{
    const struct {
        const char *type;
        int etalSensorType;
        double tEt, tPret;
        bool deltaShown;
        double tRef;
    } cases[] = {
        {"THA", 1, 402.0, -300, true, 402.0},
        {"THA", 0, -300, 98.5, true, 98.5}, // mercury thermometer
        {"ТХА", 1, 402.0, -300, true, 402.0},
        {"XYZ", 1, 402.0, -300, false, 402.0},
        {"", 1, 402.0, -300, false, 402.0},
    };
    for (const auto &c : cases) {
        SensorUses uses;
        SensorUse u;
        u.bunchID = 7;
        u.input = 3;
        u.classDop = QStringLiteral("2");
        u.finished = QDateTime(QDate(2024, 5, 1), QTime(12, 0));
        uses.uses.push_back(u);
        CalculationValues average{7,     0,      QStringLiteral("Average"), c.etalSensorType,
                                  c.tEt, c.tPret};
        CalculationValues delta{7, 0, QStringLiteral("Delta")};
        delta.input[3] = 0.05;
        uses.rows = {average, delta};
        const SensorHistory h = BuildSensorHistory(
            {QStringLiteral("1"), QString(), 2020, QString::fromUtf8(c.type)}, uses);
        ASSERT_EQ(h.entries.size(), 1u) << c.type;
        ASSERT_EQ(h.entries[0].points.size(), 1u) << c.type;
        const PointDeviation &d = h.entries[0].points[0];
        EXPECT_EQ(d.tRef, c.tRef) << c.type;
        EXPECT_EQ(d.deltaC.has_value(), c.deltaShown) << c.type;
        if (d.deltaC) {
            EXPECT_NEAR(*d.deltaC, 0.05 / NSHSensitivity(kIndexK, c.tRef), 1e-12) << c.type;
        }
    }
}

} // namespace
} // namespace kront::test
