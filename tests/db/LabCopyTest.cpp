// Moving a laboratory between the table files of a home and a database
// server: every row of every table comes back as it was, and a target that
// holds records is refused before anything is written. Needs a server:
// KRONT_TEST_PG holds the connection keywords of a role that may create
// databases; without it the tests skip.

#include "db/LabCopy.h"
#include "db/OpenTables.h"
#include "db/PgConnection.h"
#include "db/ServerTables.h"
#include "db/TableFile.h"
#include "tests/support/HostileTexts.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"
#include "tests/support/TestServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <climits>
#include <cmath>
#include <limits>

namespace kront::test
{
namespace
{

// Fresh databases on the tests' server, dropped when the object goes.
class ServerDatabases
{
public:
    static QString adminKeywords() { return qEnvironmentVariable("KRONT_TEST_PG"); }

    // A new empty database, dropped with this object, and the settings naming
    // it; nullopt with the server's reason.
    std::optional<StoreSettings> fresh(QString &error)
    {
        return server.freshServerDatabase(&error);
    }

private:
    TestServer server;
};

std::vector<const TableSchema *> everyTable()
{
    std::vector<const TableSchema *> all(allTables().begin(), allTables().end());
    all.insert(all.end(), addedTables().begin(), addedTables().end());
    return all;
}

const QString kRussian =
    QStringLiteral("Термоэлектрический преобразователь поверен в диапазоне от 300 до 1200 °C; "
                   "замечания по внешнему осмотру: «спай без следов окисления», изоляция цела. ");

const double kDoubles[] = {
    0.0,    -0.0, DBL_MAX,   -DBL_MAX, DBL_MIN,           std::numeric_limits<double>::denorm_min(),
    1e-300, 0.1,  1.0 / 3.0, -273.15,  41.27634999999999, std::nextafter(1.0, 2.0)};

// The value the generated home gives field `col` of row r: nulls, the ends
// of each type's range, long Russian texts and hostile ones, date-times with
// milliseconds.
QVariant generatedValue(const FieldDef &f, int r, int col)
{
    if ((r + col) % 7 == 3)
        return {};
    const int k = r + col;
    switch (f.type) {
    case FieldType::AutoInc: return 2 + 3 * r; // gaps: deleted rows
    case FieldType::Integer: {
        const int values[] = {0, 1, -1, INT_MAX, INT_MIN, 37 * r};
        return values[k % 6];
    }
    case FieldType::SmallInt: {
        const int values[] = {0, 32767, -32768, r % 100};
        return values[k % 4];
    }
    case FieldType::Float: return kDoubles[k % std::size(kDoubles)];
    case FieldType::Boolean: return k % 2 == 0;
    case FieldType::DateTime:
        return QDateTime(QDate(2006, 1, 1).addDays(13 * r),
                         QTime(0, 0).addMSecs(int((qint64(r) * 7919237 + col) % 86400000)));
    case FieldType::Text: {
        const QStringList hostile = hostileTexts();
        return k % 3 == 0 ? hostile[k % hostile.size()] : kRussian.mid(k % 40);
    }
    case FieldType::Memo: return kRussian.repeated(1 + k % 60) + hostileTexts()[k % 18];
    }
    return {};
}

constexpr int kRowsPerTable = 300;

// Every table of the home at AppHome gets its rows, IDs as generated.
void fillHome(Database &db)
{
    ASSERT_TRUE(db.ensureTables());
    for (const TableSchema *table : everyTable()) {
        std::vector<TableRow> rows;
        for (int r = 0; r < kRowsPerTable; ++r) {
            TableRow row(*table);
            for (int c = 0; c < table->fieldCount(); ++c)
                row.set(QLatin1String(table->fields[c].name),
                        generatedValue(table->fields[c], r, c));
            rows.push_back(std::move(row));
        }
        ASSERT_TRUE(db.importRows(*table, rows)) << table->name;
    }
}

using Tables = std::map<QString, std::vector<QVariantMap>>;

// Every row of every table as the program reads it, in table order.
Tables readAll(Database &db)
{
    Tables out;
    for (const TableSchema *table : everyTable()) {
        auto rows = db.select(*table, QString(), QStringLiteral("ID"));
        EXPECT_TRUE(rows) << table->name;
        out[table->tableName()] = rows ? *rows : std::vector<QVariantMap>{};
    }
    return out;
}

// Equal values of the same type; doubles equal to the bit.
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.isValid() != b.isValid() || a.typeId() != b.typeId())
        return false;
    if (a.typeId() == QMetaType::Double)
        return std::bit_cast<quint64>(a.toDouble()) == std::bit_cast<quint64>(b.toDouble());
    return a == b;
}

QString shown(const QVariant &v)
{
    return v.isValid()
               ? QStringLiteral("%1 (%2)").arg(v.toString(), QString::fromLatin1(v.typeName()))
               : QStringLiteral("null");
}

// The first difference of each table.
void expectSameTables(const Tables &expected, const Tables &actual, const char *where)
{
    for (const auto &[name, rows] : expected) {
        const auto &got = actual.at(name);
        ASSERT_EQ(got.size(), rows.size()) << where << ": " << name.toStdString();
        for (size_t r = 0; r < rows.size(); ++r) {
            for (auto it = rows[r].begin(); it != rows[r].end(); ++it) {
                const QVariant other = got[r].value(it.key());
                if (!sameValue(it.value(), other)) {
                    ADD_FAILURE() << where << ": " << name.toStdString() << " row " << r << " "
                                  << it.key().toStdString() << ": "
                                  << shown(it.value()).toStdString() << " became "
                                  << shown(other).toStdString();
                    return;
                }
            }
        }
    }
}

std::unique_ptr<ServerTables> connected(const StoreSettings &settings)
{
    auto server = std::make_unique<ServerTables>(settings);
    QString reason;
    EXPECT_TRUE(server->connect(&reason)) << reason.toStdString();
    return server;
}

class LabCopyTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        if (ServerDatabases::adminKeywords().isEmpty())
            GTEST_SKIP() << "KRONT_TEST_PG is not set";
    }

    StoreSettings freshDatabase()
    {
        QString error;
        auto settings = databases.fresh(error);
        EXPECT_TRUE(settings) << error.toStdString();
        return settings.value_or(StoreSettings{});
    }

    // Copies with small batches, so that every table crosses several (and a
    // batch of a wide table takes several statements).
    bool copy(Database &from, Database &to, std::map<QString, qint64> *counts = nullptr)
    {
        LabCopy lab(from, to, dialogs);
        lab.batchRows = 128;
        lab.tableCopied = [&](const TableSchema &t, qint64 rows) {
            if (counts)
                (*counts)[t.tableName()] = rows;
        };
        return lab.run();
    }

    ServerDatabases databases;
    ScriptedDialogs dialogs;
};

TEST_F(LabCopyTest, HomeToServerAndBackKeepsEveryRowOfEveryTable)
{
    TempHome source;
    Database home(dialogs, std::make_unique<OpenTables>());
    fillHome(home);
    const Tables original = readAll(home);

    const StoreSettings settings = freshDatabase();
    Database server(dialogs, connected(settings));
    std::map<QString, qint64> counts;
    ASSERT_TRUE(copy(home, server, &counts)) << dialogs.texts().join(u'\n').toStdString();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join(u'\n').toStdString();
    for (const TableSchema *table : everyTable())
        EXPECT_EQ(counts[table->tableName()], kRowsPerTable) << table->name;
    expectSameTables(original, readAll(server), "on the server");

    TempHome back;
    Database copied(dialogs, std::make_unique<OpenTables>());
    ASSERT_TRUE(copy(server, copied)) << dialogs.texts().join(u'\n').toStdString();
    expectSameTables(original, readAll(copied), "back in a home");

    // Each store goes on numbering after the largest ID it received.
    for (Database *db : {&server, &copied}) {
        const int before = db->DBGetMaxID(tables::Poverki, QString());
        ASSERT_TRUE(db->DBPoverkaInsert(TableRow(tables::Poverki, {{"PovNum", "новая"}})));
        EXPECT_GT(db->DBGetMaxID(tables::Poverki, QString()), before);
    }
}

TEST_F(LabCopyTest, TableFileTheHomeLacksIsCopiedAsAnEmptyTable)
{
    TempHome source;
    Database home(dialogs, std::make_unique<OpenTables>());
    ASSERT_TRUE(home.ensureTables());
    ASSERT_TRUE(home.DBPoverkaInsert(TableRow(tables::Poverki, {{"PovNum", "1"}})));
    // A home of an older program: the added tables are not there.
    for (const TableSchema *table : addedTables())
        ASSERT_TRUE(QFile::remove(tableFilePath(*table)));

    Database server(dialogs, connected(freshDatabase()));
    std::map<QString, qint64> counts;
    ASSERT_TRUE(copy(home, server, &counts)) << dialogs.texts().join(u'\n').toStdString();
    EXPECT_EQ(counts[QStringLiteral("Poverki")], 1);
    for (const TableSchema *table : addedTables()) {
        EXPECT_EQ(counts[table->tableName()], 0) << table->name;
        EXPECT_EQ(server.countRows(*table, QString(), -1), 0) << table->name;
        EXPECT_FALSE(QFile::exists(tableFilePath(*table))) << "the source is not changed";
    }
}

// A target holding one row in a single table of its own is refused, with no
// other table made there, in both directions.
TEST_F(LabCopyTest, TargetHoldingAnyRowIsRefusedBeforeAnythingIsWritten)
{
    struct Case {
        bool toServer;
        const TableSchema *occupied;
    };
    const Case cases[] = {{true, &tables::Poverki},
                          {true, &tables::RegistryExports},
                          {false, &tables::ResultsTP},
                          {false, &tables::Means}};
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.toServer ? "to the server, " : "to a home, ") +
                     c.occupied->name);
        dialogs.clear();
        TempHome home;
        const StoreSettings settings = freshDatabase();
        Database server(dialogs, connected(settings));
        Database files(dialogs, std::make_unique<OpenTables>());
        Database &from = c.toServer ? files : server;
        Database &to = c.toServer ? server : files;
        ASSERT_TRUE(from.ensureTables());
        ASSERT_TRUE(from.DBPoverkaInsert(TableRow(tables::Poverki, {{"PovNum", "1"}})));
        // Only the occupied table exists in the target, with its one row.
        if (!c.toServer) {
            for (const TableSchema *table : everyTable())
                QFile::remove(tableFilePath(*table));
        }
        ASSERT_EQ(to.store().createMissingTables({c.occupied}), nullptr);
        TableRow row(*c.occupied);
        row.set(QLatin1String(c.occupied->fields[1].name),
                generatedValue(c.occupied->fields[1], 0, 1));
        ASSERT_TRUE(to.insertRows(*c.occupied, {row}));

        EXPECT_FALSE(copy(from, to));
        const QString expected =
            c.toServer ? QStringLiteral("На сервере %1 уже есть записи (таблица %2): перенос "
                                        "делается только в пустое хранилище.")
                             .arg(settings.serverName(), c.occupied->tableName())
                       : QStringLiteral("В папке %1 уже есть записи (таблица %2): перенос "
                                        "делается только в пустое хранилище.")
                             .arg(home.path(), c.occupied->tableName());
        EXPECT_EQ(dialogs.texts(), QStringList{expected});
        EXPECT_EQ(to.countRows(*c.occupied, QString(), -1), 1);
        for (const TableSchema *table : everyTable()) {
            if (table == c.occupied)
                continue;
            if (c.toServer) {
                sql::Statement st(static_cast<ServerTables &>(to.store()).connection(),
                                  QStringLiteral("SELECT to_regclass(?1) IS NULL"));
                st.bind(1, table->tableName().toLower());
                ASSERT_TRUE(st.step());
                EXPECT_EQ(st.integer(0), 1) << table->name << " was made on the server";
            } else {
                EXPECT_FALSE(QFile::exists(tableFilePath(*table))) << table->name << " was made";
            }
        }
    }
}

// A row the target cannot take (text in a number column of an old file)
// stops the copy: the rows already written stay, and the message says so
// and how to start again.
TEST_F(LabCopyTest, CopyStoppedPartWayTellsWhatIsLeftAndHowToRetry)
{
    TempHome source;
    Database home(dialogs, std::make_unique<OpenTables>());
    ASSERT_TRUE(home.ensureTables());
    ASSERT_TRUE(home.DBPoverkaInsert(TableRow(tables::Poverki, {{"PovNum", "1"}})));
    {
        sqlite::Connection file;
        ASSERT_TRUE(file.openExisting(tableFilePath(tables::Sensors)));
        ASSERT_TRUE(file.exec(QStringLiteral(
            "INSERT INTO \"Sensors\" (\"SerialNum\", \"ProdYear\") VALUES ('7', 'не число')")));
    }
    const StoreSettings settings = freshDatabase();
    Database server(dialogs, connected(settings));
    EXPECT_FALSE(copy(home, server));
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Перенос прерван на таблице Sensors: записи, перенесённые до этого, "
                             "остались в %1. Чтобы повторить перенос, удалите базу данных %1 на "
                             "сервере, создайте её заново пустой и запустите перенос снова.")
                  .arg(settings.serverName()));
    EXPECT_EQ(server.countRows(tables::Poverki, QString(), -1), 1);
    EXPECT_EQ(server.countRows(tables::Sensors, QString(), -1), 0);
}

struct CliRun {
    int status = -1;
    QString out, err;
};

CliRun storeCommand(const QStringList &args)
{
    const QString exe = QCoreApplication::applicationDirPath() + "/../bin/kront-cli";
    CliRun r;
    if (!QFileInfo(exe).isExecutable()) {
        ADD_FAILURE() << "kront-cli is not built: " << exe.toStdString();
        return r;
    }
    QProcess p;
    p.start(exe, QStringList{QStringLiteral("store")} + args);
    EXPECT_TRUE(p.waitForFinished(120000));
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

QString serverUrl(const StoreSettings &s)
{
    return QStringLiteral("postgresql://%1@%2:%3/%4")
        .arg(s.user, s.host)
        .arg(s.port)
        .arg(s.database);
}

// Command lines that cannot be carried out end with a message before any
// store is opened or changed.
TEST(StoreCopyCommand, WrongCommandLinesChangeNothing)
{
    TempHome home;
    const QString empty = home.path() + QStringLiteral("/empty");
    const QString other = home.path() + QStringLiteral("/other");
    const QString url = QStringLiteral("postgresql://kront@127.0.0.1:1/none");
    const struct {
        QStringList args;
        int status;
        const char *message;
    } cases[] = {
        {{"copy"}, 2, "Использование"},
        {{"copy", "--from", home.path()}, 2, "Использование"},
        {{"move", "--from", home.path(), "--to", url}, 2, "Использование"},
        {{"copy", "--from", home.path(), "--from", url}, 2, "Использование"},
        {{"copy", "--from", home.path(), "--to", other}, 2, "Обе стороны переноса — папки"},
        {{"copy", "--from", home.path(), "--to", "postgresql://kront@/db"},
         1,
         "Неверный адрес сервера"},
        {{"copy", "--from", empty, "--to", url}, 1, "нет папки Data"},
        {{"copy", "--from", url, "--to", other}, 1, "Не удалось подключиться к серверу"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CliRun r = storeCommand(c.args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_TRUE(r.err.contains(QString::fromUtf8(c.message))) << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
        EXPECT_FALSE(QFileInfo::exists(other));
    }
}

TEST_F(LabCopyTest, CommandCopiesAHomeToTheServerAndBackPrintingTheCounts)
{
    TempHome source;
    Database home(dialogs, std::make_unique<OpenTables>());
    ASSERT_TRUE(home.ensureTables());
    for (const char *number : {"1", "2", "3"})
        ASSERT_TRUE(home.DBPoverkaInsert(TableRow(tables::Poverki, {{"PovNum", number}})));
    ASSERT_TRUE(home.DBSensorsInsert(TableRow(tables::Sensors, {{"SerialNum", "77"}})));
    const Tables original = readAll(home);
    const QString url = serverUrl(freshDatabase());

    QString expected;
    for (const TableSchema *table : everyTable())
        expected += QStringLiteral("%1: %2\n")
                        .arg(table->tableName())
                        .arg(table == &tables::Poverki   ? 3
                             : table == &tables::Sensors ? 1
                                                         : 0);
    expected += QStringLiteral("Всего: 4\n");
    const CliRun there = storeCommand({"copy", "--from", source.path(), "--to", url});
    EXPECT_EQ(there.status, 0) << there.err.toStdString();
    EXPECT_EQ(there.out, expected);

    TempHome back;
    const QString folder = back.path() + QStringLiteral("/new");
    const CliRun home2 = storeCommand({"copy", "--from", url, "--to", folder});
    EXPECT_EQ(home2.status, 0) << home2.err.toStdString();
    EXPECT_EQ(home2.out, expected);
    AppHome::set(folder);
    Database copied(dialogs, std::make_unique<OpenTables>());
    expectSameTables(original, readAll(copied), "copied back by the command");

    // Once more into the same folder: refused, exit status 1.
    const CliRun again = storeCommand({"copy", "--from", url, "--to", folder});
    EXPECT_EQ(again.status, 1);
    EXPECT_TRUE(again.err.contains(QStringLiteral("уже есть записи (таблица Poverki)")))
        << again.err.toStdString();
}

} // namespace
} // namespace kront::test
