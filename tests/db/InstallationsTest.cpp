// Several installations on the same tables: every verification carries the
// installation that started it, the references of another installation's
// running verification are kept from changes in the transaction of the
// change, and document numbers come from the server's counters.
#include "db/Database.h"
#include "tests/support/TwoInstallations.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSet>

namespace kront::test
{
namespace
{

const QString kRunning = QStringLiteral("MainCycle;0;1;3;");

class Installations : public TwoInstallations
{
protected:
    // A reference thermocouple; its ID.
    int reference(Database &db, const QString &serial)
    {
        EXPECT_TRUE(db.DBEtalSensInsert(TableRow(tables::EtalSens, {{"SerialNum", serial},
                                                                    {"ProdYear", 2019},
                                                                    {"TypeName", "ППО"},
                                                                    {"NSHType", "S"},
                                                                    {"Temp1", 300.0},
                                                                    {"EMF1", 2.32}})));
        return db.lastInsertedID();
    }

    // The reference serves in the verification's channel 1.
    static void useIn(Database &db, int poverkaID, int etalID)
    {
        EXPECT_TRUE(db.DBBunchesTPInsert(
            TableRow(tables::BunchesTP,
                     {{"PoverkaID", poverkaID}, {"ChannelNum", 1}, {"EtalSensorID", etalID}})));
    }

    static QString serialOf(Database &db, int etalID)
    {
        const auto rows = db.select(tables::EtalSens, QStringLiteral("ID = %1").arg(etalID));
        return rows && rows->size() == 1 ? rows->front().value("SerialNum").toString()
                                         : QStringLiteral("<none>");
    }

    static TableRow renamed(const QString &serial)
    {
        return TableRow(
            tables::EtalSens,
            {{"SerialNum", serial}, {"ProdYear", 2019}, {"TypeName", "ППО"}, {"NSHType", "S"}});
    }
};

TEST_P(Installations, AStartedVerificationNamesItsInstallationAndGetsItsOwnID)
{
    const int old = startUnmarked(*first, QStringLiteral("7"));
    const int mine = start(*first, QStringLiteral("7"));
    const int theirs = start(*second, QStringLiteral("7"));
    ASSERT_GT(old, 0);
    ASSERT_GT(mine, old);
    ASSERT_GT(theirs, mine);
    // The ID given back is the row's own, though the other installation
    // inserted a row of the same number after it.
    EXPECT_EQ(first->lastInsertedID(), mine);
    EXPECT_EQ(second->lastInsertedID(), theirs);
    const auto owners = first->installationsOf({old, mine, theirs});
    ASSERT_TRUE(owners.has_value());
    const std::map<int, QString> expected{{mine, QStringLiteral("Стенд-1")},
                                          {theirs, QStringLiteral("Стенд-2")}};
    EXPECT_EQ(*owners, expected);
    EXPECT_EQ(first->DBGetRecordsCount(tables::Poverki, QStringLiteral("PovNum = '7'")), 3);
    EXPECT_TRUE(firstDialogs.shown.empty());
}

TEST_P(Installations, ARowOfAnotherTableIsNotStartedAndLeavesNoMark)
{
    EXPECT_EQ(first->startVerification(TableRow(tables::Sensors, {{"SerialNum", "1"}})), 0);
    EXPECT_EQ(firstDialogs.last().text,
              QStringLiteral("Не удалось открыть базу данных поверок! Операция отменена."));
    EXPECT_EQ(first->DBGetRecordsCount(tables::Poverki, QString()), 0);
    EXPECT_EQ(first->countRows(tables::Installations, QString(), -1), 0);
}

TEST_P(Installations, DeletingVerificationsDeletesTheirMarks)
{
    const int a = start(*first, QStringLiteral("1"));
    const int b = start(*first, QStringLiteral("2"));
    const int c = start(*second, QStringLiteral("3"));
    ASSERT_TRUE(first->DBDeletePoverka(QStringLiteral("PovNum = '1'")));
    ASSERT_TRUE(first->DBDeletePartialData(b));
    const auto owners = first->installationsOf({a, b, c});
    ASSERT_TRUE(owners.has_value());
    EXPECT_EQ(*owners, (std::map<int, QString>{{c, QStringLiteral("Стенд-2")}}));
    EXPECT_EQ(first->countRows(tables::Installations, QString(), -1), 1);
}

// Who may change a reference that serves in a verification.
struct ReferenceCase {
    const char *name;
    enum Owner { First, Second, Nobody } owner; // who started the verification
    const char *state;
    bool finished;
    bool refusedToFirst;
};

const ReferenceCase kReferenceCases[] = {
    {"another installation's running verification", ReferenceCase::Second, "MainCycle;0;1;3;",
     false, true},
    {"another installation's at the start", ReferenceCase::Second, "Initiation;0;0;1;", false,
     true},
    {"another installation's finished verification", ReferenceCase::Second, "MainCycle;0;1;3;",
     true, false},
    {"another installation's at a completed calculation", ReferenceCase::Second,
     "Calculation;0;1;1;", false, false},
    {"its own running verification", ReferenceCase::First, "MainCycle;0;1;3;", false, false},
    {"a running verification of no installation", ReferenceCase::Nobody, "MainCycle;0;1;3;", false,
     false},
};

TEST_P(Installations, AReferenceInAnotherInstallationsRunningVerificationCannotBeChanged)
{
    int n = 0;
    for (const ReferenceCase &c : kReferenceCases) {
        SCOPED_TRACE(c.name);
        const QString serial = QStringLiteral("R-%1").arg(++n);
        const int etal = reference(*first, serial);
        Database &owner = c.owner == ReferenceCase::First ? *first : *second;
        const QString state = QString::fromLatin1(c.state);
        const int pov = c.owner == ReferenceCase::Nobody
                            ? startUnmarked(owner, QStringLiteral("P%1").arg(n), state)
                            : start(owner, QStringLiteral("P%1").arg(n), state);
        ASSERT_GT(pov, 0);
        useIn(owner, pov, etal);
        if (c.finished) {
            ASSERT_TRUE(owner.DBPoverkaSetFinished(pov, nullptr));
        }
        firstDialogs.clear();

        const bool updated = first->DBEtalSensUpdateAllByID(etal, renamed(serial + u'x'));
        EXPECT_EQ(updated, !c.refusedToFirst);
        if (c.refusedToFirst) {
            const QString refusal =
                QStringLiteral("Образцовый преобразователь № %1 используется в незавершённой "
                               "поверке № %2 на установке «Стенд-2». Изменить его можно после "
                               "завершения этой поверки.")
                    .arg(serial)
                    .arg(pov);
            ASSERT_EQ(firstDialogs.shown.size(), 1u);
            EXPECT_EQ(firstDialogs.last().text, refusal);
            EXPECT_EQ(serialOf(*first, etal), serial);
            EXPECT_FALSE(first->DBDeleteEtalSens(etal));
            EXPECT_EQ(firstDialogs.last().text, refusal);
            EXPECT_EQ(serialOf(*first, etal), serial);
            // The installation running the verification may still correct it.
            EXPECT_TRUE(second->DBEtalSensUpdateAllByID(etal, renamed(serial + u'y')));
            EXPECT_EQ(serialOf(*first, etal), serial + u'y');
        } else {
            EXPECT_TRUE(firstDialogs.shown.empty());
            EXPECT_EQ(serialOf(*first, etal), serial + u'x');
            EXPECT_TRUE(first->DBDeleteEtalSens(etal));
            EXPECT_EQ(serialOf(*first, etal), QStringLiteral("<none>"));
        }
    }
}

// The other installation's name may sort before this one's or after it.
TEST_P(Installations, AReferenceIsRefusedWhicheverInstallationsNameSortsFirst)
{
    const int etal = reference(*first, QStringLiteral("R-S"));
    const int pov = start(*first, QStringLiteral("PS"), QStringLiteral("MainCycle;0;1;3;"));
    ASSERT_GT(pov, 0);
    useIn(*first, pov, etal);
    EXPECT_FALSE(second->DBEtalSensUpdateAllByID(etal, renamed(QStringLiteral("R-Sx"))));
    EXPECT_FALSE(second->DBDeleteEtalSens(etal));
    ASSERT_EQ(secondDialogs.shown.size(), 2u);
    EXPECT_TRUE(secondDialogs.last().text.contains(QStringLiteral("на установке «Стенд-1»")));
    EXPECT_EQ(serialOf(*first, etal), QStringLiteral("R-S"));
}

INSTANTIATE_TEST_SUITE_P(Stores, Installations,
                         ::testing::Values(SharedStore::Embedded, SharedStore::Server),
                         sharedStoreName);

// --- Document numbers on the server -------------------------------------------

class DocumentCounters : public TwoInstallations
{
};

TEST_P(DocumentCounters, EachNumberIsGivenOnceAndANewCounterContinuesTheSettings)
{
    const QString svid = QStringLiteral("SvidNextNum");
    EXPECT_EQ(first->takeDocumentNumber(svid, 41), 41);
    EXPECT_EQ(second->takeDocumentNumber(svid, 1), 42); // the server's counter, not the settings
    EXPECT_EQ(first->takeDocumentNumber(svid, 41), 43);
    // A counter of its own for notices.
    EXPECT_EQ(second->takeDocumentNumber(QStringLiteral("IzvNextNum"), 7), 7);
    // A number typed by hand moves the counter past it; a smaller one does not
    // take it back.
    EXPECT_TRUE(first->documentNumberUsed(svid, 100));
    EXPECT_TRUE(second->documentNumberUsed(svid, 50));
    EXPECT_EQ(second->takeDocumentNumber(svid, 1), 101);
    EXPECT_EQ(first->takeDocumentNumber(QStringLiteral("IzvNextNum"), 7), 8);
    EXPECT_TRUE(firstDialogs.shown.empty());
    EXPECT_TRUE(secondDialogs.shown.empty());
}

TEST_P(DocumentCounters, AnExhaustedCounterGivesNoNumber)
{
    EXPECT_EQ(first->takeDocumentNumber(QStringLiteral("SvidNextNum"), 2147483646), 2147483646);
    EXPECT_EQ(first->takeDocumentNumber(QStringLiteral("SvidNextNum"), 1), std::nullopt);
    ASSERT_EQ(firstDialogs.shown.size(), 1u);
    EXPECT_TRUE(firstDialogs.last().text.startsWith(
        QStringLiteral("Счётчик номеров документов «SvidNextNum» на сервере исчерпан")));
}

// Two programs take 200 numbers each from one counter at the same time: each
// number is given once.
TEST_P(DocumentCounters, TwoProcessesAtOnceNeverGetTheSameNumber)
{
    constexpr int kEach = 200;
    std::vector<std::unique_ptr<QProcess>> workers;
    for (const char *installation : {"Стенд-1", "Стенд-2"}) {
        auto p = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KRONT_TEST_NUMBERS_DB"), server->database());
        env.insert(QStringLiteral("KRONT_TEST_NUMBERS_INSTALLATION"),
                   QString::fromUtf8(installation));
        env.insert(QStringLiteral("KRONT_TEST_NUMBERS_COUNT"), QString::number(kEach));
        p->setProcessEnvironment(env);
        p->start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--gtest_filter=DocumentNumberWorker.TakesNumbers")});
        workers.push_back(std::move(p));
    }
    QSet<int> numbers;
    int taken = 0;
    for (auto &p : workers) {
        ASSERT_TRUE(p->waitForFinished(120000));
        ASSERT_EQ(p->exitCode(), 0)
            << p->readAllStandardOutput().toStdString() << p->readAllStandardError().toStdString();
        for (const QByteArray &line : p->readAllStandardOutput().split('\n')) {
            if (!line.startsWith("number "))
                continue;
            numbers.insert(line.mid(7).toInt());
            ++taken;
        }
    }
    EXPECT_EQ(taken, 2 * kEach);
    EXPECT_EQ(numbers.size(), 2 * kEach);
    EXPECT_EQ(*std::min_element(numbers.begin(), numbers.end()), 1);
    EXPECT_EQ(*std::max_element(numbers.begin(), numbers.end()), 2 * kEach);
}

// The counters are the server's: on the table files there is none (the
// numbers stay in the settings file there).
INSTANTIATE_TEST_SUITE_P(Stores, DocumentCounters, ::testing::Values(SharedStore::Server),
                         sharedStoreName);

// The other side of TwoProcessesAtOnceNeverGetTheSameNumber: run by it in a
// process of its own, it prints each number it takes.
TEST(DocumentNumberWorker, TakesNumbers)
{
    const QString database = qEnvironmentVariable("KRONT_TEST_NUMBERS_DB");
    if (database.isEmpty())
        GTEST_SKIP() << "started by the document counters test only";
    TempHome home;
    ScriptedDialogs dialogs;
    Database db(dialogs, std::make_unique<ServerTables>(serverStoreSettings(database)));
    db.setInstallation(qEnvironmentVariable("KRONT_TEST_NUMBERS_INSTALLATION"));
    const int count = qEnvironmentVariableIntValue("KRONT_TEST_NUMBERS_COUNT");
    for (int i = 0; i < count; ++i) {
        const std::optional<int> n = db.takeDocumentNumber(QStringLiteral("SvidNextNum"), 1);
        ASSERT_TRUE(n.has_value()) << dialogs.texts().join(u'\n').toStdString();
        std::printf("number %d\n", *n);
    }
    std::fflush(stdout);
}

// --- Two installations verifying at once -------------------------------------

constexpr int kVerificationsEach = 10;
constexpr int kPointsEach = 4;

// Starts a worker process of this program: the installation `letter` runs
// its verifications on the database.
std::unique_ptr<QProcess> startWorker(const QString &filter, const QString &database,
                                      const QString &letter, int etalID)
{
    auto p = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KRONT_TEST_SHARED_DB"), database);
    env.insert(QStringLiteral("KRONT_TEST_SHARED_LETTER"), letter);
    env.insert(QStringLiteral("KRONT_TEST_SHARED_REFERENCE"), QString::number(etalID));
    p->setProcessEnvironment(env);
    p->start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=") + filter});
    return p;
}

// Two installations verify at the same time with one reference: every row
// written is found under its own verification, and the numbers of their
// documents differ.
class SharedServer : public TwoInstallations
{
};

TEST_P(SharedServer, TwoInstallationsVerifyingAtOnceKeepTheirRowsApart)
{
    const int etal = [&] {
        EXPECT_TRUE(first->DBEtalSensInsert(
            TableRow(tables::EtalSens, {{"SerialNum", "ЭТ-1"}, {"TypeName", "ППО"}})));
        return first->lastInsertedID();
    }();
    std::vector<std::unique_ptr<QProcess>> workers;
    for (const char *letter : {"A", "B"})
        workers.push_back(startWorker(QStringLiteral("SharedServerWorker.Verifies"),
                                      server->database(), QString::fromLatin1(letter), etal));
    QSet<int> documents;
    for (auto &p : workers) {
        ASSERT_TRUE(p->waitForFinished(300000));
        ASSERT_EQ(p->exitCode(), 0)
            << p->readAllStandardOutput().toStdString() << p->readAllStandardError().toStdString();
        for (const QByteArray &line : p->readAllStandardOutput().split('\n'))
            if (line.startsWith("document "))
                documents.insert(line.mid(9).toInt());
    }
    EXPECT_EQ(documents.size(), 2 * kVerificationsEach);

    const auto poverki = first->select(tables::Poverki, QString());
    ASSERT_TRUE(poverki.has_value());
    ASSERT_EQ(poverki->size(), std::size_t(2 * kVerificationsEach));
    std::vector<int> ids;
    for (const QVariantMap &p : *poverki)
        ids.push_back(p.value("ID").toInt());
    const auto owners = first->installationsOf(ids);
    ASSERT_TRUE(owners.has_value());
    for (const QVariantMap &p : *poverki) {
        const int id = p.value("ID").toInt();
        const QString number = p.value("PovNum").toString();
        SCOPED_TRACE(number.toStdString());
        EXPECT_EQ(owners->at(id), QStringLiteral("Стенд-") + number.left(1));
        EXPECT_FALSE(p.value("Finished").isNull());
        const auto bunches =
            first->select(tables::BunchesTP, QStringLiteral("PoverkaID = %1").arg(id));
        ASSERT_TRUE(bunches.has_value());
        ASSERT_EQ(bunches->size(), 2u);
        for (const QVariantMap &b : *bunches) {
            const int channel = b.value("ChannelNum").toInt();
            EXPECT_EQ(b.value("EtalSensorID").toInt(), etal);
            for (int input : {1, 2}) {
                const auto sensor =
                    first->select(tables::Sensors,
                                  QStringLiteral("ID = %1").arg(
                                      b.value(QStringLiteral("PovSensorID%1").arg(input)).toInt()));
                ASSERT_TRUE(sensor && sensor->size() == 1);
                EXPECT_EQ(sensor->front().value("SerialNum").toString(),
                          QStringLiteral("%1-%2-%3").arg(number).arg(channel).arg(input));
            }
            EXPECT_EQ(first->DBGetRecordsCount(tables::ResultsTP,
                                               QStringLiteral("BunchID = %1 and PoverkaID = %2")
                                                   .arg(b.value("ID").toInt())
                                                   .arg(id)),
                      kPointsEach);
        }
        EXPECT_EQ(
            first->DBGetRecordsCount(tables::ResultsTP, QStringLiteral("PoverkaID = %1").arg(id)),
            2 * kPointsEach);
    }
    EXPECT_EQ(first->DBGetRecordsCount(tables::ResultsTP, QString()),
              2 * kVerificationsEach * 2 * kPointsEach);
}

INSTANTIATE_TEST_SUITE_P(Stores, SharedServer, ::testing::Values(SharedStore::Server),
                         sharedStoreName);

// The other side of TwoInstallationsVerifyingAtOnceKeepTheirRowsApart: one
// installation's verifications, each with two bunches of two sensors on the
// shared reference, their readings, a document and the finish.
TEST(SharedServerWorker, Verifies)
{
    const QString database = qEnvironmentVariable("KRONT_TEST_SHARED_DB");
    if (database.isEmpty())
        GTEST_SKIP() << "started by the test of two installations verifying at once";
    const QString letter = qEnvironmentVariable("KRONT_TEST_SHARED_LETTER");
    const int etal = qEnvironmentVariableIntValue("KRONT_TEST_SHARED_REFERENCE");
    TempHome home;
    ScriptedDialogs dialogs;
    Database db(dialogs, std::make_unique<ServerTables>(serverStoreSettings(database)));
    db.setInstallation(QStringLiteral("Стенд-") + letter);
    for (int v = 1; v <= kVerificationsEach; ++v) {
        const QString number = letter + QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0'));
        const int id = db.startVerification(
            TableRow(tables::Poverki, {{"PovNum", number},
                                       {"Started", QDateTime::currentDateTime()},
                                       {"CurrPovState", "MainCycle;0;1;4;"}}));
        ASSERT_GT(id, 0) << dialogs.texts().join(u'\n').toStdString();
        for (int channel : {1, 2}) {
            TableRow bunch(tables::BunchesTP,
                           {{"PoverkaID", id}, {"ChannelNum", channel}, {"EtalSensorID", etal}});
            for (int input : {1, 2}) {
                ASSERT_TRUE(db.DBSensorsInsert(TableRow(
                    tables::Sensors,
                    {{"SerialNum", QStringLiteral("%1-%2-%3").arg(number).arg(channel).arg(input)},
                     {"TypeName", "ТХА"}})));
                bunch.set(QStringLiteral("PovSensorID%1").arg(input), db.lastInsertedID());
            }
            ASSERT_TRUE(db.DBBunchesTPInsert(bunch));
            const int bunchID = db.lastInsertedID();
            for (int point = 1; point <= kPointsEach; ++point)
                ASSERT_TRUE(
                    db.DBResultsTPInsert(TableRow(tables::ResultsTP, {{"PoverkaID", id},
                                                                      {"BunchID", bunchID},
                                                                      {"Stage", "MainCycle"},
                                                                      {"MeasPointNum", point}})));
        }
        const std::optional<int> document = db.takeDocumentNumber(QStringLiteral("SvidNextNum"), 1);
        ASSERT_TRUE(document.has_value());
        std::printf("document %d\n", *document);
        ASSERT_TRUE(db.DBPoverkaSetFinished(id, nullptr));
    }
    std::fflush(stdout);
}

} // namespace
} // namespace kront::test
