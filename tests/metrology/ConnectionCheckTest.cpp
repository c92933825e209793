#include "metrology/ConnectionCheck.h"

#include "metrology/NSHPolynomsTP.h"
#include "model/CodeTables.h"

#include <gtest/gtest.h>

namespace kront
{
namespace
{

double emf(int index, double t)
{
    return double(NSHEmf(index, t));
}

// A thermocouple of characteristic `index` at t with its cold junction at tc, as the voltmeter
// shows it.
double reading(int index, double t, double tc = 20)
{
    return emf(index, t) - emf(index, tc);
}

const ColdJunction kUnknown{}; // 0 … 40 °C until entered

// The thirteen characteristics with the ends of their ranges, °C.
struct Characteristic {
    int index;
    const char *name;
    double low, high;
};
const Characteristic kCharacteristics[] = {
    {0, "R", -50, 1768.1}, {1, "S", -50, 1768.1}, {2, "B", 0, 1820},    {3, "J", -210, 1200},
    {4, "T", -270, 400},   {5, "E", -270, 1000},  {6, "K", -270, 1372}, {7, "N", -270, 1300},
    {8, "A-1", 0, 2500},   {9, "A-2", 0, 1800},   {10, "A-3", 0, 1800}, {11, "L", -200, 800},
    {12, "M", -200, 100},
};

TEST(InputBand, HoldsTheThermocoupleInsideItsMarginAndNothingBeyond)
{
    for (const Characteristic &c : kCharacteristics) {
        const double span = c.high - c.low;
        for (const double f : {0.25, 0.5, 0.75}) {
            const double t = c.low + f * span;
            SCOPED_TRACE(std::string(c.name) + " at " + std::to_string(t));
            const auto band = InputBand(c.index, 2, t, kUnknown);
            ASSERT_TRUE(band);
            for (const double tc : {0.0, 20.0, 40.0})
                EXPECT_TRUE(band->contains(reading(c.index, t, tc)));
            // 5 °C hotter or colder than the tolerance allows still passes (margin 10 °C)...
            const double w = NSHTolerance(c.index, 2, t);
            EXPECT_TRUE(band->contains(reading(c.index, t + w + 5, 20)));
            EXPECT_TRUE(band->contains(reading(c.index, t - w - 5, 20)));
            // ...a thermocouple 20 °C beyond it does not, whatever its cold junction.
            EXPECT_FALSE(band->contains(reading(c.index, t + w + 20, 0)));
            EXPECT_FALSE(band->contains(reading(c.index, t - w - 20, 40)));
        }
    }
}

TEST(InputBand, GivesNothingWhereTheCharacteristicEnds)
{
    for (const Characteristic &c : kCharacteristics) {
        SCOPED_TRACE(c.name);
        for (const double t : {c.low, c.low + 5, c.high - 5, c.high, c.high + 1}) {
            EXPECT_FALSE(InputBand(c.index, 2, t, kUnknown)) << t;
            EXPECT_FALSE(ReferenceBandAt(c.index, t, kUnknown)) << t;
        }
        EXPECT_FALSE(ElectrodeBand(c.index, c.high + 1));
        EXPECT_FALSE(CharacteristicBand(c.index, c.low - 1, c.low + 10, kUnknown));
    }
    EXPECT_FALSE(InputBand(13, 2, 500, kUnknown));
    EXPECT_FALSE(InputBand(-1, 2, 500, kUnknown));
}

TEST(InputBand, NoExpectationMeansNoDiagnosisForAnyReading)
{
    for (const Characteristic &c : kCharacteristics) {
        for (const double t : {c.high - 3, c.high}) {
            ConnectionCase k;
            k.position = 1;
            k.expected = InputBand(c.index, 2, t, kUnknown);
            for (const double e : {0.0, -5.0, 100.0}) {
                k.measured = e;
                EXPECT_EQ(DiagnoseConnection(k), QString()) << c.name << " " << t << " " << e;
            }
        }
    }
}

TEST(ReferenceBand, FollowsTheColdJunctionOfItsType)
{
    const int S = NSHCharacteristicIndex(nshPPO);
    const int B = NSHCharacteristicIndex(nshPRO);
    // ППО at 500 °C with its cold junction entered as 21,5 °C: ±25 °C around the set-point.
    const auto s = ReferenceBandAt(S, 500, ColdJunction::known(21.5));
    ASSERT_TRUE(s);
    EXPECT_NEAR(s->low, emf(S, 475) - emf(S, 21.5), 1e-12);
    EXPECT_NEAR(s->high, emf(S, 525) - emf(S, 21.5), 1e-12);
    // ПРО: no cold-junction EMF, whatever is assumed.
    const auto b = ReferenceBandAt(B, 1000, kUnknown);
    ASSERT_TRUE(b);
    EXPECT_NEAR(b->low, emf(B, 975), 1e-12);
    EXPECT_NEAR(b->high, emf(B, 1025), 1e-12);
    // The graduation 300 … 800 °C of a ППО (EMF at cold junction 0 °C).
    const auto g = ReferenceGraduationBand(S, 2.323, 7.346, kUnknown);
    ASSERT_TRUE(g);
    EXPECT_NEAR(g->low, 2.323 - emf(S, 40), 1e-12);
    EXPECT_NEAR(g->high, 7.346, 1e-12);
    EXPECT_FALSE(ReferenceGraduationBand(S, -300, -300, kUnknown));
}

TEST(ElectrodeBand, IsNearZeroAgainstTheFullEmf)
{
    const auto leg = ElectrodeBand(1, 500);
    ASSERT_TRUE(leg);
    EXPECT_TRUE(leg->contains(0.6 * 0.04));
    EXPECT_TRUE(leg->contains(-0.4 * 0.04));
    EXPECT_FALSE(leg->contains(reading(1, 500)));
    EXPECT_FALSE(leg->contains(-reading(1, 500)));
}

// One channel of the direct method at 500 °C: a ППО reference and a ТХА class 2 on input 2.
ConnectionCase directInput(double measured)
{
    const int K = NSHCharacteristicIndex(nshTHA);
    ConnectionCase c;
    c.channel = 1;
    c.position = 2;
    c.measured = measured;
    c.expected = InputBand(K, 2, 500, kUnknown);
    c.others.push_back({1, 0, *ReferenceBandAt(1, 500, ColdJunction::known(20))});
    c.others.push_back({1, 1, *InputBand(K, 2, 500, kUnknown)});
    c.others.push_back({1, 3, *InputBand(NSHCharacteristicIndex(nshTPP10), 2, 500, kUnknown)});
    c.others.push_back({2, 0, *ReferenceGraduationBand(1, 9.0, 11.0, kUnknown)});
    c.declaredType = nshTHA;
    c.otherTypes = OtherTypeBands(nshTHA, 500, kUnknown);
    return c;
}

TEST(DiagnoseConnection, NamesTheLikelyCauseOfADirectInputReading)
{
    const QString p = QStringLiteral("Проверьте подключение: ");
    struct Case {
        const char *what;
        double measured;
        QString text;
    };
    const Case cases[] = {
        {"a good ТХА", reading(6, 500), QString()},
        {"a good ТХА, cold junction 40 °C", reading(6, 500, 40), QString()},
        {"an open input", 0.012, p + "вход 2 не подключен или обрыв термопары"},
        {"an open input, negative noise", -0.03, p + "вход 2 не подключен или обрыв термопары"},
        {"a reversed ТХА", -reading(6, 500), p + "обратная полярность на входе 2"},
        {"the switch left on the reference", reading(1, 500),
         p + "переключатель канала 1, похоже, в положении «T, прямое»"},
        {"the other channel's reference", 10.2,
         p + "переключатель канала 2, похоже, в положении «T, прямое»"},
        {"a ТХК typed as ТХА", reading(11, 500),
         p + "ТЭДС соответствует типу ТХК(L), а не "
             "заявленному ТХА(K)"},
        {"a ТЖК typed as ТХА", reading(3, 500),
         p + "ТЭДС соответствует типу ТЖК(J), а не "
             "заявленному ТХА(K)"},
        {"a ТНН typed as ТХА", reading(7, 500),
         p + "ТЭДС соответствует типу ТНН(N), а не "
             "заявленному ТХА(K)"},
    };
    for (const Case &k : cases)
        EXPECT_EQ(DiagnoseConnection(directInput(k.measured)), k.text) << k.what;

    const QString other = DiagnoseConnection(directInput(60.0));
    EXPECT_TRUE(other.startsWith(p + QStringLiteral("измерено 60,000 мВ, ожидается от ")))
        << other.toStdString();
    EXPECT_TRUE(other.endsWith(QStringLiteral(" мВ")));
}

TEST(DiagnoseConnection, ReferenceOutsideItsGraduation)
{
    const QString p = QStringLiteral("Проверьте подключение: ");
    ConnectionCase c;
    c.position = 0;
    c.expected = ReferenceGraduationBand(1, 2.323, 7.346, ColdJunction::known(20));
    c.graduation = GraduationSpan{300, 800};
    c.others.push_back({1, 1, *InputBand(6, 2, 500, kUnknown)});
    struct Case {
        const char *what;
        double measured;
        bool furnaceKnown;
        QString text;
    };
    const Case cases[] = {
        {"inside", reading(1, 500), true, QString()},
        {"a furnace below the first point", reading(1, 290), true,
         p + "ТЭДС эталона вне диапазона его градуировки (от 300 до 800 °C)"},
        {"a furnace at room temperature", 0.002, false,
         p + "ТЭДС эталона вне диапазона его градуировки (от 300 до 800 °C)"},
        {"an open reference in a hot furnace", 0.002, true,
         p + "вход ОБР не подключен или обрыв термопары"},
        {"reversed (or the polarity setting)", -reading(1, 500), true,
         p + "обратная полярность на входе ОБР"},
        {"the switch left on input 1", reading(6, 500), true,
         p + "переключатель канала 1, похоже, в положении «1, прямое»"},
    };
    for (const Case &k : cases) {
        c.measured = k.measured;
        c.openPossible = k.furnaceKnown;
        EXPECT_EQ(DiagnoseConnection(c), k.text) << k.what;
    }
}

TEST(DiagnoseConnection, ElectrodeLegReadingTheFullEmf)
{
    ConnectionCase c;
    c.position = bpPositiveElectrode(2);
    c.expected = ElectrodeBand(1, 500);
    c.others.push_back({1, bpElectrodeReference, *ReferenceBandAt(1, 500, kUnknown)});
    c.measured = 0.02;
    EXPECT_EQ(DiagnoseConnection(c), QString());
    c.measured = reading(1, 500);
    EXPECT_EQ(DiagnoseConnection(c), QStringLiteral("Проверьте подключение: переключатель канала "
                                                    "1, похоже, в положении «T, поэлектродное»"));
    // Near zero is what a leg reads: never taken for an open input.
    c.measured = 0.0;
    EXPECT_EQ(DiagnoseConnection(c), QString());
}

TEST(OtherTypeBands, LeaveOutTheDeclaredCharacteristicAndTypesWithoutClass2)
{
    // ППО shares the characteristic of ТПП10: never "another type" of a ТПП10.
    for (const TypeBand &t : OtherTypeBands(nshTPP10, 500, kUnknown))
        EXPECT_NE(NSHCharacteristicIndex(t.nshType), NSHCharacteristicIndex(nshTPP10));
    // At 500 °C ТПР has no class 2 (it starts at 600 °C); at 1300 °C only the high types do.
    for (const TypeBand &t : OtherTypeBands(nshTHA, 500, kUnknown))
        EXPECT_NE(t.nshType, nshTPR);
    for (const TypeBand &t : OtherTypeBands(nshTHA, 1300, kUnknown)) {
        EXPECT_NE(t.nshType, nshTHK);  // L ends at 800 °C
        EXPECT_NE(t.nshType, nshTHKn); // E at 1000 °C
    }
}

} // namespace
} // namespace kront
