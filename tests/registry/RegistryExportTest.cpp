// The registry export from the stored verifications: one result per verified thermocouple, the
// refusals with their reasons, the file checked against the program's schema, the split into
// parts and the log of what was exported.

#include "registry/RegistryExport.h"
#include "registry/ExportCandidates.h"
#include "registry/RegistryData.h"
#include "registry/RegistryLimits.h"
#include "registry/RegistryXml.h"
#include "tests/db/DbFixture.h"
#include "tests/registry/XsdCheck.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QXmlStreamReader>

namespace kront::test
{
namespace
{

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The texts of the elements with this local name, in document order.
QStringList elementTexts(const QByteArray &xml, const QString &name)
{
    QXmlStreamReader r(xml);
    QStringList out;
    while (r.readNextStartElement() || !r.atEnd()) {
        if (r.isStartElement() && r.name() == name)
            out << r.readElementText(QXmlStreamReader::IncludeChildElements);
        else
            r.readNext();
    }
    return out;
}

class RegistryExportTest : public DbFixture
{
protected:
    void SetUp() override
    {
        DbFixture::SetUp();
        RegistrySettings s;
        s.signCipher = QStringLiteral("ЖЖЖ");
        s.defaultVerifier = QStringLiteral("Петров Пётр Петрович");
        s.defaultOwner = QStringLiteral("ООО \"Заказчик\"");
        s.timeZoneOffsetMinutes = 180;
        s.signPass = true;
        s.signMi = false;
        ASSERT_TRUE(saveRegistrySettings(s, dialogs));
        ASSERT_TRUE(SaveSensorTypes(db, dialogs,
                                    {{QStringLiteral("ТХА-0192"), QStringLiteral("12345-06"),
                                      QStringLiteral("исп. 01"), 24}}));
        InstallationMeans means;
        means.instruments = {
            {QStringLiteral("Вольтметр"), QStringLiteral("11111-11"), QStringLiteral("V-12")}};
        means.references = {{kEtalID, QStringLiteral("00000.00.0Р.00000000")}};
        ASSERT_TRUE(SaveInstallationMeans(db, dialogs, means));
    }

    int addSensor(const QString &serial, const QString &owner = QString())
    {
        EXPECT_TRUE(db.DBSensorsInsert(row(tables::Sensors, {{"SerialNum", serial},
                                                             {"ProdYear", 2021},
                                                             {"TypeName", "ТХА-0192"},
                                                             {"NSHType", "XA"},
                                                             {"SensKind", "TP"},
                                                             {"Owner", owner}})));
        return db.DBGetMaxID(tables::Sensors, QString());
    }

    // A finished periodic verification on 14.03.2025 with the given sensors on channel 1,
    // inputs 1.., and their results.
    int addVerification(const std::vector<std::pair<int, QString>> &sensors,
                        bool withConditions = true)
    {
        EXPECT_TRUE(db.DBPoverkaInsert(row(tables::Poverki, {{"PovNum", "7"},
                                                             {"Started", at(14, 3, 2025, 9)},
                                                             {"Finished", at(14, 3, 2025, 23, 30)},
                                                             {"GOSTnum", "ГОСТ 8.338-2002"},
                                                             {"Kind", 1},
                                                             {"CurrPovState", "Finished"}})));
        const int id = db.DBGetMaxID(tables::Poverki, QString());
        std::array<int, 4> ids{};
        for (std::size_t i = 0; i < sensors.size(); ++i)
            ids[i] = sensors[i].first;
        const int bunch = insertBunch(id, 1, kEtalID, ids);
        QVariantMap results;
        for (std::size_t i = 0; i < sensors.size(); ++i)
            results[QStringLiteral("ResultInp%1").arg(i + 1)] = sensors[i].second;
        EXPECT_EQ(db.updateWhere(tables::BunchesTP, QStringLiteral("ID = %1").arg(bunch), results),
                  1);
        if (withConditions) {
            EXPECT_TRUE(StoreConditions(db, dialogs, id,
                                        {21.5, 100.2, 48, QStringLiteral("сеть 220 В"), {}}));
        }
        return id;
    }

    RegistryPlan prepare(const std::vector<int> &ids)
    {
        const auto plan = PrepareRegistryExport(db, dialogs, ids, false);
        EXPECT_TRUE(plan);
        return plan ? *plan : RegistryPlan{};
    }

    static constexpr int kEtalID = 3;
};

TEST_F(RegistryExportTest, OneValidResultPerVerifiedThermocoupleWithDatesAndMeans)
{
    const int id =
        addVerification({{addSensor("TP-0417"), "2"}, {addSensor("TP-0418", "АО «Завод»"), "1"}});
    const RegistryPlan plan = prepare({id, 999});
    ASSERT_TRUE(plan.refusals.empty()) << plan.refusals.front().reason.toStdString();
    ASSERT_EQ(plan.records.size(), 2u);

    const QString path = home.data(QStringLiteral("out.xml"));
    const auto files = WriteRegistryExport(db, dialogs, plan, path, at(15, 3, 2025, 10));
    ASSERT_TRUE(files);
    EXPECT_EQ(*files, QStringList{path});
    const QByteArray xml = readAll(path);
    EXPECT_TRUE(xml.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
    EXPECT_EQ(RegistryXsdErrors(xml), QString());
    EXPECT_EQ(elementTexts(xml, QStringLiteral("manufactureNum")),
              (QStringList{"TP-0417", "V-12", "TP-0418", "V-12"}));
    EXPECT_EQ(elementTexts(xml, QStringLiteral("vrfDate")),
              (QStringList{"2025-03-14+03:00", "2025-03-14+03:00"}));
    // 24 months less a day
    EXPECT_EQ(elementTexts(xml, QStringLiteral("validDate")),
              (QStringList{"2027-03-13+03:00", "2027-03-13+03:00"}));
    EXPECT_EQ(elementTexts(xml, QStringLiteral("miOwner")),
              (QStringList{"ООО \"Заказчик\"", "АО «Завод»"}));
    EXPECT_EQ(elementTexts(xml, QStringLiteral("type")), (QStringList{"2", "2"}));
    EXPECT_EQ(elementTexts(xml, QStringLiteral("metrologist")).value(0),
              QStringLiteral("Петров Пётр Петрович"));
    EXPECT_EQ(elementTexts(xml, QStringLiteral("temperature")).value(0), QStringLiteral("21,5 °C"));
    EXPECT_EQ(elementTexts(xml, QStringLiteral("other")).value(0), QStringLiteral("сеть 220 В"));
    EXPECT_EQ(elementTexts(xml, QStringLiteral("number")).size(), 2);

    const auto log = LoadRegistryExports(db);
    ASSERT_TRUE(log && log->size() == 2u);
    EXPECT_EQ(log->front().poverkaID, id);
    EXPECT_EQ(log->front().fileName, QStringLiteral("out.xml"));
    EXPECT_EQ(ExportedPoverkaIDs(db), std::vector<int>{id});
    EXPECT_TRUE(dialogs.shown.empty());
}

// A thermocouple without a result (its channel was ended) and an unfit one whose reasons are not
// known are refused; the reference never appears.
TEST_F(RegistryExportTest, ThermocouplesWithoutResultOrReasonsAreRefused)
{
    const int id =
        addVerification({{addSensor("A1"), "3"}, {addSensor("A2"), ""}, {addSensor("A3"), "Бр."}});
    const RegistryPlan plan = prepare({id});
    ASSERT_EQ(plan.records.size(), 1u);
    EXPECT_EQ(plan.records[0].serialNum, QStringLiteral("A1"));
    ASSERT_EQ(plan.refusals.size(), 2u);
    EXPECT_EQ(plan.refusals[0].serialNum, QStringLiteral("A2"));
    EXPECT_TRUE(plan.refusals[0].reason.contains(QStringLiteral("нет результата")));
    EXPECT_EQ(plan.refusals[1].serialNum, QStringLiteral("A3"));
    EXPECT_TRUE(plan.refusals[1].reason.contains(QStringLiteral("причины непригодности")));
}

// A home from before the registry data: no Conditions nor registry table files. It still opens
// and every thermocouple is listed as lacking conditions.
TEST_F(RegistryExportTest, OlderHomeListsItsVerificationsAsLackingConditions)
{
    const int id = addVerification({{addSensor("B1"), "2"}, {addSensor("B2"), "2"}}, false);
    for (const TableSchema *t : addedTables())
        ASSERT_TRUE(QFile::remove(home.data(t->fileName()))) << t->name;
    ASSERT_TRUE(SaveSensorTypes(
        db, dialogs,
        {{QStringLiteral("ТХА-0192"), QStringLiteral("12345-06"), QStringLiteral("-"), 12}}));
    InstallationMeans means;
    means.references = {{kEtalID, QStringLiteral("1.2.3")}};
    ASSERT_TRUE(SaveInstallationMeans(db, dialogs, means));
    const auto finished = FinishedPoverkaIDs(db, QDate(2025, 3, 1), QDate(2025, 3, 31));
    ASSERT_EQ(finished, std::vector<int>{id});
    const RegistryPlan plan = prepare(*finished);
    EXPECT_TRUE(plan.records.empty());
    ASSERT_EQ(plan.refusals.size(), 2u);
    for (const RegistryRefusal &r : plan.refusals)
        EXPECT_EQ(r.reason, QStringLiteral("не заданы условия поверки"));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_EQ(FinishedPoverkaIDs(db, QDate(2025, 3, 15), QDate()), std::vector<int>{});
}

struct CliRun {
    int status = -1;
    QString out, err;
};

CliRun registryCli(const QString &home, const QStringList &args)
{
    const QString exe = QCoreApplication::applicationDirPath() + "/../bin/kront-cli";
    CliRun r;
    if (!QFileInfo(exe).isExecutable()) {
        ADD_FAILURE() << "kront-cli is not built: " << exe.toStdString();
        return r;
    }
    QProcess p;
    p.start(exe, QStringList{"--home", home, "registry-export"} + args);
    EXPECT_TRUE(p.waitForFinished(30000));
    r.status = p.exitCode();
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

TEST_F(RegistryExportTest, CommandLineExitsWithWhatHappened)
{
    const int good = addVerification({{addSensor("C1"), "1"}, {addSensor("C2"), "2"}});
    const int lacking = addVerification({{addSensor("C3"), "2"}}, false);
    const QString out = home.data(QStringLiteral("cli.xml"));
    // kront-cli reads the program's settings file, not the test's.
    ASSERT_TRUE(saveRegistrySettings(loadRegistrySettings(), dialogs,
                                     AppHome::configFile(QStringLiteral("kront.INI"))));

    const CliRun all = registryCli(home.path(), {"--id", QString::number(good), "--out", out});
    EXPECT_EQ(all.status, 0) << all.err.toStdString();
    EXPECT_TRUE(all.err.isEmpty()) << all.err.toStdString();
    EXPECT_TRUE(all.out.contains(QStringLiteral("Выгружено результатов: 2, пропущено: 0")))
        << all.out.toStdString();
    EXPECT_EQ(RegistryXsdErrors(readAll(out)), QString());
    EXPECT_EQ(elementTexts(readAll(out), QStringLiteral("result")).size(), 2);

    // by dates: both verifications, the one without conditions skipped with its reason
    const CliRun skipped =
        registryCli(home.path(), {"--from", "14.03.2025", "--to", "2025-03-14", "--out", out});
    EXPECT_EQ(skipped.status, 1);
    EXPECT_TRUE(skipped.err.contains(QStringLiteral("Пропущен ТП C3 (поверка № 7, ID %1): не "
                                                    "заданы условия поверки")
                                         .arg(lacking)))
        << skipped.err.toStdString();
    EXPECT_EQ(elementTexts(readAll(out), QStringLiteral("result")).size(), 2);
    EXPECT_EQ(LoadRegistryExports(db)->size(), 4u);

    for (const QStringList &bad :
         {QStringList{}, QStringList{"--id", "x", "--out", out},
          QStringList{"--from", "32.01.2025", "--out", out}, QStringList{"--out"},
          QStringList{"--from", "2025-03-15", "--to", "2025-03-14", "--out", out},
          QStringList{"--what", "1", "--out", out}}) {
        SCOPED_TRACE(bad.join(' ').toStdString());
        const CliRun r = registryCli(home.path(), bad);
        EXPECT_EQ(r.status, 2);
        EXPECT_TRUE(r.err.contains(QStringLiteral("Использование"))) << r.err.toStdString();
    }
}

// The pure refusal function, from a candidate that would be exported.
class RefusalTest : public ::testing::Test
{
protected:
    static ExportCandidate candidate()
    {
        ExportCandidate c;
        c.poverkaID = 1;
        c.finished = QDateTime(QDate(2025, 3, 14), QTime(12, 0));
        c.kind = 1;
        c.gostNum = QStringLiteral("ГОСТ 8.338-2002");
        c.conditions = VerificationConditions{21.5, 100.2, 48, {}, QStringLiteral("Иванов И. И.")};
        c.etalSensID = 3;
        c.sensorID = 10;
        c.serialNum = QStringLiteral("TP-1");
        c.typeName = QStringLiteral("ТХА");
        c.owner = QStringLiteral("ООО «Образец»");
        c.result = QStringLiteral("2");
        return c;
    }
    static RegistryData data()
    {
        RegistryData d;
        d.settings.signCipher = QStringLiteral("ЖЖЖ");
        d.settings.timeZoneOffsetMinutes = 180;
        d.sensorTypes = {{QStringLiteral("ТХА"), QStringLiteral("1-11"), QString(), 12}};
        d.means.references = {{3, QStringLiteral("1.1.1")}};
        return d;
    }
};

TEST_F(RefusalTest, EachMissingOrBadValueIsNamed)
{
    struct Case {
        const char *name;
        std::function<void(ExportCandidate &, RegistryData &)> change;
        const char *reason; // a part of the refusal's reason; "" for an exported one
    };
    const Case cases[] = {
        {"exported as it is", [](ExportCandidate &, RegistryData &) {}, ""},
        {"no cipher", [](ExportCandidate &, RegistryData &d) { d.settings.signCipher.clear(); },
         "шифр"},
        {"cipher with a Latin letter",
         [](ExportCandidate &, RegistryData &d) { d.settings.signCipher = QStringLiteral("ЖA"); },
         "шифр"},
        {"unknown type",
         [](ExportCandidate &c, RegistryData &) { c.typeName = QStringLiteral("ТПП"); }, "ГРСИ"},
        {"type without interval",
         [](ExportCandidate &, RegistryData &d) { d.sensorTypes[0].intervalMonths = 0; },
         "интервал"},
        {"conditions missing", [](ExportCandidate &c, RegistryData &) { c.conditions.reset(); },
         "условия поверки"},
        {"owner of 600 characters",
         [](ExportCandidate &c, RegistryData &) { c.owner = QString(600, u'О'); },
         "владелец СИ\" длиннее 512"},
        {"no owner anywhere", [](ExportCandidate &c, RegistryData &) { c.owner.clear(); },
         "владелец"},
        {"no verifier", [](ExportCandidate &c, RegistryData &) { c.conditions->verifier.clear(); },
         "поверитель"},
        {"no serial number", [](ExportCandidate &c, RegistryData &) { c.serialNum.clear(); },
         "заводской номер"},
        {"reference without its number",
         [](ExportCandidate &c, RegistryData &) { c.etalSensID = 4; }, "эталонного ТП"},
        {"no procedure", [](ExportCandidate &c, RegistryData &) { c.gostNum.clear(); }, "документ"},
        {"other factors of 129 characters",
         [](ExportCandidate &c, RegistryData &) {
             c.conditions->otherFactors = QString(129, u'ф');
         },
         "другие влияющие факторы"},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        ExportCandidate c = candidate();
        RegistryData d = data();
        k.change(c, d);
        const RegistryPlan plan = PlanRegistryExport({c}, d);
        if (*k.reason == 0) {
            ASSERT_EQ(plan.records.size(), 1u);
            EXPECT_TRUE(plan.refusals.empty());
            continue;
        }
        ASSERT_EQ(plan.refusals.size(), 1u);
        EXPECT_TRUE(plan.records.empty());
        EXPECT_TRUE(
            plan.refusals[0].reason.contains(QString::fromUtf8(k.reason), Qt::CaseInsensitive))
            << plan.refusals[0].reason.toStdString();
        EXPECT_EQ(plan.refusals[0].serialNum, c.serialNum);
    }
}

TEST_F(RefusalTest, FitAndUnfitBranchesAndHostileTextsSurvive)
{
    ExportCandidate fit = candidate();
    fit.owner = QStringLiteral("ООО \"Кавычки\" & <Скобки> 'апостроф'");
    ExportCandidate unfit = candidate();
    unfit.kind = 0;
    unfit.result = QStringLiteral("Брак");
    unfit.reasons = QStringLiteral("Отклонение ТЭДС от НСХ при 600 °C составляет 3,1 °C "
                                   "(допускается ±2,5 °C для класса 2) & <ещё>");
    const RegistryPlan plan = PlanRegistryExport({fit, unfit}, data());
    ASSERT_EQ(plan.records.size(), 2u);
    EXPECT_TRUE(plan.records[0].validDate);
    EXPECT_FALSE(plan.records[1].validDate); // never on an unfit result
    const QByteArray xml = RegistryXml(plan.records);
    EXPECT_EQ(RegistryXsdErrors(xml), QString());
    EXPECT_EQ(elementTexts(xml, QStringLiteral("miOwner")).value(0), fit.owner);
    EXPECT_EQ(elementTexts(xml, QStringLiteral("reasons")), QStringList{unfit.reasons});
    EXPECT_EQ(elementTexts(xml, QStringLiteral("type")), (QStringList{"2", "1"}));
    EXPECT_EQ(elementTexts(xml, QStringLiteral("applicable")).size(), 1);
    EXPECT_EQ(elementTexts(xml, QStringLiteral("validDate")), QStringList{"2026-03-13+03:00"});
    // No modification given: the placeholder the format accepts.
    EXPECT_EQ(elementTexts(xml, QStringLiteral("modification")).value(0), QStringLiteral("-"));
}

// A record the file cannot hold is refused by the writer too: nothing is cut, no file is made.
TEST_F(RefusalTest, WriterRefusesWhatTheFileCannotHold)
{
    TempHome home;
    RegistryRecord r = PlanRegistryExport({candidate()}, data()).records.at(0);
    const QString path = home.data(QStringLiteral("x.xml"));
    struct Case {
        const char *name;
        std::function<void(RegistryRecord &)> change;
    };
    const Case cases[] = {
        {"owner of 513", [](RegistryRecord &x) { x.owner = QString(513, u'я'); }},
        {"cipher of four", [](RegistryRecord &x) { x.signCipher = QStringLiteral("ЖЖЖЖ"); }},
        {"valid-until before the date",
         [](RegistryRecord &x) { x.validDate = x.vrfDate.addDays(-1); }},
        {"no means",
         [](RegistryRecord &x) {
             x.referenceNumbers.clear();
             x.instruments.clear();
         }},
        {"empty temperature", [](RegistryRecord &x) { x.temperature.clear(); }},
        {"bad zone", [](RegistryRecord &x) { x.timeZone = QStringLiteral("+3"); }},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(k.name);
        RegistryRecord bad = r;
        k.change(bad);
        QString error;
        EXPECT_FALSE(WriteRegistryFiles(path, {r, bad}, error));
        EXPECT_FALSE(error.isEmpty());
        EXPECT_FALSE(QFile::exists(path));
    }
}

TEST_F(RefusalTest, MoreThanFiveThousandResultsAreSplitIntoValidParts)
{
    TempHome home;
    const RegistryRecord r = PlanRegistryExport({candidate()}, data()).records.at(0);
    const std::vector<RegistryRecord> records(kMaxResultsPerFile + 1, r);
    const QString path = home.data(QStringLiteral("big.xml"));
    QString error;
    const auto files = WriteRegistryFiles(path, records, error);
    ASSERT_TRUE(files) << error.toStdString();
    ASSERT_EQ(*files, (QStringList{path, home.data(QStringLiteral("big-2.xml"))}));
    const QByteArray first = readAll(files->at(0));
    const QByteArray second = readAll(files->at(1));
    EXPECT_EQ(first.count("<gost:result>"), kMaxResultsPerFile);
    EXPECT_EQ(second.count("<gost:result>"), 1);
    EXPECT_EQ(RegistryXsdErrors(first), QString());
    EXPECT_EQ(RegistryXsdErrors(second), QString());
}

} // namespace
} // namespace kront::test
