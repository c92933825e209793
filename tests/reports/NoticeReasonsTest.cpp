// The reasons of unfitness built from a thermocouple's results: the text a
// notice offers and prints, and the registry export sends.

#include "reports/NoticeReasons.h"

#include <QStringList>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

constexpr int kK = 6; // characteristic index of ТХА (K)
constexpr int kInput = 3;
constexpr double kNone = AbsentValue;

struct Point {
    double t, delta, deltaDop;
};

// The points written into the protocol table of the method, at input 3.
ProtocolState protocolOf(bool electrode, const std::vector<Point> &points)
{
    ProtocolState s;
    s.ProtPointsCount = int(points.size());
    const int average = electrode ? 2 : 4, delta = electrode ? 6 : 8;
    for (const Point &p : points) {
        auto set = [&](auto &slot) {
            slot.cell[average][1] = p.t;
            slot.cell[delta][kInput + 1] = p.delta;
            slot.cell[delta + 1][kInput + 1] = p.deltaDop;
            slot.cell[delta][2] = 9.0; // another input's failure is not this one's
        };
        if (electrode)
            set(s.ProtPointsElectrode.emplace_back());
        else
            set(s.ProtPointsDirect.emplace_back());
    }
    return s;
}

struct Case {
    const char *name;
    bool electrode;
    bool reduce;
    std::vector<Point> points;
    bool terminated;
    const char *remarks;
    const char *strength;
    QStringList expected;
};

// ТХА class 1; at 300 °C Δdop 1,5 °C = 0,062 mV, at 400 °C 1,6 °C = 0,068 mV,
// class 2 at 400 °C 3,0 °C; about 0,0422 mV/°C at 400 °C.
const QString k400Fails = QStringLiteral("Отклонение ТЭДС от НСХ при 400,0 °C составляет 2,37 °C "
                                         "(допускается ±1,60 °C для класса 1)");

TEST(NoticeReasonsTest, ReasonsFollowTheResultsOfBothMethods)
{
    const Case cases[] = {
        {"direct, one failing point",
         false,
         false,
         {{300, 0.03, 0.062}, {400, 0.100, 0.068}},
         false,
         "",
         "",
         {k400Fails}},
        {"electrode, one failing point",
         true,
         false,
         {{300, 0.030, 0.062}, {400, 0.100, 0.068}},
         false,
         "",
         "",
         {k400Fails}},
        {"electrode, several failing points, negative deviation",
         true,
         false,
         {{300, -0.090, 0.062}, {400, 0.100, 0.068}},
         false,
         "",
         "",
         {QStringLiteral("Отклонение ТЭДС от НСХ при 300,0 °C составляет -2,17 °C (допускается "
                         "±1,50 °C для класса 1)"),
          k400Fails}},
        {"class lowering on: class 2 covers the deviation",
         false,
         true,
         {{400, 0.100, 0.068}},
         false,
         "",
         "",
         {}},
        {"class lowering on: class 2 fails too",
         false,
         true,
         {{400, 0.200, 0.068}},
         false,
         "",
         "",
         {QStringLiteral("Отклонение ТЭДС от НСХ при 400,0 °C составляет 4,73 °C (допускается "
                         "±3,00 °C для класса 2)")}},
        {"class lowering off: the class verified for",
         true,
         false,
         {{400, 0.200, 0.068}},
         false,
         "",
         "",
         {QStringLiteral("Отклонение ТЭДС от НСХ при 400,0 °C составляет 4,73 °C (допускается "
                         "±1,60 °C для класса 1)")}},
        {"terminated before the second point was measured",
         false,
         false,
         {{300, 0.03, 0.062}, {kNone, kNone, kNone}},
         true,
         "Без замечаний",
         "Выдержала",
         {QStringLiteral("Поверка прервана на 2-й температурной точке.")}},
        {"terminated after a failing point",
         true,
         false,
         {{400, 0.100, 0.068}},
         true,
         "",
         "",
         {k400Fails, QStringLiteral("Поверка прервана на 1-й температурной точке (400,0 °C).")}},
        {"inspection and insulation failed, the points passed",
         false,
         false,
         {{300, 0.03, 0.062}},
         false,
         "Трещина в защитном чехле.",
         "Не выдержала",
         {QStringLiteral("Замечания по внешнему осмотру: Трещина в защитном чехле."),
          QStringLiteral("Электрическая прочность изоляции: Не выдержала.")}},
        {"a failing point is the reason, not the inspection",
         false,
         false,
         {{400, 0.100, 0.068}},
         false,
         "Без замечаний",
         "Выдержала",
         {k400Fails}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        NoticeReasonsData d;
        d.characteristicIndex = kK;
        d.classNumber = 1;
        d.reduceResultClass = c.reduce;
        d.points = NoticePointsOf(protocolOf(c.electrode, c.points), c.electrode, kInput);
        d.terminated = c.terminated;
        d.inspectionRemarks = QString::fromUtf8(c.remarks);
        d.insulationStrength = QString::fromUtf8(c.strength);
        EXPECT_EQ(NoticeReasonsText(d), c.expected.join(u'\n'))
            << NoticeReasonsText(d).toStdString();
    }
}

TEST(NoticeReasonsTest, ManyFailingPointsKeepWithinTheRegistryLimitAndTheEnd)
{
    NoticeReasonsData d;
    d.characteristicIndex = kK;
    d.classNumber = 1;
    for (int p = 0; p < 40; ++p)
        d.points.push_back({100.0 + 20 * p, 0.5, 0.06});
    d.terminated = true;
    const QString text = NoticeReasonsText(d);
    EXPECT_LE(text.size(), kNoticeReasonsLength);
    const QStringList lines = text.split(u'\n');
    ASSERT_GE(lines.size(), 3);
    EXPECT_TRUE(lines.back().startsWith(QStringLiteral("Поверка прервана на 40-й")))
        << text.toStdString();
    const int shown = int(lines.size()) - 2;
    // 31 is "в 31 другой температурной точке", 32 "в 32 других температурных точках".
    EXPECT_TRUE(lines[shown].startsWith(
        QStringLiteral("Допускаемое отклонение превышено также в %1 друг").arg(40 - shown)))
        << lines[shown].toStdString();
    for (int i = 0; i < shown; ++i)
        EXPECT_TRUE(lines[i].startsWith(
            QStringLiteral("Отклонение ТЭДС от НСХ при %1,0 °C").arg(100 + 20 * i)))
            << lines[i].toStdString();
}

} // namespace
} // namespace kront::test
