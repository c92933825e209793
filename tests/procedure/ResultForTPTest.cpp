#include "procedure/ResultForTP.h"

#include "tests/metrology/MetrologyFixture.h"

#include <QFile>

namespace kront
{
namespace
{

class ResultForTPTest : public test::MetrologyFixture
{
protected:
    int sensorRow(const QString &serial, const QString &nshType)
    {
        db.DBSensorsInsert(TableRow(tables::Sensors, {{"SerialNum", serial},
                                                      {"ProdYear", 2024},
                                                      {"TypeName", "ТП-1"},
                                                      {"NSHType", nshType},
                                                      {"SensKind", "TP"}}));
        return db.DBGetMaxID(tables::Sensors, "");
    }

    // A bunch row with the sensors, results and document numbers of inputs 1..4.
    int bunchRow(std::array<int, 4> sensors, std::array<QString, 4> results,
                 std::array<QString, 4> docs)
    {
        TableRow v(tables::BunchesTP, {{"PoverkaID", 1}, {"ChannelNum", 1}, {"EtalSensorID", 0}});
        for (int input = 1; input <= 4; ++input) {
            v.set(QStringLiteral("PovSensorID%1").arg(input), sensors[input - 1]);
            v.set(QStringLiteral("ResultInp%1").arg(input), results[input - 1]);
            v.set(QStringLiteral("DocNumInp%1").arg(input), docs[input - 1]);
        }
        db.DBBunchesTPInsert(v);
        return db.DBGetMaxID(tables::BunchesTP, "");
    }
};

TEST_F(ResultForTPTest, TextsOfEachResult)
{
    const int a = sensorRow("A-1", "THA");
    const int b = sensorRow("B-2", "TPP10");
    const int c = sensorRow("C-3", "THKn");
    const int d = sensorRow("D-4", "TZhK");
    const int id = bunchRow({a, b, c, d}, {"2", "Бр.", "1", ""}, {"000123", "17", "", ""});
    using Texts = std::array<QString, 4>;
    const Texts expected[] = {
        {"ТХА", "A-1", "2", "Годен. Выдано свидетельство о поверке № 000123"},
        {"ТПП10", "B-2", "Брак", "Не годен. Выдано извещение о непригодности № 17"},
        {"ТХКн", "C-3", "1", "Годен. "},
        // No class determined: no verdict either.
        {"ТЖК", "D-4", "", ""},
    };
    for (int input = 1; input <= 4; ++input) {
        Texts texts;
        ASSERT_TRUE(DBGetResultForTP(db, id, input, texts)) << input;
        EXPECT_EQ(texts, expected[input - 1]) << input;
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ResultForTPTest, NothingForAnEmptyInputOrMissingRows)
{
    const int a = sensorRow("A-1", "THA");
    const int id = bunchRow({a, 0, 999, 0}, {"1", "", "1", ""}, {"", "", "", ""});
    const std::array<QString, 4> untouched{"x", "x", "x", "x"};
    for (int input : {0, 2, 3, 4, 5}) { // 3: its sensor row does not exist
        std::array<QString, 4> texts = untouched;
        EXPECT_FALSE(DBGetResultForTP(db, id, input, texts)) << input;
        EXPECT_EQ(texts, untouched) << input;
    }
    std::array<QString, 4> texts = untouched;
    EXPECT_FALSE(DBGetResultForTP(db, id + 1, 1, texts)); // no such bunch
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ResultForTPTest, UnreadableBunchTableShowsItsMessage)
{
    QFile file(home.data("BunchesTP.cds"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write("not a table file at all, just some bytes of rubbish ...........");
    file.close();
    std::array<QString, 4> texts;
    EXPECT_FALSE(DBGetResultForTP(db, 1, 1, texts));
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.last().text, "Не удалось открыть базу данных пучков! Устаните причину и "
                                   "перезапустите программу.");
}

} // namespace
} // namespace kront
