#include "tests/durability/Workload.h"

#include "common/UnattendedDialogs.h"
#include "db/Database.h"

#include <QDateTime>

#include <random>
#include <unistd.h>

namespace kront::durability
{

namespace
{

// Every message goes to the report pipe: the parent fails on any of them.
class PipeDialogs : public UnattendedDialogs
{
public:
    explicit PipeDialogs(int pipeFd) : fd(pipeFd) {}

protected:
    void note(Icon, const QString &text) override
    {
        const QByteArray line = "M " + text.toUtf8() + '\n';
        (void)!::write(fd, line.constData(), size_t(line.size()));
    }

private:
    int fd;
};

struct Active {
    int id = 0;
    int bunch[3] = {0, 0, 0}; // channels 1, 2
    int step = 0;
};

class Child
{
public:
    Child(int roundNum, unsigned seed, int pipeFd)
        : round(roundNum), rng(seed), fd(pipeFd), dialogs(pipeFd), db(dialogs)
    {
    }
    void resume();
    void act();

private:
    void report(const QString &line)
    {
        const QByteArray bytes = line.toUtf8() + '\n';
        if (::write(fd, bytes.constData(), size_t(bytes.size())) != bytes.size())
            _exit(3);
    }
    bool chance(int percent) { return std::uniform_int_distribution<int>(1, 100)(rng) <= percent; }
    int nextNumber() { return round * 100 + (++made % 100); }
    void start();
    void step(Active &a);
    void finish(Active &a);
    void deleteOldest();
    void issueDocument();
    void editReference();
    bool loadBunches(Active &a);

    int round;
    std::mt19937 rng;
    int fd;
    PipeDialogs dialogs;
    Database db;
    int made = 0;
    std::vector<Active> active;
};

TableRow poverkaRow(const QString &povNum)
{
    return TableRow(tables::Poverki, {{"PovNum", povNum},
                                      {"Started", QDateTime::currentDateTime()},
                                      {"GOSTnum", "ГОСТ 8.338-2002"},
                                      {"Methodic", 0},
                                      {"Kind", 1},
                                      {"InstabilityCheckNeeded", false},
                                      {"TempPointsCount", kSteps},
                                      {"EquipmentParams", "Печь\nВольтметр"},
                                      {"CurrPovState", "Initiation;0;0;5;"}});
}

TableRow sensorRow(const QString &serial)
{
    return TableRow(tables::Sensors, {{"SerialNum", serial},
                                      {"ProdYear", 2020},
                                      {"TypeName", "ТХА"},
                                      {"NSHType", "K"},
                                      {"SensKind", "TP"},
                                      {"Producer", "Завод"},
                                      {"Etalon", false},
                                      {"ClassDop", "2"},
                                      {"Owner", "Владелец"},
                                      {"WDTHighLim", 1000.0},
                                      {"WDTLowLim", -40.0},
                                      {"Diameter", 5.0},
                                      {"Mass", 0.2},
                                      {"RecordCreationDateTime", QDateTime::currentDateTime()}});
}

TableRow referenceRow(int k, double temp1)
{
    TableRow row(tables::EtalSens, {{"SerialNum", QStringLiteral("E%1").arg(k)},
                                    {"ProdYear", 2010},
                                    {"TypeName", "ППО"},
                                    {"NSHType", "S"},
                                    {"SensKind", "ППО"},
                                    {"Producer", "ВНИИМ"},
                                    {"Etalon", true},
                                    {"ClassDop", "1"},
                                    {"Owner", "Лаборатория"},
                                    {"WDTHighLim", 1300.0},
                                    {"WDTLowLim", 0.0},
                                    {"RecordCreationDateTime", QDateTime::currentDateTime()}});
    for (int p = 1; p <= 17; ++p) {
        row.set(QStringLiteral("Temp%1").arg(p), p == 1 ? temp1 : 100.0 * p);
        row.set(QStringLiteral("EMF%1").arg(p), 0.0095 * 100 * p);
    }
    return row;
}

void Child::start()
{
    const QString povNum = QString::number(nextNumber());
    if (!db.DBPoverkaInsert(poverkaRow(povNum)))
        _exit(4);
    Active a;
    a.id = db.DBGetMaxID(tables::Poverki, QStringLiteral("PovNum = '%1'").arg(povNum));
    if (a.id <= 0)
        _exit(5);
    report(QStringLiteral("P %1 %2").arg(a.id).arg(povNum));
    // The eight sensors and then both bunches, each set in one transaction.
    std::vector<TableRow> sensors, bunches;
    for (int n = 1; n <= 8; ++n)
        sensors.push_back(sensorRow(povNum + u'-' + QString::number(n)));
    if (!db.insertRows(tables::Sensors, sensors))
        _exit(6);
    const auto stored = db.select(
        tables::Sensors, QStringLiteral("SerialNum LIKE '%1-%'").arg(povNum), QStringLiteral("ID"));
    if (!stored || stored->size() != 8)
        _exit(6);
    for (int c = 1; c <= 2; ++c) {
        TableRow bunch(tables::BunchesTP,
                       {{"PoverkaID", a.id}, {"ChannelNum", c}, {"EtalSensorID", c + 1}});
        for (int k = 0; k < 4; ++k)
            bunch.set(QStringLiteral("PovSensorID%1").arg(k + 1),
                      (*stored)[4 * (c - 1) + k].value(QStringLiteral("ID")));
        bunches.push_back(bunch);
    }
    if (!db.insertRows(tables::BunchesTP, bunches) || !loadBunches(a))
        _exit(6);
    if (!db.DBPoverkaUpdateState(a.id, mainCycleState(0)))
        _exit(7);
    report(QStringLiteral("B %1").arg(a.id));
    active.push_back(a);
}

void Child::step(Active &a)
{
    const int point = a.step + 1;
    for (int c = 1; c <= 2; ++c) {
        std::vector<TableRow> rows;
        for (int m = 1; m <= kRowsPerStep; ++m) {
            TableRow r(tables::ResultsTP,
                       {{"PoverkaID", a.id},
                        {"BunchID", a.bunch[c]},
                        {"Methodic", 0},
                        {"Stage", "MainCycle"},
                        {"MeasPointNum", point},
                        {"MeasNum", m},
                        {"E_Tsk", 0.8},
                        {"Tsk", 20.0},
                        {"E_et", 4.0 * point},
                        {"E_pret", -300.0},
                        {"t_et", 100.0 * point},
                        {"t_pret", -300.0},
                        {"Operation", "Measure"},
                        {"EtalSensorType", 1},
                        {"RecordCreationDateTime", QDateTime::currentDateTime()}});
            for (int k = 0; k < 8; ++k) // TEDSe1Inp1, TEDSe2Inp1, TEDSe1Inp2, ...
                r.set(QStringLiteral("TEDSe%1Inp%2").arg(k % 2 + 1).arg(k / 2 + 1),
                      4.0 * point + 0.01 * k);
            rows.push_back(r);
        }
        if (!db.insertRows(tables::ResultsTP, rows))
            _exit(8);
    }
    if (!db.DBPoverkaUpdateState(a.id, mainCycleState(point)))
        _exit(9);
    a.step = point;
    report(QStringLiteral("S %1 %2").arg(a.id).arg(point));
}

void Child::finish(Active &a)
{
    for (int c = 1; c <= 2; ++c)
        db.DBUpdateBunchesTPResults(a.bunch[c], a.id, {0, 1, 2, 10, -1});
    if (!db.DBPoverkaSetFinished(a.id, nullptr))
        _exit(10);
    report(QStringLiteral("F %1").arg(a.id));
    db.DBPoverkaUpdateState(a.id, QStringLiteral("Calculation;0;1;1;"));
}

void Child::deleteOldest()
{
    const auto rows =
        db.select(tables::Poverki, QStringLiteral("Finished IS NOT NULL"), QStringLiteral("ID"), 1);
    if (!rows || rows->empty())
        return;
    const int id = rows->front().value(QStringLiteral("ID")).toInt();
    report(QStringLiteral("x %1").arg(id));
    if (!db.DBDeletePoverka(QStringLiteral("ID = %1").arg(id)))
        _exit(11);
    report(QStringLiteral("X %1").arg(id));
}

void Child::issueDocument()
{
    const QString num = QString::number(nextNumber());
    const TableRow doc(tables::Documents,
                       {{"DocType", false}, {"DocNum", num}, {"MetrologyOrganName", "ЦСМ"}});
    if (!db.DBDocInsert(doc))
        _exit(12);
    report(QStringLiteral("D %1").arg(num));
}

void Child::editReference()
{
    const int k = std::uniform_int_distribution<int>(0, kReferences - 1)(rng);
    const double value = nextNumber();
    if (!db.DBEtalSensUpdateAllByID(k + 2, referenceRow(k, value)))
        _exit(13);
    report(QStringLiteral("E %1 %2").arg(k + 2).arg(value));
}

bool Child::loadBunches(Active &a)
{
    const auto rows = db.select(tables::BunchesTP, QStringLiteral("PoverkaID = %1").arg(a.id));
    if (!rows)
        return false;
    for (const QVariantMap &b : *rows) {
        const int c = b.value(QStringLiteral("ChannelNum")).toInt();
        if (c == 1 || c == 2)
            a.bunch[c] = b.value(QStringLiteral("ID")).toInt();
    }
    return a.bunch[1] > 0 && a.bunch[2] > 0;
}

// Resumes every verification of the unfinished list at its stored step; a
// start that never reached its first step is undone.
void Child::resume()
{
    const auto rows = db.select(tables::Poverki, unfinishedFilter());
    if (!rows)
        _exit(14);
    for (const QVariantMap &r : *rows) {
        Active a;
        a.id = r.value(QStringLiteral("ID")).toInt();
        a.step = stepOfState(r.value(QStringLiteral("CurrPovState")).toString());
        if (a.step < 0 || !loadBunches(a)) {
            report(QStringLiteral("x %1").arg(a.id));
            if (!db.DBDeletePartialData(a.id))
                _exit(15);
            report(QStringLiteral("X %1").arg(a.id));
            continue;
        }
        // Rows of a step that was not marked complete are written again.
        if (!db.DBDeleteResultsTPFilter(
                QStringLiteral("PoverkaID = %1 and MeasPointNum > %2").arg(a.id).arg(a.step)))
            _exit(16);
        active.push_back(a);
    }
}

void Child::act()
{
    if (!active.empty() && chance(70)) {
        Active &a = active[std::uniform_int_distribution<size_t>(0, active.size() - 1)(rng)];
        if (a.step < kSteps) {
            step(a);
        } else {
            finish(a);
            active.erase(active.begin() + (&a - active.data()));
        }
        return;
    }
    const int pick = std::uniform_int_distribution<int>(1, 100)(rng);
    if (pick <= 40 && made < 95 && active.size() < 4)
        start();
    else if (pick <= 60)
        issueDocument();
    else if (pick <= 80)
        editReference();
    else
        deleteOldest();
}

} // namespace

QString mainCycleState(int step)
{
    return QStringLiteral("MainCycle;0;%1;%2;").arg(step).arg(kSteps);
}

int stepOfState(const QString &state)
{
    const QStringList parts = state.split(u';');
    if (parts.size() != 5 || parts[0] != QLatin1String("MainCycle"))
        return -1;
    bool ok = false;
    const int step = parts[2].toInt(&ok);
    return ok && step >= 0 && step <= kSteps ? step : -1;
}

QString unfinishedFilter()
{
    return QStringLiteral("Finished IS NULL AND CurrPovState <> 'Calculation;0;1;1;' AND "
                          "CurrPovState <> 'Calculation;1;1;1;'");
}

bool prepareHome()
{
    class Quiet : public PipeDialogs
    {
    public:
        Quiet() : PipeDialogs(2) {}
    } dialogs;
    Database db(dialogs);
    if (!db.ensureTables())
        return false;
    std::vector<TableRow> refs;
    for (int k = 0; k < kReferences; ++k)
        refs.push_back(referenceRow(k, 100.0));
    return db.insertRows(tables::EtalSens, refs);
}

void runWorkload(int round, unsigned seed, int reportFd, int maxOperations)
{
    Child child(round, seed, reportFd);
    child.resume();
    for (int i = 0; i < maxOperations; ++i)
        child.act();
    _exit(0);
}

} // namespace kront::durability
