#include "model/ChannelBunches.h"
#include "model/CodeTables.h"
#include "sensors/ChannelBunchBuilder.h"
#include "sensors/FoundSensors.h"
#include "sensors/SensorFilters.h"
#include "sensors/SensorSetCommit.h"
#include "tests/sensors/SensorsFixture.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

TEST(SensorLookupFilter, BuiltFromSerialYearAndNamePattern)
{
    struct Case {
        int row;
        QStringList cells;
        const char *filter;
        const char *table;
    } cases[] = {
        {1, {" 123 "}, "SerialNum = '123'", "EtalSens"},
        {2,
         {"", "", "  ТХА-01 "},
         "(TypeName LIKE '%ТХА-01%' or TypeName LIKE 'ТХА-01%')",
         "Sensors"},
        {3, {"", "", "", "2005"}, "ProdYear = 2005", "Sensors"},
        {1,
         {"O'1", "ППО", "a'b", "2001"},
         "SerialNum = 'O''1' and ProdYear = 2001 and (TypeName LIKE '%a''b%' or TypeName LIKE "
         "'a''b%')",
         "EtalSens"},
        {4, {"", "ТХА(K)", "", "", "2", "Завод"}, "", "Sensors"},
    };
    for (const Case &c : cases) {
        SensorSet set(3);
        setRow(set, 2, c.row, c.cells);
        EXPECT_EQ(SensorLookupFilter(set, 2, c.row), QString::fromUtf8(c.filter));
        EXPECT_EQ(SensorLookupTable(c.row).tableName(), QLatin1String(c.table));
    }
}

TEST(SensorFilters, IdentityFilterUsesANullTestForAnEmptyYearAndDoublesQuotes)
{
    EXPECT_EQ(EtalSensIdentityFilter("12'3", "", "ППО-1", "ППО"),
              "SerialNum = '12''3' and ProdYear IS NULL and TypeName = 'ППО-1' and NSHType = "
              "'ППО'");
    EXPECT_EQ(EtalSensIdentityFilter("1", "2001", "N", "ПРО"),
              "SerialNum = '1' and ProdYear = 2001 and TypeName = 'N' and NSHType = 'ПРО'");
    EXPECT_EQ(FilterNumber(-40), "-40");
    EXPECT_EQ(FilterNumber(0.1), "0.1");
    EXPECT_EQ(FilterNumber(1e-7), "0.0000001");
}

TEST(SensorFilters, ReferenceCheckFilterAddsYearProducerAndOwnerOnlyWhenFilled)
{
    SensorSet set(3);
    setRow(set, 1, 1, {" 123", "ППО", "ППО-1", "", "1", "", "", "1e2", "1200,5"});
    EXPECT_EQ(ReferenceCheckFilter(set, 1),
              "SerialNum = '123' and NSHType = 'ППО' and TypeName = 'ППО-1' and ClassDop = '1' "
              "and WDTLowLim = 100 and WDTHighLim = 1200.5");
    setRow(set, 2, 1, {"9", "ПРО", "N", "2001", "2", "O'Neil", "Лаб", "-5", "1800"});
    EXPECT_EQ(ReferenceCheckFilter(set, 2),
              "SerialNum = '9' and NSHType = 'ПРО' and TypeName = 'N' and ClassDop = '2' and "
              "WDTLowLim = -5 and WDTHighLim = 1800 and ProdYear = 2001 and Producer = 'O''Neil' "
              "and Owner = 'Лаб'");
}

class SensorCommitTest : public SensorsFixture
{
protected:
    SensorSet twoChannels()
    {
        SensorSet set(3);
        setRow(set, 1, 1, {"123", "ППО", "ППО-1", "2001", "1", "", "", "300", "1200"});
        setRow(
            set, 1, 2,
            {"A'1", "ТХА(K)", "ТХА-01", "2019", "2", "Завод", "Лаб", "-40", "1000", "0,5", "12.5"});
        setRow(set, 1, 5, {"Z9", "ТХК(L)", "ТХК-01", "", "3", "", "", "0", "600"});
        setRow(set, 2, 3, {"B2", "ТПП10(S)", "ТПП-1", "2020", "1", "", "", "0", "1300"});
        return set;
    }

    ChannelBunches bunches;
};

TEST_F(SensorCommitTest, ReferenceCheckWithNoneOneAndTwoMatches)
{
    SensorSetCommit commit(db, dialogs);
    SensorSet set = twoChannels();
    EXPECT_FALSE(commit.ReferenceCheck(set, 1));
    EXPECT_EQ(dialogs.last().text,
              "Не найдена запись для эталонного ТП пучка №1 в базе данных! Проверьте правильность "
              "указанных реквизитов или добавьте соответствующий эталонный ТП в базу данных.");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);

    addEtal("123", 2001, "ППО-1", "ППО", "1", 300, 1200);
    dialogs.clear();
    EXPECT_TRUE(commit.ReferenceCheck(set, 1));
    EXPECT_TRUE(dialogs.shown.empty());

    addEtal("123", 2001, "ППО-1", "ППО", "1", 300, 1200);
    setRow(set, 2, 1, {"123", "ППО", "ППО-1", "2001", "1", "", "", "300", "1200"});
    EXPECT_FALSE(commit.ReferenceCheck(set, 2));
    EXPECT_EQ(dialogs.last().text,
              "Указанным реквизитам эталонного ТП пучка №2 соответствуют несколько записей в базе "
              "данных! Проверьте целостность базы данных эталонных ТП.");
}

TEST_F(SensorCommitTest, CommitBuildsBothBunchesWithTheRegisterIDOfTheReference)
{
    addEtal("999", 2000, "ППО-9", "ППО");
    const int etalID = addEtal("123", 2001, "ППО-1", "ППО", "1", 300, 1200);
    SensorSetCommit commit(db, dialogs);
    ASSERT_TRUE(commit.commitToBunches(twoChannels(), bunches))
        << dialogs.texts().join("|").toStdString();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();

    const TBunch *b1 = bunches.bunch(1);
    ASSERT_NE(b1, nullptr);
    EXPECT_EQ(b1->ChannelNum, 1u);
    EXPECT_EQ(b1->SensKind, skTP);
    EXPECT_FALSE(b1->PovTerminated);
    EXPECT_EQ(b1->SensorCount, 2);
    ASSERT_TRUE(b1->EtalSensor);
    const TThermometer &etal = *b1->EtalSensor;
    EXPECT_NE(dynamic_cast<const TTP *>(&etal), nullptr);
    EXPECT_EQ(etal.ID, etalID);
    EXPECT_EQ(etal.SensKind, skTP_PPO);
    EXPECT_EQ(etal.NSHType, nshPPO);
    EXPECT_TRUE(etal.Etalon);
    EXPECT_EQ(etal.ProdYear, 2001u);
    EXPECT_EQ(etal.ClassDop, 0);
    EXPECT_DOUBLE_EQ(etal.WDTLowLim, 300);
    EXPECT_DOUBLE_EQ(etal.WDTHighLim, 1200);

    const TThermometer *in1 = b1->Sensor(1);
    ASSERT_NE(in1, nullptr);
    EXPECT_EQ(in1->ID, 0);
    EXPECT_EQ(in1->SensKind, skTP);
    EXPECT_EQ(in1->NSHType, nshTHA);
    EXPECT_FALSE(in1->Etalon);
    EXPECT_EQ(in1->SerialNum, "A'1");
    EXPECT_EQ(in1->ClassDop, 1);
    EXPECT_EQ(in1->Producer, "Завод");
    EXPECT_EQ(in1->Owner, "Лаб");
    EXPECT_DOUBLE_EQ(in1->WDTLowLim, -40);
    EXPECT_DOUBLE_EQ(in1->Diameter, 0.5);
    EXPECT_DOUBLE_EQ(in1->Mass, 12.5);
    EXPECT_EQ(b1->Sensor(2), nullptr);
    const TThermometer *in4 = b1->Sensor(4);
    ASSERT_NE(in4, nullptr);
    EXPECT_EQ(in4->NSHType, nshTHK);
    EXPECT_EQ(in4->ProdYear, 0u); // an empty year is stored as 0
    EXPECT_EQ(in4->ClassDop, 2);

    const TBunch *b2 = bunches.bunch(2);
    ASSERT_NE(b2, nullptr);
    EXPECT_EQ(b2->ChannelNum, 2u);
    EXPECT_FALSE(b2->EtalSensor); // no reference row: a mercury thermometer
    EXPECT_EQ(b2->SensorCount, 1);
    ASSERT_NE(b2->Sensor(2), nullptr);
    EXPECT_EQ(b2->Sensor(2)->NSHType, nshTPP10);
    EXPECT_FALSE(bunches.AllBunchesIsEmpty());
}

TEST_F(SensorCommitTest, AReferenceWithoutAYearFindsTheRegisterEntryWithoutAYear)
{
    const int etalID = addEtal("123", QVariant(), "ППО-1", "ППО", "1", 300, 1200);
    SensorSet set(3);
    setRow(set, 1, 1, {"123", "ППО", "ППО-1", "", "1", "", "", "300", "1200"});
    ASSERT_TRUE(SensorSetCommit(db, dialogs).commitToBunches(set, bunches));
    ASSERT_TRUE(bunches.bunch(1) && bunches.bunch(1)->EtalSensor);
    EXPECT_EQ(bunches.bunch(1)->EtalSensor->ID, etalID);
    EXPECT_EQ(bunches.bunch(2), nullptr);
}

TEST_F(SensorCommitTest, FailedChecksAndConversionsKeepTheOldBunches)
{
    addEtal("123", 2001, "ППО-1", "ППО", "1", 300, 1200);
    SensorSetCommit commit(db, dialogs);
    ASSERT_TRUE(commit.commitToBunches(twoChannels(), bunches))
        << dialogs.texts().join("|").toStdString();
    TBunch *old1 = bunches.bunch(1);
    TBunch *old2 = bunches.bunch(2);

    SensorSet badClass = twoChannels();
    badClass.setText(2, 3, SensorColumn::Class, QStringLiteral("7")); // pasted past the filter
    EXPECT_FALSE(commit.commitToBunches(badClass, bunches));
    EXPECT_EQ(dialogs.last().text,
              "Не удалось преобразовать значение \"7\" параметра \"Класс\" для входа 2 канала 2! "
              "Подключенные датчики не приняты.");
    EXPECT_EQ(bunches.bunch(1), old1);
    EXPECT_EQ(bunches.bunch(2), old2);

    SensorSet badType = twoChannels();
    badType.setText(1, 3, SensorColumn::Type,
                    QStringLiteral("ППО")); // a reference type on an input
    badType.setText(1, 3, SensorColumn::Serial, QStringLiteral("S"));
    badType.setText(1, 3, SensorColumn::Name, QStringLiteral("N"));
    badType.setText(1, 3, SensorColumn::Class, QStringLiteral("1"));
    badType.setText(1, 3, SensorColumn::TMin, QStringLiteral("0"));
    badType.setText(1, 3, SensorColumn::TMax, QStringLiteral("1"));
    EXPECT_FALSE(commit.commitToBunches(badType, bunches));
    EXPECT_EQ(bunches.bunch(1), old1);

    SensorSet missing = twoChannels();
    missing.setText(1, 2, SensorColumn::Serial, QString());
    dialogs.clear();
    EXPECT_FALSE(commit.commitToBunches(missing, bunches));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
    EXPECT_EQ(bunches.bunch(1), old1);
}

TEST_F(SensorCommitTest, OtherKindsLeaveTheEditorWithoutBunches)
{
    addEtal("123", 2001, "ППО-1", "ППО", "1", 300, 1200);
    SensorSetCommit commit(db, dialogs);
    ASSERT_TRUE(commit.commitToBunches(twoChannels(), bunches))
        << dialogs.texts().join("|").toStdString();
    SensorSet ppo(1);
    setRow(ppo, 1, 2, {"5", "ППО", "ППО-5", "", "1"});
    EXPECT_TRUE(commit.commitToBunches(ppo, bunches));
    EXPECT_EQ(bunches.bunch(1), nullptr);
    EXPECT_EQ(bunches.bunch(2), nullptr);
    EXPECT_TRUE(bunches.AllBunchesIsEmpty());
}

TEST_F(SensorCommitTest, OpeningAgainShowsTheCommittedSensors)
{
    addEtal("123", 2001, "ППО-1", "ППО", "1", 300, 1200);
    const SensorSet typed = twoChannels();
    ASSERT_TRUE(SensorSetCommit(db, dialogs).commitToBunches(typed, bunches));
    SensorSet shown(3);
    shown.grid(1).setCell(3, 1, QStringLiteral("uncommitted"));
    FillFromBunches(shown, bunches);
    EXPECT_EQ(shown.grid(1).row(1), typed.grid(1).row(1));
    EXPECT_EQ(shown.grid(1).row(2), QStringList({"", "A'1", "ТХА(K)", "ТХА-01", "2019", "2",
                                                 "Завод", "Лаб", "-40", "1000", "0,5", "12,5"}));
    EXPECT_EQ(shown.grid(1).cell(3, 1), "");
    EXPECT_EQ(shown.grid(1).row(5), typed.grid(1).row(5));
    EXPECT_EQ(shown.grid(2).row(3), typed.grid(2).row(3));

    SensorSet ppo(1);
    FillFromBunches(ppo, bunches); // bunches of another kind are not shown
    EXPECT_EQ(ppo.grid(1).row(2), SensorSet(1).grid(1).row(2));
}

TEST_F(SensorCommitTest, FoundSensorsShowTableValuesAsText)
{
    addEtal("123", 2001, "ППО-1", "ППО", "1", 300.5, 1200);
    const TableRow sensor(tables::Sensors, {{"SerialNum", "S1"},
                                            {"ProdYear", 2019},
                                            {"TypeName", "ТХА-01"},
                                            {"NSHType", "THA"},
                                            {"SensKind", "TP"},
                                            {"Producer", "Завод"},
                                            {"Etalon", false},
                                            {"ClassDop", "2"},
                                            {"Owner", "Лаб"},
                                            {"WDTHighLim", 1000.0},
                                            {"WDTLowLim", -40.0},
                                            {"Diameter", 0.5}});
    ASSERT_TRUE(db.DBSensorsInsert(sensor));
    const auto etal = FindSensors(db, QStringLiteral("SerialNum = '123'"), true);
    ASSERT_TRUE(etal);
    ASSERT_EQ(etal->size(), 1u);
    EXPECT_EQ(etal->front(),
              QStringList({"123", "ППО", "ППО-1", "2001", "1", "", "", "300,5", "1200"}));
    const auto found = FindSensors(db, QStringLiteral("SerialNum = 'S1'"), false);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->front(), QStringList({"S1", "ТХА(K)", "ТХА-01", "2019", "2", "Завод", "Лаб",
                                           "-40", "1000", "0,5", ""}));
}

} // namespace
} // namespace kront::test

namespace kront::test
{
namespace
{

TEST(ApplyFoundSensor, FillsColumnsByMeaningForEveryKind)
{
    const QStringList sensor{"S1",  "ТХА(K)", "ТХА-01", "2019", "2",   "Завод",
                             "Лаб", "-40",    "1000",   "0,5",  "12,3"};
    SensorSet tp(3);
    ApplyFoundSensor(tp, 2, 3, sensor);
    EXPECT_EQ(tp.grid(2).row(3).mid(1), sensor); // kind 3: columns 1 onwards in order

    const QStringList etal{"123", "ППО", "ППО-1", "2001", "1", "ВНИИМ", "Лаб", "300", "1200"};
    SensorSet ppo(1);
    ApplyFoundSensor(ppo, 1, 1, etal);
    EXPECT_EQ(ppo.grid(1).row(1),
              QStringList({"", "123", "ППО", "ППО-1", "2001", "1", "ВНИИМ", "Лаб", "", ""}));
    SensorSet ts(5);
    ApplyFoundSensor(ts, 1, 4, sensor);
    EXPECT_EQ(ts.grid(1).row(4), QStringList({"", "S1", "ТХА(K)", "ТХА-01", "2019", "Завод", "Лаб",
                                              "-40", "1000", ""}));
}

} // namespace
} // namespace kront::test
