// DBGetRecordsCount, DBGetMaxID, DBGetID, select and the open-failure texts.

#include "tests/db/DbFixture.h"

namespace kront::test
{
namespace
{

class QueryOperationsTest : public DbFixture
{
};

TEST_F(QueryOperationsTest, MaxIdOfAnEmptyTableIsZero)
{
    for (const TableSchema *t : {&tables::Poverki, &tables::EtalSens, &tables::Sensors,
                                 &tables::BunchesTP, &tables::Documents})
        EXPECT_EQ(db.DBGetMaxID(*t, ""), 0) << t->name;
    EXPECT_EQ(db.DBGetMaxID(tables::Poverki, "PovNum = '1'"), -1);
}

TEST_F(QueryOperationsTest, MaxIdConfirmsTheRowJustWritten)
{
    insertPoverka("A", clock.now());
    insertPoverka("B", clock.now());
    insertPoverka("C", clock.now()); // ID 4
    const struct {
        const char *filter;
        int expected;
    } cases[] = {
        {"", 4},
        {"PovNum = 'C' and Date(Started) = Date(GetDate())", 4},
        {"PovNum = 'A'", -1}, // passes, but does not hold the largest ID
        {"PovNum = 'X'", -1},
        // The caller's filter counts as a whole: without the parentheses the
        // key test would bind to the last "or" branch only and confirm 4.
        {"PovNum = 'A' or PovNum = 'B'", -1},
        {"PovNum = 'A' or PovNum = 'C'", 4},
    };
    for (const auto &c : cases)
        EXPECT_EQ(db.DBGetMaxID(tables::Poverki, c.filter), c.expected) << c.filter;
}

TEST_F(QueryOperationsTest, MaxIdAfterDeletingTheLargestRow)
{
    insertPoverka("A", clock.now());
    const int b = insertPoverka("B", clock.now());
    db.DBDeletePoverka(QStringLiteral("ID = %1").arg(b));
    EXPECT_EQ(db.DBGetMaxID(tables::Poverki, ""), 2);
    EXPECT_EQ(insertPoverka("C", clock.now()), b + 1);
}

TEST_F(QueryOperationsTest, IdOfTheOnlyPassingRow)
{
    insertSensor("1");
    insertSensor("2");
    insertSensor("2");
    EXPECT_EQ(db.DBGetID(tables::Sensors, "SerialNum = '1'"), 2);
    EXPECT_EQ(db.DBGetID(tables::Sensors, "SerialNum = '2'"), -1);
    EXPECT_EQ(db.DBGetID(tables::Sensors, "SerialNum = '3'"), -1);
    EXPECT_EQ(db.DBGetID(tables::Sensors, ""), -1);
    EXPECT_EQ(db.DBGetID(tables::Sensors, "  "), -1);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(QueryOperationsTest, TablesEachQueryAccepts)
{
    ASSERT_TRUE(db.DBDocInsert(row(tables::Documents, {{"DocNum", "1"}})));
    insertResult(2, 2, "MainCycle", 1);
    const struct {
        const TableSchema *table;
        int count, maxId, id;
    } cases[] = {
        {&tables::Poverki, 0, 0, -1},    {&tables::EtalSens, 0, 0, -1},
        {&tables::Sensors, 0, 0, -1},    {&tables::BunchesTP, 0, 0, -1},
        {&tables::ResultsTP, 1, -1, -1}, {&tables::Documents, -1, 2, -1},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(db.DBGetRecordsCount(*c.table, ""), c.count) << c.table->name;
        EXPECT_EQ(db.DBGetMaxID(*c.table, ""), c.maxId) << c.table->name;
        EXPECT_EQ(db.DBGetID(*c.table, "ID = 2"), c.id) << c.table->name;
    }
    EXPECT_TRUE(dialogs.shown.empty());
    // A table is named exactly (the command line looks it up so).
    EXPECT_EQ(findTable("poverki"), nullptr);
    EXPECT_EQ(findTable("Nope"), nullptr);
    EXPECT_EQ(findTable("Poverki"), &tables::Poverki);
}

TEST_F(QueryOperationsTest, TableThatCannotBeOpenedGivesMinusOneAndItsMessage)
{
    KRONT_SKIP_ON_SERVER_STORE();
    for (const TableSchema *schema : allTables())
        ASSERT_TRUE(QFile::remove(home.data(schema->fileName())));
    const QString poverki = QString::fromUtf8(tables::Poverki.openFailureText);
    EXPECT_EQ(count("Poverki"), -1);
    EXPECT_EQ(db.DBGetMaxID(tables::Poverki, ""), -1);
    EXPECT_EQ(db.DBGetID(tables::Poverki, "ID = 1"), -1);
    EXPECT_EQ(dialogs.texts(), QStringList({poverki, poverki, poverki}));
    for (const auto &s : dialogs.shown) {
        EXPECT_EQ(s.caption, kProgramTitle);
        EXPECT_EQ(s.icon, Dialogs::Icon::Error);
    }
    dialogs.clear();
    EXPECT_EQ(count("ResultsTP"), -1);
    EXPECT_EQ(dialogs.texts(),
              QStringList{"Не удалось открыть базу данных результатов поверок ТП! Устаните "
                          "причину и перезапустите программу."});
    EXPECT_FALSE(QFile::exists(home.data("Poverki.cds"))); // never created by an operation
}

TEST_F(QueryOperationsTest, InsertThatCannotOpenShowsTheInsertText)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const struct {
        const TableSchema *schema;
        bool (Database::*insert)(const TableRow &);
        const char *text;
    } cases[] = {
        {&tables::Poverki, &Database::DBPoverkaInsert,
         "Не удалось открыть базу данных поверок! Операция отменена."},
        {&tables::EtalSens, &Database::DBEtalSensInsert,
         "Не удалось открыть базу данных эталонных датчиков! Операция отменена."},
        {&tables::Sensors, &Database::DBSensorsInsert,
         "Не удалось открыть базу данных датчиков! Операция отменена."},
        {&tables::BunchesTP, &Database::DBBunchesTPInsert,
         "Не удалось открыть базу данных пучков ТП! Операция отменена."},
        {&tables::ResultsTP, &Database::DBResultsTPInsert,
         "Не удалось открыть базу данных результатов поверок ТП! Операция отменена."},
        {&tables::Documents, &Database::DBDocInsert,
         "Не удалось открыть базу данных выданных документов! Операция добавления документа "
         "отменена."},
    };
    for (const auto &c : cases) {
        ASSERT_TRUE(QFile::remove(home.data(c.schema->fileName())));
        dialogs.clear();
        EXPECT_FALSE((db.*c.insert)(TableRow(*c.schema)));
        EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(c.text)});
    }
}

TEST_F(QueryOperationsTest, InsertWithFewerValuesLeavesTheRestNull)
{
    ASSERT_TRUE(
        db.DBBunchesTPInsert(row(tables::BunchesTP, {{"PoverkaID", 7}, {"ChannelNum", 2}})));
    const auto rows = db.select(tables::BunchesTP, "");
    ASSERT_TRUE(rows && rows->size() == 1);
    EXPECT_EQ(rows->front().value("PoverkaID").toInt(), 7);
    EXPECT_EQ(rows->front().value("ChannelNum").toInt(), 2);
    EXPECT_FALSE(rows->front().value("EtalSensorID").isValid());
    EXPECT_FALSE(rows->front().value("RecordCreationDateTime").isValid());
}

TEST_F(QueryOperationsTest, SelectOrdersAndLimits)
{
    insertSensor("b");
    insertSensor("a");
    insertSensor("c");
    const auto byId = db.select(tables::Sensors, "", "ID");
    ASSERT_TRUE(byId);
    ASSERT_EQ(byId->size(), 3u);
    EXPECT_EQ(byId->at(0).value("SerialNum"), "b");
    const auto bySerial = db.select(tables::Sensors, "SerialNum <> 'c'", "serialnum desc", 1);
    ASSERT_TRUE(bySerial && bySerial->size() == 1);
    EXPECT_EQ(bySerial->front().value("SerialNum"), "b");
    EXPECT_FALSE(db.select(tables::Sensors, "", "Nope").has_value());
    // Named fields only, in the order asked for.
    const auto fields = db.selectFields(tables::Sensors, {"SerialNum", "ID"}, "", "SerialNum");
    ASSERT_TRUE(fields && fields->size() == 3);
    EXPECT_EQ(fields->at(0), QVariantList({"a", 3})); // IDs start at 2
    EXPECT_EQ(fields->at(2), QVariantList({"c", 4}));
    EXPECT_FALSE(db.selectFields(tables::Sensors, {"SerialNum", "Nope"}, "").has_value());
    const auto page = db.selectFields(tables::Sensors, {"SerialNum"}, "", "SerialNum", 1, 1);
    ASSERT_TRUE(page && page->size() == 1);
    EXPECT_EQ(page->front(), QVariantList{"b"});
    for (int p : {3, 1, 2})
        insertResult(9, 9, "MainCycle", p);
    const auto results = db.select(tables::ResultsTP, "PoverkaID = 9"); // table order
    ASSERT_TRUE(results && results->size() == 3);
    EXPECT_EQ(results->at(0).value("MeasPointNum").toInt(), 3);
    EXPECT_EQ(results->at(2).value("MeasPointNum").toInt(), 2);
}

TEST_F(QueryOperationsTest, SelectWithItsOwnOpenFailureText)
{
    KRONT_SKIP_ON_SERVER_STORE();
    QFile::remove(home.data("Poverki.cds"));
    EXPECT_FALSE(db.select(tables::Poverki, "ID = 2", "ID", -1, "свой текст").has_value());
    EXPECT_EQ(dialogs.texts(), QStringList{"свой текст"});
}

TEST_F(QueryOperationsTest, InsertRowsIsAllOrNothing)
{
    const TableRow good = row(tables::ResultsTP, {{"PoverkaID", 1}, {"Stage", "MainCycle"}});
    const TableRow bad = row(tables::ResultsTP, {{"PoverkaID", "x"}});
    EXPECT_FALSE(db.insertRows(tables::ResultsTP, {good, bad}));
    EXPECT_EQ(count("ResultsTP"), 0);
    EXPECT_TRUE(db.insertRows(tables::ResultsTP, {good, good}));
    EXPECT_EQ(count("ResultsTP"), 2);
}

} // namespace
} // namespace kront::test
