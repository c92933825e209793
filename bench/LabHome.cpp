#include "bench/LabHome.h"

#include "bench/ConsoleDialogs.h"
#include "common/AppHome.h"
#include "db/Database.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

#include <cstdio>
#include <filesystem>

#include <unistd.h>

namespace kront::bench
{

namespace
{

// Raised when the way homes are built changes, so stale caches are rebuilt.
constexpr const char *kHomeVersion = "lab-home 1";
constexpr int kVerificationsPerBatch = 500;

const char *const kOperations[] = {"Average", "E_t_sk", "E_pr_pov", "E nsh", "Delta", "Delta dop"};
constexpr int kPoints = 5;

QString serial(const char *prefix, int n)
{
    return QString::fromLatin1(prefix) + QString::number(n).rightJustified(6, u'0');
}

} // namespace

LabRows::LabRows(const LabSize &s, const QDateTime &n)
    : size(s), now(n), spanSecs(s.verifications >= 1000 ? 20LL * 365 * 86400 : 30LL * 86400)
{
}

QDateTime LabRows::started(int i) const
{
    const qint64 step = spanSecs / std::max(1, size.verifications);
    return now.addSecs(-spanSecs + qint64(i) * step);
}

bool LabRows::finished(int i) const
{
    // One in a thousand is left unfinished, and the latest one is running.
    return i % 1000 != 999 && i != size.verifications - 1;
}

TableRow LabRows::poverka(int i) const
{
    const bool done = finished(i);
    const QDateTime start = started(i);
    return TableRow(
        tables::Poverki,
        {{"PovNum", QString::number(1000 + i % 9000) + u'/' + QString::number(i / 9000)},
         {"Started", start},
         {"Finished", done ? QVariant(start.addSecs(6 * 3600)) : QVariant()},
         {"GOSTnum", QStringLiteral("ГОСТ 8.338-2002")},
         {"Methodic", i % 3 == 0 ? 1 : 0},
         {"Kind", i % 2},
         {"InstabilityCheckNeeded", i % 4 == 0},
         {"TempPointsCount", kPoints},
         {"EquipmentParams",
          QStringLiteral("Печь МТП-2МР, зав. № 1542\nВольтметр ТАВЕР-7, зав. № 112\n"
                         "Блок БИ1, зав. № 17")},
         {"CurrPovState",
          done ? QStringLiteral("Calculation;1;1;1;") : QStringLiteral("MainCycle;1;3;5;")}});
}

TableRow LabRows::reference(int k) const
{
    TableRow row(tables::EtalSens, {{"SerialNum", serial("E", k)},
                                    {"ProdYear", 2000 + k % 20},
                                    {"TypeName", QStringLiteral("ППО")},
                                    {"NSHType", QStringLiteral("S")},
                                    {"SensKind", QStringLiteral("ППО")},
                                    {"Producer", QStringLiteral("ВНИИМ")},
                                    {"Etalon", true},
                                    {"ClassDop", QStringLiteral("1")},
                                    {"Owner", QStringLiteral("Лаборатория")},
                                    {"WDTHighLim", 1300.0},
                                    {"WDTLowLim", 0.0},
                                    {"RecordCreationDateTime", now}});
    for (int p = 1; p <= 17; ++p) {
        const double t = 100.0 * p;
        row.set(QStringLiteral("Temp%1").arg(p), t);
        row.set(QStringLiteral("EMF%1").arg(p),
                t * 0.0095 + 0.001 * k); // a plausible type S graduation
    }
    return row;
}

TableRow LabRows::sensor(int i, int channel, int input) const
{
    return TableRow(tables::Sensors,
                    {{"SerialNum", serial("T", 8 * i + 4 * (channel - 1) + input)},
                     {"ProdYear", 2000 + (i + input) % 25},
                     {"TypeName", QStringLiteral("ТХА-0806")},
                     {"NSHType", QStringLiteral("K")},
                     {"SensKind", QStringLiteral("TP")},
                     {"Producer", QStringLiteral("Термоприбор")},
                     {"Etalon", false},
                     {"ClassDop", QStringLiteral("2")},
                     {"Owner", QStringLiteral("ООО «Заказчик ") + QString::number(i % 300) + u'»'},
                     {"WDTHighLim", 1000.0},
                     {"WDTLowLim", -40.0},
                     {"Diameter", 5.0},
                     {"Mass", 0.2},
                     {"RecordCreationDateTime", started(i)}});
}

TableRow LabRows::bunch(int i, int channel) const
{
    const bool done = finished(i);
    TableRow row(tables::BunchesTP,
                 {{"PoverkaID", LabIds::poverka(i)},
                  {"ChannelNum", channel},
                  {"EtalSensorID", LabIds::reference((i + channel) % size.references)},
                  {"PovTerminated", false},
                  {"PovTermMeasPointNum", 0},
                  {"RecordCreationDateTime", started(i)}});
    for (int k = 1; k <= 4; ++k) {
        const QString n = QString::number(k);
        const bool first = channel == 1 && k == 1;
        row.set(QStringLiteral("PovSensorID") + n, LabIds::sensor(i, channel, k));
        row.set(QStringLiteral("ResultInp") + n, !done               ? QString()
                                                 : (i + k) % 17 == 0 ? QStringLiteral("Бр.")
                                                                     : QStringLiteral("2"));
        row.set(QStringLiteral("DocNumInp") + n,
                first ? QVariant(QString::number(i + 1)) : QVariant());
        row.set(QStringLiteral("ExtSurveyNotesInp") + n, QStringLiteral("Без замечаний"));
        row.set(QStringLiteral("InsulationStrengthInp") + n, QStringLiteral("Выдержала"));
        row.set(QStringLiteral("InsulationResistancePosInp") + n, 100.0 + 2 * k - 1);
        row.set(QStringLiteral("InsulationResistanceNegInp") + n, 100.0 + 2 * k);
        row.set(QStringLiteral("EmittedDocIDInp") + n,
                first ? QVariant(LabIds::document(i)) : QVariant());
    }
    return row;
}

std::vector<TableRow> LabRows::results(int i, int channel) const
{
    std::vector<TableRow> rows;
    const int perPoint = std::max(1, size.resultsPerBunch / kPoints);
    const int measures = perPoint - int(std::size(kOperations));
    const QDateTime at = started(i);
    for (int p = 1; p <= kPoints; ++p) {
        for (int m = 1; m <= perPoint; ++m) {
            const bool measure = m <= measures;
            const double e = 4.0 * p + 0.001 * m;
            TableRow row(
                tables::ResultsTP,
                {{"PoverkaID", LabIds::poverka(i)},
                 {"BunchID", LabIds::bunch(i, channel)},
                 {"Methodic", i % 3 == 0 ? 1 : 0},
                 {"Stage", measure ? QStringLiteral("MainCycle") : QStringLiteral("Calculation")},
                 {"MeasPointNum", p},
                 {"MeasNum", measure ? m : m - measures},
                 {"E_Tsk", 0.8},
                 {"Tsk", 20.0},
                 {"E_et", e},
                 {"E_pret", -300.0},
                 {"t_et", 100.0 * p},
                 {"t_pret", -300.0},
                 {"Operation", measure ? QStringLiteral("Measure")
                                       : QString::fromLatin1(kOperations[m - measures - 1])},
                 {"EtalSensorType", 1},
                 {"RecordCreationDateTime", at}});
            for (int k = 0; k < 8; ++k) // TEDSe1Inp1, TEDSe2Inp1, TEDSe1Inp2, ...
                row.set(QStringLiteral("TEDSe%1Inp%2").arg(k % 2 + 1).arg(k / 2 + 1), e + 0.01 * k);
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

TableRow LabRows::document(int i) const
{
    const QDate date = started(i).date();
    return TableRow(
        tables::Documents,
        {{"DocType", (i + 1) % 17 == 0},
         {"DocNum", QString::number(i + 1)},
         {"MetrologyOrganName", QStringLiteral("ФБУ «Центр стандартизации и метрологии»")},
         {"NameSI", QStringLiteral("Термопреобразователь ТХА-0806")},
         {"SerNumPred", QString()},
         {"ZavNum", serial("T", 8 * i + 1)},
         {"Owner", QStringLiteral("ООО «Заказчик ") + QString::number(i % 300) + u'»'},
         {"PovKind", i % 2 == 1},
         {"Class", QStringLiteral("2")},
         {"Prichina", QString()},
         {"DolgRuk", QStringLiteral("Начальник отдела")},
         {"NameRuk", QStringLiteral("И. И. Иванов")},
         {"NamePov", QStringLiteral("П. П. Петров")},
         {"DateDoc", date.toString(QStringLiteral("dd.MM.yyyy"))},
         {"DateActing", date.addYears(1).toString(QStringLiteral("dd.MM.yyyy"))},
         {"Glubina", QStringLiteral("250")},
         {"Diameter", QStringLiteral("5")},
         {"Dlina", QStringLiteral("500")},
         {"Massa", QStringLiteral("0,2")},
         {"RecordCreationDateTime", started(i)}});
}

namespace
{

bool insertBatch(Database &db, const LabRows &rows, int from, int to)
{
    std::vector<TableRow> poverki, sensors, bunches, results, documents;
    for (int i = from; i < to; ++i) {
        poverki.push_back(rows.poverka(i));
        for (int c = 1; c <= 2; ++c) {
            for (int k = 1; k <= 4; ++k)
                sensors.push_back(rows.sensor(i, c, k));
            bunches.push_back(rows.bunch(i, c));
            for (TableRow &r : rows.results(i, c))
                results.push_back(std::move(r));
        }
        documents.push_back(rows.document(i));
    }
    return db.insertRows(tables::Poverki, poverki) && db.insertRows(tables::Sensors, sensors) &&
           db.insertRows(tables::BunchesTP, bunches) && db.insertRows(tables::ResultsTP, results) &&
           db.insertRows(tables::Documents, documents);
}

bool buildHome(const LabSize &size, const QString &home)
{
    QDir(home).removeRecursively();
    for (const char *sub : {"Data", "Config", "Protocol", "Help"})
        QDir(home).mkpath(QString::fromLatin1(sub));
    AppHome::set(home);
    ConsoleDialogs dialogs;
    Database db(dialogs);
    if (!db.ensureTables())
        return false;
    const QDateTime now = QDateTime::currentDateTime();
    QFile stamp(home + QStringLiteral("/generated-at"));
    if (!stamp.open(QIODevice::WriteOnly) ||
        stamp.write(now.toString(Qt::ISODateWithMs).toLatin1()) < 0)
        return false;
    stamp.close();
    const LabRows rows(size, now);
    std::vector<TableRow> refs;
    for (int k = 0; k < size.references; ++k)
        refs.push_back(rows.reference(k));
    if (!db.insertRows(tables::EtalSens, refs))
        return false;
    QElapsedTimer timer;
    timer.start();
    for (int from = 0; from < size.verifications; from += kVerificationsPerBatch) {
        const int to = std::min(size.verifications, from + kVerificationsPerBatch);
        if (!insertBatch(db, rows, from, to))
            return false;
        std::fprintf(stderr, "\r%s home: %d of %d verifications, %.0f s", size.name, to,
                     size.verifications, timer.elapsed() / 1000.0);
    }
    std::fprintf(stderr, "\n");
    // The generator's identifiers must be the store's.
    const int last = size.verifications - 1;
    return db.DBGetMaxID(tables::Poverki, QString()) == LabIds::poverka(last) &&
           db.DBGetMaxID(tables::BunchesTP, QString()) == LabIds::bunch(last, 2) &&
           db.DBGetMaxID(tables::Sensors, QString()) == LabIds::sensor(last, 2, 4) &&
           db.DBGetMaxID(tables::Documents, QString()) == LabIds::document(last);
}

} // namespace

QString ensureLabHome(const LabSize &size, const QString &cacheDir)
{
    const QString home = cacheDir + u'/' + QString::fromLatin1(size.name);
    const QString marker = home + QStringLiteral("/complete");
    QFile mark(marker);
    if (mark.open(QIODevice::ReadOnly) && mark.readAll() == kHomeVersion)
        return home;
    mark.close();
    std::fprintf(stderr, "building the %s home in %s\n", size.name, qPrintable(home));
    if (!buildHome(size, home))
        return {};
    if (!mark.open(QIODevice::WriteOnly | QIODevice::Truncate) || mark.write(kHomeVersion) < 0)
        return {};
    return home;
}

QDateTime labHomeTime(const QString &home)
{
    QFile stamp(home + QStringLiteral("/generated-at"));
    if (!stamp.open(QIODevice::ReadOnly))
        return {};
    return QDateTime::fromString(QString::fromLatin1(stamp.readAll()), Qt::ISODateWithMs);
}

QString copyHome(const QString &from, const QString &to)
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::remove_all(to.toStdString(), ec);
    fs::create_directories(to.toStdString(), ec);
    fs::copy(from.toStdString(), to.toStdString(),
             fs::copy_options::recursive | fs::copy_options::overwrite_existing, ec);
    // The copy's pages are on disk before anything is timed; otherwise the
    // first durable commit to a table file pays for writing the whole file.
    ::sync();
    return ec ? QString() : to;
}

} // namespace kront::bench
