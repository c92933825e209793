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
        ASSERT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
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

} // namespace
} // namespace kront::test
