// Updates by ID, deletions and their cascades.

#include "model/TPoverka.h"
#include "tests/db/DbFixture.h"

namespace kront::test
{
namespace
{

class ChangeOperationsTest : public DbFixture
{
protected:
    QVariant field(const char *table, int id, const char *name)
    {
        const auto rows =
            db.select(*findTable(QString::fromLatin1(table)), QStringLiteral("ID = %1").arg(id));
        EXPECT_TRUE(rows && rows->size() == 1) << table << " " << id;
        return rows && rows->size() == 1 ? rows->front().value(name) : QVariant();
    }

    // An EtalSens row with every field after ID.
    static TableRow etalValues(const QString &serial)
    {
        TableRow v = row(tables::EtalSens, {{"SerialNum", serial},
                                            {"ProdYear", 2019},
                                            {"TypeName", "ППО"},
                                            {"NSHType", "PP"},
                                            {"SensKind", "PPO"},
                                            {"Producer", "ВНИИМ"},
                                            {"Etalon", true},
                                            {"ClassDop", "2"},
                                            {"Owner", "Лаб"},
                                            {"WDTHighLim", 1300.0},
                                            {"WDTLowLim", 300.0}});
        for (int k = 1; k <= 17; ++k) {
            v.set(QStringLiteral("Temp%1").arg(k), 100.0 * k);
            v.set(QStringLiteral("EMF%1").arg(k), 0.5 * k);
        }
        v.set("RecordCreationDateTime", QDateTime(QDate(2026, 12, 10), QTime(8, 0)));
        return v;
    }
};

TEST_F(ChangeOperationsTest, UpdatesByIdSetTheirFields)
{
    const int p = insertPoverka("1", clock.now());
    const int b = insertBunch(p, 1, 0, {0, 0, 0, 0});
    EXPECT_TRUE(db.DBPoverkaUpdateState(p, "MainCycle;1;3;5;"));
    EXPECT_TRUE(db.DBPoverkaTPSetStepCount(p, 6));
    EXPECT_TRUE(db.DBBunchTPSetTerminated(b, 3));
    EXPECT_EQ(field("Poverki", p, "CurrPovState"), "MainCycle;1;3;5;");
    EXPECT_EQ(field("Poverki", p, "TempPointsCount").toInt(), 6);
    EXPECT_EQ(field("BunchesTP", b, "PovTerminated").toBool(), true);
    EXPECT_EQ(field("BunchesTP", b, "PovTermMeasPointNum").toInt(), 3);
    // A missing row changes nothing and shows nothing.
    EXPECT_FALSE(db.DBPoverkaUpdateState(99, "x"));
    EXPECT_FALSE(db.DBBunchTPSetTerminated(99, 1));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ChangeOperationsTest, SetFinishedStoresTheClockTimeInTheObjectAndTheRow)
{
    const int p = insertPoverka("1", clock.now());
    clock.set(at(10, 12, 2026, 17, 45, 12));
    TPoverka poverka;
    EXPECT_TRUE(db.DBPoverkaSetFinished(p, &poverka));
    EXPECT_EQ(poverka.Finished, at(10, 12, 2026, 17, 45, 12));
    EXPECT_EQ(field("Poverki", p, "Finished").toDateTime(), poverka.Finished);
    EXPECT_EQ(count("Poverki", "Finished IS NULL"), 0);
    EXPECT_FALSE(db.DBPoverkaSetFinished(99, &poverka));
    if (onServerStore())
        return; // a server's table cannot be taken away as a file is
    QFile::remove(home.data("Poverki.cds"));
    EXPECT_FALSE(db.DBPoverkaSetFinished(p, nullptr));
}

TEST_F(ChangeOperationsTest, EtalSensUpdateAllByIdRewritesEveryFieldAfterId)
{
    ASSERT_TRUE(db.DBEtalSensInsert(etalValues("old")));
    const int id = db.DBGetMaxID(tables::EtalSens, "");
    TableRow values = etalValues("new");
    values.set("TypeName", "ПРО");
    values.set("RecordCreationDateTime", QDateTime(QDate(2026, 12, 10), QTime(9, 30)));
    EXPECT_TRUE(db.DBEtalSensUpdateAllByID(id, values));
    EXPECT_EQ(field("EtalSens", id, "SerialNum"), "new");
    EXPECT_EQ(field("EtalSens", id, "TypeName"), "ПРО");
    EXPECT_EQ(field("EtalSens", id, "EMF17").toDouble(), 8.5);
    EXPECT_EQ(field("EtalSens", id, "RecordCreationDateTime").toDateTime(),
              values.value(u"RecordCreationDateTime"));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ChangeOperationsTest, EtalSensUpdateThatCannotBeAssignedIsCancelledWithItsMessage)
{
    ASSERT_TRUE(db.DBEtalSensInsert(etalValues("old")));
    const int id = db.DBGetMaxID(tables::EtalSens, "");
    const QString cancelled =
        "Произошла ошибка при обновлении данных эталонных датчиков! Операция отменена.";
    TableRow bad = etalValues("new");
    bad.set("WDTLowLim", "не число");
    EXPECT_FALSE(db.DBEtalSensUpdateAllByID(id, bad));
    TableRow unknownField = etalValues("new");
    unknownField.set("Temp18", 1900.0);
    EXPECT_FALSE(db.DBEtalSensUpdateAllByID(id, unknownField));
    EXPECT_FALSE(db.DBEtalSensUpdateAllByID(id, row(tables::Sensors, {{"SerialNum", "new"}})));
    EXPECT_EQ(dialogs.texts(), QStringList({cancelled, cancelled, cancelled}));
    EXPECT_EQ(field("EtalSens", id, "SerialNum"), "old");
    dialogs.clear();
    EXPECT_FALSE(db.DBEtalSensUpdateAllByID(id + 1, etalValues("x"))); // missing row: nothing
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ChangeOperationsTest, BunchResultsFromResultCodes)
{
    const int b = insertBunch(5, 1, 0, {0, 0, 0, 0});
    EXPECT_TRUE(db.DBUpdateBunchesTPResults(b, 5, {0, -1, 2, 10, 1}));
    EXPECT_EQ(field("BunchesTP", b, "ResultInp1"), "");
    EXPECT_EQ(field("BunchesTP", b, "ResultInp2"), "2");
    EXPECT_EQ(field("BunchesTP", b, "ResultInp3"), "Бр.");
    EXPECT_EQ(field("BunchesTP", b, "ResultInp4"), "1");
    // Located by ID and PoverkaID together: another verification's ID changes nothing.
    EXPECT_FALSE(db.DBUpdateBunchesTPResults(b, 6, {0, 3, 3, 3, 3}));
    EXPECT_EQ(field("BunchesTP", b, "ResultInp4"), "1");
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ChangeOperationsTest, UpdateWhereSetsFieldsOfPassingRows)
{
    const int b = insertBunch(5, 1, 0, {11, 0, 0, 0});
    insertBunch(5, 2, 0, {12, 0, 0, 0});
    EXPECT_EQ(db.updateWhere(tables::BunchesTP,
                             QStringLiteral("ID = %1 and PovSensorID1 = 11").arg(b),
                             {{"DocNumInp1", "0007"}, {"EmittedDocIDInp1", 4}}),
              1);
    EXPECT_EQ(field("BunchesTP", b, "DocNumInp1"), "0007");
    EXPECT_EQ(db.updateWhere(tables::BunchesTP, "PoverkaID = 5", {{"nope", 1}}), -1);
    EXPECT_EQ(db.updateWhere(tables::BunchesTP, "PoverkaID = 6", {{"ChannelNum", 1}}), 0);
}

TEST_F(ChangeOperationsTest, DeletePoverkaTakesBunchesAndResultsButKeepsSensorsAndDocuments)
{
    const int p1 = insertPoverka("7", at(10, 12, 2026, 8));
    const int p2 = insertPoverka("7", at(10, 12, 2026, 9));
    const int keep = insertPoverka("8", at(10, 12, 2026, 9));
    const int s = insertSensor("S1");
    ASSERT_TRUE(db.DBEtalSensInsert(etalValues("E")));
    ASSERT_TRUE(db.DBDocInsert(row(tables::Documents, {{"DocNum", "1"}})));
    for (int p : {p1, p2, keep}) {
        const int b = insertBunch(p, 1, 2, {s, 0, 0, 0});
        insertResult(p, b, "MainCycle", 1);
        insertResult(p, b, "Calculation", 1);
    }
    EXPECT_TRUE(db.DBDeletePoverka("PovNum = '7' and Date(Started) = '10.12.2026'"));
    EXPECT_EQ(count("Poverki"), 1);
    EXPECT_EQ(count("Poverki", QStringLiteral("ID = %1").arg(keep)), 1);
    EXPECT_EQ(count("BunchesTP"), 1);
    EXPECT_EQ(count("BunchesTP", QStringLiteral("PoverkaID = %1").arg(keep)), 1);
    EXPECT_EQ(count("ResultsTP"), 2);
    EXPECT_EQ(count("ResultsTP", QStringLiteral("PoverkaID = %1").arg(keep)), 2);
    EXPECT_EQ(count("Sensors"), 1);
    EXPECT_EQ(count("EtalSens"), 1);
    EXPECT_EQ(db.DBGetMaxID(tables::Documents, ""), 2);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ChangeOperationsTest, DeletePoverkaIsAllOrNothingWhenACascadeTableIsBroken)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const int p = insertPoverka("7", clock.now());
    const int b = insertBunch(p, 1, 0, {0, 0, 0, 0});
    insertResult(p, b, "MainCycle", 1);
    QFile f(home.data("ResultsTP.cds"));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write("garbage");
    f.close();
    EXPECT_FALSE(db.DBDeletePoverka("PovNum = '7'"));
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(tables::ResultsTP.openFailureText)});
    EXPECT_EQ(count("Poverki"), 1);
    EXPECT_EQ(count("BunchesTP"), 1);
}

TEST_F(ChangeOperationsTest, DeleteBunchesWithSensorsTakesOnlyTheNamedSensors)
{
    const int s1 = insertSensor("1");
    const int s2 = insertSensor("2");
    const int s3 = insertSensor("3");
    ASSERT_TRUE(db.DBEtalSensInsert(etalValues("E")));
    const int b = insertBunch(5, 1, 2, {s1, 0, s3, 0});
    // A bunch with null sensor IDs.
    ASSERT_TRUE(
        db.DBBunchesTPInsert(row(tables::BunchesTP, {{"PoverkaID", 5}, {"ChannelNum", 2}})));
    insertBunch(6, 1, 2, {s2, 0, 0, 0});
    insertResult(5, b, "MainCycle", 1);
    EXPECT_TRUE(db.DBDeleteBunchesTPwithSensors("PoverkaID = 5"));
    EXPECT_EQ(count("Sensors"), 1);
    EXPECT_EQ(count("Sensors", QStringLiteral("ID = %1").arg(s2)), 1);
    EXPECT_EQ(count("BunchesTP"), 1);
    EXPECT_EQ(count("EtalSens"), 1);
    EXPECT_EQ(count("ResultsTP"), 1);
}

TEST_F(ChangeOperationsTest, DeletePartialDataUndoesAHalfWrittenStart)
{
    const int p = insertPoverka("1", clock.now());
    const int other = insertPoverka("2", clock.now());
    const int s1 = insertSensor("1");
    const int s2 = insertSensor("2");
    const int b = insertBunch(p, 1, 0, {s1, 0, 0, 0});
    insertBunch(other, 1, 0, {s2, 0, 0, 0});
    insertResult(p, b, "MainCycle", 1);
    EXPECT_TRUE(db.DBDeletePartialData(p));
    EXPECT_EQ(count("Poverki"), 1);
    EXPECT_EQ(count("Sensors"), 1);
    EXPECT_EQ(count("BunchesTP"), 1);
    EXPECT_EQ(count("ResultsTP"), 1); // result rows are not touched
    // A verification that does not exist: nothing happens, even to bunches naming it.
    insertBunch(77, 1, 0, {s2, 0, 0, 0});
    EXPECT_TRUE(db.DBDeletePartialData(77));
    EXPECT_EQ(count("BunchesTP"), 2);
    EXPECT_EQ(count("Sensors"), 1);
}

TEST_F(ChangeOperationsTest, DeletionsByFilterAndById)
{
    const int s1 = insertSensor("1");
    insertSensor("2");
    ASSERT_TRUE(db.DBEtalSensInsert(etalValues("E1")));
    ASSERT_TRUE(db.DBEtalSensInsert(etalValues("E2")));
    ASSERT_TRUE(db.DBEtalSensInsert(etalValues("E3")));
    insertBunch(5, 1, 0, {0, 0, 0, 0});
    insertBunch(5, 2, 0, {0, 0, 0, 0});
    for (int p : {1, 2})
        insertResult(5, 9, "Calculation", p);
    insertResult(6, 9, "Calculation", 1);

    EXPECT_TRUE(db.DBDeleteSensor(s1));
    EXPECT_TRUE(db.DBDeleteSensor(999));
    EXPECT_EQ(count("Sensors"), 1);
    EXPECT_TRUE(db.DBDeleteEtalSens(2));
    EXPECT_TRUE(db.DBDeleteEtalSensFilter("SerialNum = 'E3'"));
    EXPECT_EQ(count("EtalSens"), 1);
    EXPECT_TRUE(db.DBDeleteBunchesTP("PoverkaID = 5 and ChannelNum = 2"));
    EXPECT_EQ(count("BunchesTP"), 1);
    EXPECT_TRUE(db.DBDeleteResultsTPFilter(
        "PoverkaID = 5 and BunchID = 9 and Stage = 'Calculation' and MeasPointNum = 2"));
    EXPECT_EQ(count("ResultsTP"), 2);
    EXPECT_TRUE(db.DBDeleteResultsTPByPovID("PoverkaID = 6"));
    EXPECT_EQ(count("ResultsTP"), 1);
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ChangeOperationsTest, DeletionThatCannotOpenItsTableShowsItsMessage)
{
    KRONT_SKIP_ON_SERVER_STORE();
    QFile::remove(home.data("Sensors.cds"));
    EXPECT_FALSE(db.DBDeleteSensor(2));
    EXPECT_FALSE(db.DBDeleteBunchesTPwithSensors("PoverkaID = 1"));
    const QString text = QString::fromUtf8(tables::Sensors.openFailureText);
    EXPECT_EQ(dialogs.texts(), QStringList({text, text}));
}

} // namespace
} // namespace kront::test
