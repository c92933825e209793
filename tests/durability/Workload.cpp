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

QVariantList poverkaRow(const QString &povNum)
{
    return {QVariant(),
            povNum,
            QDateTime::currentDateTime(),
            QVariant(),
            QStringLiteral("ГОСТ 8.338-2002"),
            0,
            1,
            false,
            QVariant(),
            kSteps,
            QStringLiteral("Печь\nВольтметр"),
            QStringLiteral("Initiation;0;0;5;")};
}

QVariantList sensorRow(const QString &serial)
{
    return {QVariant(),
            serial,
            2020,
            QStringLiteral("ТХА"),
            QStringLiteral("K"),
            QStringLiteral("TP"),
            QStringLiteral("Завод"),
            false,
            QStringLiteral("2"),
            QStringLiteral("Владелец"),
            1000.0,
            -40.0,
            5.0,
            0.2,
            QDateTime::currentDateTime()};
}

QVariantList referenceRow(int k, double temp1)
{
    QVariantList row = {QVariant(),
                        QStringLiteral("E%1").arg(k),
                        2010,
                        QStringLiteral("ППО"),
                        QStringLiteral("S"),
                        QStringLiteral("ППО"),
                        QStringLiteral("ВНИИМ"),
                        true,
                        QStringLiteral("1"),
                        QStringLiteral("Лаборатория"),
                        1300.0,
                        0.0};
    for (int p = 1; p <= 17; ++p)
        row << (p == 1 ? temp1 : 100.0 * p) << 0.0095 * 100 * p;
    row << QDateTime::currentDateTime();
    return row;
}

void Child::start()
{
    const QString povNum = QString::number(nextNumber());
    if (!db.DBPoverkaInsert(poverkaRow(povNum)))
        _exit(4);
    Active a;
    a.id = db.DBGetMaxID(QStringLiteral("Poverki"), QStringLiteral("PovNum = '%1'").arg(povNum));
    if (a.id <= 0)
        _exit(5);
    report(QStringLiteral("P %1 %2").arg(a.id).arg(povNum));
    // The eight sensors and then both bunches, each set in one transaction.
    std::vector<QVariantList> sensors, bunches;
    for (int n = 1; n <= 8; ++n)
        sensors.push_back(sensorRow(povNum + u'-' + QString::number(n)));
    if (!db.insertRows(QStringLiteral("Sensors"), sensors))
        _exit(6);
    const auto stored =
        db.select(QStringLiteral("Sensors"), QStringLiteral("SerialNum LIKE '%1-%'").arg(povNum),
                  QStringLiteral("ID"));
    if (!stored || stored->size() != 8)
        _exit(6);
    for (int c = 1; c <= 2; ++c) {
        QVariantList bunch = {QVariant(), a.id, c, c + 1};
        for (int k = 0; k < 4; ++k)
            bunch << (*stored)[4 * (c - 1) + k].value(QStringLiteral("ID"));
        bunches.push_back(bunch);
    }
    if (!db.insertRows(QStringLiteral("BunchesTP"), bunches) || !loadBunches(a))
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
        std::vector<QVariantList> rows;
        for (int m = 1; m <= kRowsPerStep; ++m) {
            QVariantList r = {a.id,
                              a.bunch[c],
                              0,
                              QStringLiteral("MainCycle"),
                              point,
                              m,
                              0.8,
                              20.0,
                              4.0 * point,
                              -300.0,
                              100.0 * point,
                              -300.0};
            for (int k = 0; k < 8; ++k)
                r << 4.0 * point + 0.01 * k;
            r << QStringLiteral("Measure") << 1 << QDateTime::currentDateTime();
            rows.push_back(r);
        }
        if (!db.insertRows(QStringLiteral("ResultsTP"), rows))
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
    const auto rows = db.select(QStringLiteral("Poverki"), QStringLiteral("Finished IS NOT NULL"),
                                QStringLiteral("ID"), 1);
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
    QVariantList doc = {QVariant(), false, num, QStringLiteral("ЦСМ")};
    if (!db.DBDocInsert(doc))
        _exit(12);
    report(QStringLiteral("D %1").arg(num));
}

void Child::editReference()
{
    const int k = std::uniform_int_distribution<int>(0, kReferences - 1)(rng);
    const double value = nextNumber();
    QVariantList values = referenceRow(k, value);
    values.removeFirst();
    if (!db.DBEtalSensUpdateAllByID(k + 2, values))
        _exit(13);
    report(QStringLiteral("E %1 %2").arg(k + 2).arg(value));
}

bool Child::loadBunches(Active &a)
{
    const auto rows =
        db.select(QStringLiteral("BunchesTP"), QStringLiteral("PoverkaID = %1").arg(a.id));
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
    const auto rows = db.select(QStringLiteral("Poverki"), unfinishedFilter());
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
    std::vector<QVariantList> refs;
    for (int k = 0; k < kReferences; ++k)
        refs.push_back(referenceRow(k, 100.0));
    return db.insertRows(QStringLiteral("EtalSens"), refs);
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
