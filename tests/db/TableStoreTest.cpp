// The table files: start-up check, schema in the file, ID rule, text sizes,
// files that are not table files, durability.

#include "db/FieldValue.h"
#include "db/Sqlite.h"
#include "db/TableFile.h"
#include "tests/db/DbFixture.h"

#include <QDir>
#include <QFileInfo>
#include <QMap>

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kront::test
{
namespace
{

class TableStoreTest : public DbFixture
{
};

// A plain connection as the sqlite3 tool would make it.
struct RawFile {
    explicit RawFile(const QString &path) { EXPECT_TRUE(conn.openExisting(path)); }
    qint64 scalar(const QString &sql)
    {
        sqlite::Statement st(conn, sql);
        return st.step() ? st.integer(0) : -999;
    }
    QStringList strings(const QString &sql)
    {
        sqlite::Statement st(conn, sql);
        QStringList out;
        while (st.step())
            out << st.text(0);
        return out;
    }
    sqlite::Connection conn;
};

TEST_F(TableStoreTest, FreshDataHoldsSixEmptyTablesNamedAsTheirFiles)
{
    KRONT_SKIP_ON_SERVER_STORE();
    for (const TableSchema *schema : allTables()) {
        SCOPED_TRACE(schema->name);
        const QString path = home.data(schema->fileName());
        ASSERT_TRUE(QFileInfo(path).isFile());
        RawFile raw(path);
        EXPECT_EQ(raw.strings("SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT "
                              "LIKE 'sqlite_%'"),
                  QStringList{schema->tableName()});
        QStringList expected;
        for (int i = 0; i < schema->fieldCount(); ++i)
            expected << schema->fieldName(i);
        EXPECT_EQ(raw.strings(QStringLiteral("SELECT name FROM pragma_table_info('%1')")
                                  .arg(schema->tableName())),
                  expected);
        EXPECT_EQ(raw.scalar(QStringLiteral("SELECT COUNT(*) FROM %1").arg(schema->tableName())),
                  0);
        const QStringList indexes =
            raw.strings("SELECT name FROM sqlite_master WHERE type = 'index'");
        for (const IndexDef &ix : schema->indexes)
            EXPECT_TRUE(indexes.contains(QString::fromLatin1(ix.name))) << ix.name;
        if (schema->hasId()) {
            // The blank row of the creation used up ID 1.
            EXPECT_EQ(raw.scalar(QStringLiteral("SELECT seq FROM sqlite_sequence WHERE name = '%1'")
                                     .arg(schema->tableName())),
                      1);
        }
        EXPECT_EQ(raw.strings("PRAGMA journal_mode"), QStringList{"delete"});
    }
    EXPECT_FALSE(QFileInfo::exists(home.data("Poverki.cds.creating")));
}

// A home made before notices kept their reasons has the six files only: the
// start-up check adds IzvReasons and leaves the six as they are.
TEST_F(TableStoreTest, OlderHomeGetsTheReasonsTableAtStartUp)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const QString reasons = home.data(tables::IzvReasons.fileName());
    ASSERT_TRUE(QFileInfo(reasons).isFile());
    ASSERT_TRUE(QFile::remove(reasons));
    insertPoverka("1", clock.now());
    const QByteArray poverki = fileBytes(home.data("Poverki.cds"));
    ASSERT_TRUE(db.ensureTables());
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(fileBytes(home.data("Poverki.cds")), poverki);
    RawFile raw(reasons);
    EXPECT_EQ(raw.strings("SELECT name FROM pragma_table_info('IzvReasons')"),
              QStringList({"ID", "DocID", "Reasons"}));
    EXPECT_EQ(raw.strings("SELECT type FROM pragma_table_info('IzvReasons')"),
              QStringList({"INTEGER", "INTEGER", "VARCHAR(1024)"}));
    EXPECT_TRUE(
        db.insertRows(tables::IzvReasons,
                      {row(tables::IzvReasons, {{"DocID", 5}, {"Reasons", QString(1100, u'п')}})}));
    const auto rows = db.select(tables::IzvReasons, "DocID = 5");
    ASSERT_TRUE(rows && rows->size() == 1u);
    EXPECT_EQ(rows->front().value("Reasons").toString(), QString(1024, u'п'));
}

// A home made before any table was added has the six files only: the
// start-up check creates every added table as declared and leaves the six as
// they are.
TEST_F(TableStoreTest, HomeWithOnlyTheSixGetsEveryAddedTable)
{
    KRONT_SKIP_ON_SERVER_STORE();
    insertPoverka("1", clock.now());
    for (const TableSchema *added : addedTables())
        ASSERT_TRUE(QFile::remove(home.data(added->fileName()))) << added->name;
    QMap<QString, QByteArray> six;
    for (const TableSchema *schema : allTables())
        six[schema->fileName()] = fileBytes(home.data(schema->fileName()));
    ASSERT_TRUE(db.ensureTables());
    EXPECT_TRUE(dialogs.shown.empty());
    for (auto it = six.cbegin(); it != six.cend(); ++it)
        EXPECT_EQ(fileBytes(home.data(it.key())), it.value()) << it.key().toStdString();
    for (const TableSchema *added : addedTables()) {
        SCOPED_TRACE(added->name);
        EXPECT_EQ(findTable(added->tableName()), added);
        RawFile raw(home.data(added->fileName()));
        QStringList expected;
        for (int i = 0; i < added->fieldCount(); ++i)
            expected << added->fieldName(i);
        EXPECT_EQ(
            raw.strings(
                QStringLiteral("SELECT name FROM pragma_table_info('%1')").arg(added->tableName())),
            expected);
    }
}

// The six tables keep the columns every home made by earlier programs has: the
// tables added later never change them.
TEST(TableSchemas, TheSixKeepTheirColumns)
{
    const std::pair<const char *, const char *> expected[] = {
        {"Poverki",
         "ID PovNum(8) Started Finished GOSTnum(20) Methodic Kind InstabilityCheckNeeded "
         "InstabLimit TempPointsCount EquipmentParams CurrPovState(20)"},
        {"EtalSens",
         "ID SerialNum(8) ProdYear TypeName(20) NSHType(5) SensKind(5) Producer(40) Etalon "
         "ClassDop(3) Owner(40) WDTHighLim WDTLowLim Temp1 EMF1 Temp2 EMF2 Temp3 EMF3 "
         "Temp4 EMF4 Temp5 EMF5 Temp6 EMF6 Temp7 EMF7 Temp8 EMF8 Temp9 EMF9 Temp10 EMF10 "
         "Temp11 EMF11 Temp12 EMF12 Temp13 EMF13 Temp14 EMF14 Temp15 EMF15 Temp16 EMF16 "
         "Temp17 EMF17 RecordCreationDateTime"},
        {"Sensors",
         "ID SerialNum(8) ProdYear TypeName(20) NSHType(5) SensKind(5) Producer(40) Etalon "
         "ClassDop(3) Owner(40) WDTHighLim WDTLowLim Diameter Mass RecordCreationDateTime"},
        {"BunchesTP",
         "ID PoverkaID ChannelNum EtalSensorID PovSensorID1 PovSensorID2 PovSensorID3 "
         "PovSensorID4 ResultInp1(3) ResultInp2(3) ResultInp3(3) ResultInp4(3) "
         "DocNumInp1(8) DocNumInp2(8) DocNumInp3(8) DocNumInp4(8) ExtSurveyNotesInp1(80) "
         "ExtSurveyNotesInp2(80) ExtSurveyNotesInp3(80) ExtSurveyNotesInp4(80) "
         "InsulationStrengthInp1(20) InsulationStrengthInp2(20) InsulationStrengthInp3(20) "
         "InsulationStrengthInp4(20) InsulationResistancePosInp1 "
         "InsulationResistanceNegInp1 InsulationResistancePosInp2 "
         "InsulationResistanceNegInp2 InsulationResistancePosInp3 "
         "InsulationResistanceNegInp3 InsulationResistancePosInp4 "
         "InsulationResistanceNegInp4 PovTerminated PovTermMeasPointNum EmittedDocIDInp1 "
         "EmittedDocIDInp2 EmittedDocIDInp3 EmittedDocIDInp4 RecordCreationDateTime"},
        {"ResultsTP",
         "PoverkaID BunchID Methodic Stage(20) MeasPointNum MeasNum E_Tsk Tsk E_et E_pret "
         "t_et t_pret TEDSe1Inp1 TEDSe2Inp1 TEDSe1Inp2 TEDSe2Inp2 TEDSe1Inp3 TEDSe2Inp3 "
         "TEDSe1Inp4 TEDSe2Inp4 Operation(10) EtalSensorType RecordCreationDateTime"},
        {"Documents",
         "ID DocType DocNum(8) MetrologyOrganName(255) NameSI(120) SerNumPred(80) "
         "ZavNum(8) Owner(40) PovKind Class(3) Prichina(510) DolgRuk(80) NameRuk(60) "
         "NamePov(60) DateDoc(10) DateActing(10) Glubina(4) Diameter(4) Dlina(4) Massa(4) "
         "RecordCreationDateTime"},
    };
    ASSERT_EQ(std::size(expected), allTables().size());
    for (std::size_t t = 0; t < allTables().size(); ++t) {
        const TableSchema &schema = *allTables()[t];
        QStringList columns;
        for (const FieldDef &f : schema.fields)
            columns << QString::fromLatin1(f.name) + (f.type == FieldType::Text
                                                          ? QStringLiteral("(%1)").arg(f.size)
                                                          : QString());
        EXPECT_EQ(schema.tableName(), QLatin1String(expected[t].first));
        EXPECT_EQ(columns.join(u' '), QLatin1String(expected[t].second)) << schema.name;
    }
}

TEST_F(TableStoreTest, DeclaredTypesAndTextSizesAreInTheFile)
{
    KRONT_SKIP_ON_SERVER_STORE();
    RawFile raw(home.data("Poverki.cds"));
    EXPECT_EQ(
        raw.strings("SELECT type FROM pragma_table_info('Poverki')"),
        QStringList({"INTEGER", "VARCHAR(8)", "DATETIME", "DATETIME", "VARCHAR(20)", "SMALLINT",
                     "SMALLINT", "BOOLEAN", "DOUBLE", "SMALLINT", "TEXT", "VARCHAR(20)"}));
}

TEST_F(TableStoreTest, SecondStartLeavesPresentFilesByteForByte)
{
    KRONT_SKIP_ON_SERVER_STORE();
    // Give the files content, so that any rewrite would show.
    insertPoverka("1", clock.now());
    std::map<QString, QByteArray> before;
    std::map<QString, QDateTime> modified;
    for (const TableSchema *schema : allTables()) {
        before[schema->fileName()] = fileBytes(home.data(schema->fileName()));
        modified[schema->fileName()] = QFileInfo(home.data(schema->fileName())).lastModified();
    }
    ASSERT_TRUE(db.ensureTables());
    EXPECT_TRUE(dialogs.shown.empty());
    for (const auto &[name, bytes] : before) {
        EXPECT_EQ(fileBytes(home.data(name)), bytes) << name.toStdString();
        EXPECT_EQ(QFileInfo(home.data(name)).lastModified(), modified[name]);
    }
}

TEST_F(TableStoreTest, MissingFileIsCreatedWithoutTouchingTheOthers)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const QByteArray poverki = fileBytes(home.data("Poverki.cds"));
    ASSERT_TRUE(QFile::remove(home.data("ResultsTP.cds")));
    ASSERT_TRUE(db.ensureTables());
    EXPECT_TRUE(QFileInfo(home.data("ResultsTP.cds")).isFile());
    EXPECT_EQ(fileBytes(home.data("Poverki.cds")), poverki);
}

struct StartupFailure {
    const char *blocked; // table whose file cannot be made
    const TableSchema *schema;
    int created; // tables before it, which are made
};

class StartupFailureTest : public ::testing::TestWithParam<StartupFailure>
{
};

TEST_P(StartupFailureTest, StopsAtTheFirstTableThatCannotBeMade)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const StartupFailure c = GetParam();
    TempHome home;
    ScriptedDialogs dialogs;
    Database db(dialogs);
    // A folder where the file's temporary is to be built makes the creation fail.
    QDir(home.path()).mkpath(QStringLiteral("Data/%1.cds.creating/x").arg(c.blocked));
    EXPECT_FALSE(db.ensureTables());
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().caption, QStringLiteral("Программа автоматизации КРОНТ"));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_EQ(dialogs.last().text, QString::fromUtf8(c.schema->startupFailureText));
    for (int i = 0; i < 6; ++i) {
        const TableSchema *t = allTables()[i];
        EXPECT_EQ(QFileInfo::exists(home.data(t->fileName())), i < c.created) << t->name;
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, StartupFailureTest,
                         ::testing::Values(StartupFailure{"Poverki", &tables::Poverki, 0},
                                           StartupFailure{"EtalSens", &tables::EtalSens, 1},
                                           StartupFailure{"ResultsTP", &tables::ResultsTP, 4},
                                           StartupFailure{"Documents", &tables::Documents, 5}));

TEST(StartupMessages, AreTheTablesOwnTexts)
{
    EXPECT_EQ(QString::fromUtf8(tables::ResultsTP.startupFailureText),
              QStringLiteral("Не удалось открыть базу данных результатов поверки ТП! Устаните "
                             "причину и перезапустите программу."));
    EXPECT_EQ(QString::fromUtf8(tables::Documents.startupFailureText),
              QStringLiteral("Не удалось открыть базу данных выданных документов! Устаните "
                             "причину и перезапустите программу."));
}

TEST(StartupWithoutData, ShowsThePoverkiMessageAndCreatesNoFolder)
{
    KRONT_SKIP_ON_SERVER_STORE();
    TempHome home;
    QDir(home.path()).rmdir(QStringLiteral("Data"));
    ScriptedDialogs dialogs;
    Database db(dialogs);
    EXPECT_FALSE(db.ensureTables());
    EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(tables::Poverki.startupFailureText)});
    EXPECT_FALSE(QFileInfo::exists(home.path() + "/Data"));
}

TEST_F(TableStoreTest, FirstRealRowGetsIdTwoAndIdsAreNeverReused)
{
    const int first = insertPoverka("1", clock.now());
    EXPECT_EQ(first, 2);
    const int second = insertPoverka("2", clock.now());
    EXPECT_EQ(second, 3);
    ASSERT_TRUE(db.DBDeletePoverka(QStringLiteral("ID = %1").arg(second)));
    EXPECT_EQ(db.DBGetMaxID(tables::Poverki, ""), 2);
    EXPECT_EQ(insertPoverka("3", clock.now()), 4);
    // An ID given by the caller is ignored.
    TableRow values = row(tables::Sensors, {{"SerialNum", "1"}});
    values.set("ID", 2);
    ASSERT_TRUE(db.DBSensorsInsert(values));
    ASSERT_TRUE(db.DBSensorsInsert(values));
    EXPECT_EQ(db.DBGetMaxID(tables::Sensors, ""), 3);
    EXPECT_EQ(count("Sensors"), 2);
}

struct TextCut {
    const TableSchema *schema;
    const char *field;
    int size;
};

class TextSizeTest : public DbFixture, public ::testing::WithParamInterface<TextCut>
{
};

TEST_P(TextSizeTest, LongerTextIsCutToTheFieldSize)
{
    const TextCut c = GetParam();
    const QString longText = QString(c.size, QChar(u'Ж')) + QStringLiteral("XYZ");
    ASSERT_TRUE(db.insertRows(*c.schema, {row(*c.schema, {{c.field, longText}})}));
    const auto rows = db.select(*c.schema, QString());
    ASSERT_TRUE(rows && rows->size() == 1);
    EXPECT_EQ(rows->front().value(c.field).toString(), QString(c.size, QChar(u'Ж')));
}

INSTANTIATE_TEST_SUITE_P(Fields, TextSizeTest,
                         ::testing::Values(TextCut{&tables::Poverki, "PovNum", 8},
                                           TextCut{&tables::BunchesTP, "ResultInp2", 3},
                                           TextCut{&tables::ResultsTP, "Operation", 10},
                                           TextCut{&tables::Documents, "Prichina", 510},
                                           TextCut{&tables::EtalSens, "Owner", 40}));

TEST_F(TableStoreTest, NineCharacterPovNumKeepsTheFirstEight)
{
    insertPoverka("123456789", clock.now());
    EXPECT_EQ(count("Poverki", "PovNum = '12345678'"), 1);
}

TEST_F(TableStoreTest, ValuesComeBackWithTheirTypes)
{
    const QDateTime started(QDate(2026, 12, 10), QTime(9, 15, 30, 250));
    ASSERT_TRUE(db.DBPoverkaInsert(row(tables::Poverki, {{"PovNum", "77"},
                                                         {"Started", started},
                                                         {"Methodic", 1},
                                                         {"InstabilityCheckNeeded", true},
                                                         {"EquipmentParams", "a\r\nb"}})));
    const auto rows = db.select(tables::Poverki, "");
    ASSERT_TRUE(rows && rows->size() == 1);
    const QVariantMap &r = rows->front();
    EXPECT_EQ(r.value("ID").toInt(), 2);
    EXPECT_EQ(r.value("Started").toDateTime(), started);
    EXPECT_FALSE(r.value("Finished").isValid());
    EXPECT_EQ(r.value("Methodic").toInt(), 1);
    EXPECT_EQ(r.value("InstabilityCheckNeeded").typeId(), QMetaType::Bool);
    EXPECT_TRUE(r.value("InstabilityCheckNeeded").toBool());
    EXPECT_FALSE(r.value("InstabLimit").isValid());
    EXPECT_EQ(r.value("EquipmentParams").toString(), "a\r\nb");
    if (!onServerStore()) {
        RawFile raw(home.data("Poverki.cds"));
        EXPECT_EQ(raw.strings("SELECT Started FROM Poverki"),
                  QStringList{"2026-12-10 09:15:30.250"});
        EXPECT_EQ(raw.scalar("SELECT InstabilityCheckNeeded FROM Poverki"), 1);
    }

    // The same fields as the file holds them.
    const auto stored =
        db.selectFields(tables::Poverki, {"Started", "Finished", "InstabilityCheckNeeded"}, "",
                        "ID", -1, 0, QString(), Database::ValueForm::AsStored);
    ASSERT_TRUE(stored && stored->size() == 1);
    EXPECT_EQ(stored->front(), QVariantList({"2026-12-10 09:15:30.250", QVariant(), 1}));
}

TEST(StoredDateAndTime, ReadsTheTextAsWritten)
{
    struct Case {
        const char *text;
        QDate date;
        QTime time;
    } cases[] = {
        {"2026-12-10 09:15:30.250", {2026, 12, 10}, {9, 15, 30, 250}},
        {"2026-03-29 02:30:00.000", {2026, 3, 29}, {2, 30}}, // a local hour some zones skip
        {"2026-12-10 09:15:30", {2026, 12, 10}, {9, 15, 30}},
        {"2026-12-10 09:15", {2026, 12, 10}, {9, 15}},
        {"2026-12-10", {2026, 12, 10}, {0, 0}},
        {"2026-02-30 09:15:30.250", {}, {}},
        {"10.12.2026 09:15:30", {}, {}},
        {"", {}, {}},
    };
    for (const Case &c : cases) {
        const auto [date, time] = storedDateAndTime(QString::fromLatin1(c.text));
        EXPECT_EQ(date, c.date) << c.text;
        if (c.date.isValid()) {
            EXPECT_EQ(time, c.time) << c.text;
        }
    }
}

TEST_F(TableStoreTest, ValueThatDoesNotFitStoresNothing)
{
    EXPECT_FALSE(db.DBPoverkaInsert(row(tables::Poverki, {{"Methodic", 70000}})));
    EXPECT_FALSE(db.DBSensorsInsert(row(tables::Sensors, {{"WDTHighLim", "abc"}})));
    // A field the table does not have, and a row made for another table.
    EXPECT_FALSE(
        db.DBSensorsInsert(TableRow(tables::Sensors, {{"SerialNum", "1"}, {"Serial", "1"}})));
    EXPECT_FALSE(db.DBSensorsInsert(TableRow(tables::EtalSens, {{"SerialNum", "1"}})));
    EXPECT_FALSE(db.insertRows(tables::Sensors, {TableRow(tables::Poverki)}));
    EXPECT_EQ(count("Poverki"), 0);
    EXPECT_EQ(count("Sensors"), 0);
    const QString cancelled = QString::fromUtf8(tables::Sensors.insertFailureText);
    EXPECT_EQ(dialogs.texts(), QStringList({QString::fromUtf8(tables::Poverki.insertFailureText),
                                            cancelled, cancelled, cancelled, cancelled}));
}

class BrokenFileTest : public DbFixture, public ::testing::WithParamInterface<const TableSchema *>
{
};

TEST_P(BrokenFileTest, FileThatIsNoTableFileOfItsKindFailsWithTheTableMessage)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const TableSchema &schema = *GetParam();
    const QString path = home.data(schema.fileName());
    const QString other = home.data(&schema == &tables::Sensors ? "EtalSens.cds" : "Sensors.cds");
    const QList<QByteArray> contents = {QByteArray("not a table file at all\n").repeated(200),
                                        fileBytes(other), QByteArray()};
    for (const QByteArray &content : contents) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(content);
        f.close();
        dialogs.clear();
        EXPECT_FALSE(db.select(schema, "").has_value());
        EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(schema.openFailureText)});
        EXPECT_EQ(fileBytes(path), content); // a broken file is left as it is
        EXPECT_TRUE(db.ensureTables());      // and start-up does not replace it
    }
}

INSTANTIATE_TEST_SUITE_P(Tables, BrokenFileTest, ::testing::ValuesIn(allTables()));

TEST_F(TableStoreTest, FileLockedByAnotherProcessCountsAsNotOpened)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const int p = insertPoverka("1", clock.now());
    sqlite::Connection::setBusyTimeoutMs(50);
    {
        RawFile other(home.data("Poverki.cds"));
        ASSERT_TRUE(other.conn.exec("BEGIN EXCLUSIVE"));
        const QString open = QString::fromUtf8(tables::Poverki.openFailureText);
        EXPECT_FALSE(db.DBPoverkaInsert(row(tables::Poverki, {{"PovNum", "2"}})));
        EXPECT_FALSE(db.DBPoverkaUpdateState(p, "x"));
        EXPECT_FALSE(db.DBDeletePoverka("ID = 2"));
        EXPECT_EQ(count("Poverki"), -1);
        EXPECT_EQ(
            dialogs.texts(),
            QStringList({QString::fromUtf8(tables::Poverki.insertFailureText), open, open, open}));
    }
    sqlite::Connection::setBusyTimeoutMs(3000);
    EXPECT_EQ(count("Poverki"), 1);
    EXPECT_TRUE(db.DBPoverkaUpdateState(p, "x"));
}

// A reference's edit and deletion read the bunches and verifications (is the
// reference in use elsewhere?) but change the register alone: another program
// writing bunches does not hold them up, and a commit flushes the register's
// file only.
TEST_F(TableStoreTest, ReferenceChangesLockTheRegisterFileOnly)
{
    KRONT_SKIP_ON_SERVER_STORE();
    ASSERT_TRUE(db.DBEtalSensInsert(row(tables::EtalSens, {{"SerialNum", "1"}})));
    const int edited = db.DBGetMaxID(tables::EtalSens, "");
    ASSERT_TRUE(db.DBEtalSensInsert(row(tables::EtalSens, {{"SerialNum", "2"}})));
    const int deleted = db.DBGetMaxID(tables::EtalSens, "");
    sqlite::Connection::setBusyTimeoutMs(50);
    {
        RawFile bunches(home.data("BunchesTP.cds"));
        ASSERT_TRUE(bunches.conn.exec("BEGIN IMMEDIATE"));
        EXPECT_TRUE(
            db.DBEtalSensUpdateAllByID(edited, row(tables::EtalSens, {{"SerialNum", "1a"}})));
        EXPECT_TRUE(db.DBDeleteEtalSens(deleted));
        EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join(' ').toStdString();
    }
    {
        RawFile references(home.data("EtalSens.cds"));
        ASSERT_TRUE(references.conn.exec("BEGIN IMMEDIATE"));
        EXPECT_FALSE(
            db.DBEtalSensUpdateAllByID(edited, row(tables::EtalSens, {{"SerialNum", "1b"}})));
        EXPECT_FALSE(db.DBDeleteEtalSens(edited));
        EXPECT_EQ(dialogs.shown.size(), 2u);
    }
    sqlite::Connection::setBusyTimeoutMs(3000);
    EXPECT_EQ(count("EtalSens"), 1);
    EXPECT_EQ(count("EtalSens", "SerialNum = '1a'"), 1);
}

// A write that fails once the table is open (here the file's own trigger refuses it) changes
// nothing and is reported at once, as a table that cannot be opened is.
TEST_F(TableStoreTest, WriteRefusedAfterTheTableOpenedShowsTheTableMessage)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const TableRow kept = row(tables::ResultsTP, {{"PoverkaID", 1}, {"Operation", "Measure"}});
    ASSERT_TRUE(db.insertRows(tables::ResultsTP, {kept}));
    {
        RawFile file(home.data("ResultsTP.cds"));
        ASSERT_TRUE(file.conn.exec("CREATE TRIGGER no_insert BEFORE INSERT ON \"ResultsTP\" "
                                   "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
        ASSERT_TRUE(file.conn.exec("CREATE TRIGGER no_delete BEFORE DELETE ON \"ResultsTP\" "
                                   "BEGIN SELECT RAISE(ABORT, 'refused'); END"));
    }
    dialogs.clear();
    EXPECT_FALSE(db.insertRows(tables::ResultsTP, {kept, kept}));
    EXPECT_FALSE(db.DBResultsTPInsert(kept));
    EXPECT_FALSE(db.DBDeleteResultsTPFilter("PoverkaID = 1"));
    const QString insert = QString::fromUtf8(tables::ResultsTP.insertFailureText);
    EXPECT_EQ(dialogs.texts(),
              QStringList({insert, insert, QString::fromUtf8(tables::ResultsTP.openFailureText)}));
    EXPECT_EQ(count("ResultsTP"), 1);
}

TEST_F(TableStoreTest, InsertIsInTheFileEvenWhenTheProcessIsKilledRightAfter)
{
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ScriptedDialogs d;
        Database own(d);
        own.DBPoverkaInsert(row(tables::Poverki, {{"PovNum", "killed"}}));
        ::kill(::getpid(), SIGKILL);
        _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status));
    EXPECT_EQ(count("Poverki", "PovNum = 'killed'"), 1);
    if (!onServerStore()) {
        EXPECT_FALSE(QFileInfo::exists(home.data("Poverki.cds-journal")));
    }
}

} // namespace
} // namespace kront::test
