#include "sensors/SensorSetFile.h"
#include "common/Cp1251.h"
#include "sensors/SensorSetFiles.h"
#include "tests/sensors/SensorsFixture.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

SensorSet filledTP()
{
    SensorSet set(3);
    setRow(set, 1, 1,
           {"123", "ППО", "ППО-1", "2001", "1", "ВНИИМ", "Лаборатория №2", "300", "1200", "", ""});
    setRow(set, 1, 2,
           {"A-1", "ТХА(K)", "ТХА-0192", "2019", "2", "Завод \"Эталон\"", "ООО Тепло", "-40",
            "1000", "0,5", "12,3"});
    setRow(set, 1, 5, {"Z9", "ТХК(L)", "ТХК-01", "", "3", "", "", "0", "600", "", ""});
    setRow(set, 2, 1, {"777", "ПРО", "ПРО-2", "", "1", "", "", "600", "1800", "", ""});
    return set;
}

TEST(SensorSetFile, AllEmptyKind3IsKeywordTenBarLinesAndAnEmptyLine)
{
    TempHome home;
    const QString path = home.config(QStringLiteral("empty.sst"));
    ASSERT_TRUE(SensorSetFile::write(path, SensorSet(3)));
    EXPECT_EQ(readBytes(path), readBytes(goldenPath("EmptyTP.sst")));
    EXPECT_EQ(readBytes(path).size(), 2 + 2 + 10 * 13 + 2);
}

TEST(SensorSetFile, FilledKind3IsWrittenInWindows1251AndReadBackCellForCell)
{
    TempHome home;
    const QString path = home.config(QStringLiteral("filled.sst"));
    const SensorSet set = filledTP();
    ASSERT_TRUE(SensorSetFile::write(path, set));
    const QByteArray bytes = readBytes(path);
    EXPECT_EQ(bytes, readBytes(goldenPath("FilledTP.sst")));
    EXPECT_TRUE(bytes.contains(Cp1251::encode(QStringLiteral("Лаборатория №2"))));

    QStringList lines;
    ASSERT_TRUE(SensorSetFile::read(goldenPath("FilledTP.sst"), lines));
    SensorSet loaded(3);
    ASSERT_EQ(SensorSetFile::parse(lines, loaded), SensorSetFile::ParseResult::Loaded);
    for (int g = 1; g <= 2; ++g) {
        for (int r = 1; r <= 5; ++r)
            EXPECT_EQ(loaded.grid(g).row(r), set.grid(g).row(r)) << g << " " << r;
    }
}

TEST(SensorSetFile, Kind5HasElevenRowLinesOfNineFields)
{
    TempHome home;
    SensorSet set(5);
    setRow(set, 1, 1, {"R1", "Pt100", "ТСП-1", "2010", "", "", "-50", "200", "0,1"});
    const QString path = home.config(QStringLiteral("ts.sst"));
    ASSERT_TRUE(SensorSetFile::write(path, set));
    EXPECT_EQ(readBytes(path), readBytes(goldenPath("FilledTS.sst")));
    EXPECT_EQ(SensorSetFile::lines(set).size(), 1 + 11 + 1);
}

TEST(SensorSetFile, KeywordsDecideWhetherAFileIsLoaded)
{
    struct Case {
        int kind;
        const char *keyword;
        SensorSetFile::ParseResult result;
    } cases[] = {
        {3, "TP", SensorSetFile::ParseResult::Loaded},
        {3, "TS", SensorSetFile::ParseResult::WrongKind},
        {3, "TP_PPO", SensorSetFile::ParseResult::WrongKind},
        {1, "TP_PPO", SensorSetFile::ParseResult::Loaded},
        {2, "TP_PRO", SensorSetFile::ParseResult::Loaded},
        {5, "TS", SensorSetFile::ParseResult::Loaded},
        {3, "tp", SensorSetFile::ParseResult::UnknownKind},
        {3, "", SensorSetFile::ParseResult::UnknownKind},
    };
    for (const Case &c : cases) {
        SensorSet set(c.kind);
        set.grid(1).setCell(1, 1, QStringLiteral("keep"));
        const auto result = SensorSetFile::parse({QLatin1String(c.keyword), "new|"}, set);
        EXPECT_EQ(result, c.result) << c.keyword;
        EXPECT_EQ(set.grid(1).cell(1, 1),
                  result == SensorSetFile::ParseResult::Loaded ? "new" : "keep")
            << c.keyword;
    }
}

TEST(SensorSetFile, ShortLinesAndMissingLinesLeaveCellsEmpty)
{
    SensorSet set(2);
    set.grid(2).setCell(3, 2, QStringLiteral("old"));
    ASSERT_EQ(SensorSetFile::parse({"TP_PRO", "1|ПРО|", "a|b|c|d|e|f|g|h|extra|"}, set),
              SensorSetFile::ParseResult::Loaded);
    EXPECT_EQ(set.grid(1).row(1), QStringList({"", "1", "ПРО", "", "", "", "", "", ""}));
    EXPECT_EQ(set.grid(1).row(2), QStringList({"", "a", "b", "c", "d", "e", "f", "g", "h"}));
    EXPECT_EQ(set.grid(2).cell(3, 2), "");
}

class SensorSetFilesTest : public SensorsFixture
{
};

TEST_F(SensorSetFilesTest, LoadingAFileOfAnotherKindWarnsAndChangesNothing)
{
    SensorSet ts(5);
    setRow(ts, 1, 1, {"R1", "Pt100"});
    const QString tsPath = home.config(QStringLiteral("ts.sst"));
    ASSERT_TRUE(SensorSetFile::write(tsPath, ts));
    QFile unknown(home.config(QStringLiteral("x.sst")));
    ASSERT_TRUE(unknown.open(QIODevice::WriteOnly));
    unknown.write("XX\r\n");
    unknown.close();

    SensorSet set = filledTP();
    SensorSetFiles files(dialogs);
    dialogs.queueFileName(tsPath);
    EXPECT_FALSE(files.loadFromFile(set));
    dialogs.queueFileName(unknown.fileName());
    EXPECT_FALSE(files.loadFromFile(set));
    EXPECT_EQ(
        dialogs.texts(),
        QStringList({"", "Указанный файл не соответствует текущему типу поверяемых датчиков!", "",
                     "Указанный файл не соответствует известным типам поверяемых датчиков!"}));
    EXPECT_EQ(dialogs.shown[1].icon, Dialogs::Icon::Warning);
    EXPECT_EQ(dialogs.shown[1].caption, kProgramTitle);
    EXPECT_EQ(set.grid(1).row(2), filledTP().grid(1).row(2));
}

TEST_F(SensorSetFilesTest, SavingOverAnExistingFileAsksFirst)
{
    const QString path = home.config(QStringLiteral("set.sst"));
    SensorSetFiles files(dialogs);
    dialogs.queueFileName(home.config(QStringLiteral("set"))); // the suffix is added
    ASSERT_TRUE(files.saveToFile(SensorSet(3)));
    EXPECT_EQ(readBytes(path), readBytes(goldenPath("EmptyTP.sst")));

    dialogs.clear();
    dialogs.queueFileName(path);
    dialogs.queueAnswer(Dialogs::Answer::No);
    EXPECT_FALSE(files.saveToFile(filledTP()));
    EXPECT_EQ(dialogs.texts().last(), "Такой файл уже существует. Перезаписать?");
    EXPECT_EQ(dialogs.last().buttons, Dialogs::Buttons::YesNo);
    EXPECT_EQ(readBytes(path), readBytes(goldenPath("EmptyTP.sst")));

    dialogs.queueFileName(path);
    dialogs.queueAnswer(Dialogs::Answer::Yes);
    EXPECT_TRUE(files.saveToFile(filledTP()));
    EXPECT_EQ(readBytes(path), readBytes(goldenPath("FilledTP.sst")));

    SensorSet loaded(3);
    dialogs.queueFileName(path);
    EXPECT_TRUE(files.loadFromFile(loaded));
    EXPECT_EQ(loaded.grid(1).row(2), filledTP().grid(1).row(2));
}

} // namespace
} // namespace kront::test
