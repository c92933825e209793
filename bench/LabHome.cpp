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

QVariantList LabRows::poverka(int i) const
{
    const bool done = finished(i);
    const QDateTime start = started(i);
    return {QVariant(),
            QString::number(1000 + i % 9000) + u'/' + QString::number(i / 9000),
            start,
            done ? QVariant(start.addSecs(6 * 3600)) : QVariant(),
            QStringLiteral("ГОСТ 8.338-2002"),
            i % 3 == 0 ? 1 : 0,
            i % 2,
            i % 4 == 0,
            QVariant(),
            kPoints,
            QStringLiteral("Печь МТП-2МР, зав. № 1542\nВольтметр ТАВЕР-7, зав. № 112\n"
                           "Блок БИ1, зав. № 17"),
            done ? QStringLiteral("Calculation;1;1;1;") : QStringLiteral("MainCycle;1;3;5;")};
}

QVariantList LabRows::reference(int k) const
{
    QVariantList row = {QVariant(),
                        serial("E", k),
                        2000 + k % 20,
                        QStringLiteral("ППО"),
                        QStringLiteral("S"),
                        QStringLiteral("ППО"),
                        QStringLiteral("ВНИИМ"),
                        true,
                        QStringLiteral("1"),
                        QStringLiteral("Лаборатория"),
                        1300.0,
                        0.0};
    for (int p = 1; p <= 17; ++p) {
        const double t = 100.0 * p;
        row << t << (t * 0.0095 + 0.001 * k); // a plausible type S graduation
    }
    row << now;
    return row;
}

QVariantList LabRows::sensor(int i, int channel, int input) const
{
    return {QVariant(),
            serial("T", 8 * i + 4 * (channel - 1) + input),
            2000 + (i + input) % 25,
            QStringLiteral("ТХА-0806"),
            QStringLiteral("K"),
            QStringLiteral("TP"),
            QStringLiteral("Термоприбор"),
            false,
            QStringLiteral("2"),
            QStringLiteral("ООО «Заказчик ") + QString::number(i % 300) + u'»',
            1000.0,
            -40.0,
            5.0,
            0.2,
            started(i)};
}

QVariantList LabRows::bunch(int i, int channel) const
{
    QVariantList row = {QVariant(), LabIds::poverka(i), channel,
                        LabIds::reference((i + channel) % size.references)};
    for (int k = 1; k <= 4; ++k)
        row << LabIds::sensor(i, channel, k);
    const bool done = finished(i);
    for (int k = 1; k <= 4; ++k)
        row << (!done               ? QString()
                : (i + k) % 17 == 0 ? QStringLiteral("Бр.")
                                    : QStringLiteral("2"));
    for (int k = 1; k <= 4; ++k)
        row << (channel == 1 && k == 1 ? QVariant(QString::number(i + 1)) : QVariant());
    for (int k = 1; k <= 4; ++k)
        row << QStringLiteral("Без замечаний");
    for (int k = 1; k <= 4; ++k)
        row << QStringLiteral("Выдержала");
    for (int k = 1; k <= 8; ++k)
        row << 100.0 + k;
    row << false << 0;
    for (int k = 1; k <= 4; ++k)
        row << (channel == 1 && k == 1 ? QVariant(LabIds::document(i)) : QVariant());
    row << started(i);
    return row;
}

std::vector<QVariantList> LabRows::results(int i, int channel) const
{
    std::vector<QVariantList> rows;
    const int perPoint = std::max(1, size.resultsPerBunch / kPoints);
    const int measures = perPoint - int(std::size(kOperations));
    const QDateTime at = started(i);
    for (int p = 1; p <= kPoints; ++p) {
        for (int m = 1; m <= perPoint; ++m) {
            const bool measure = m <= measures;
            const double e = 4.0 * p + 0.001 * m;
            QVariantList row = {LabIds::poverka(i),
                                LabIds::bunch(i, channel),
                                i % 3 == 0 ? 1 : 0,
                                measure ? QStringLiteral("MainCycle")
                                        : QStringLiteral("Calculation"),
                                p,
                                measure ? m : m - measures,
                                0.8,
                                20.0,
                                e,
                                -300.0,
                                100.0 * p,
                                -300.0};
            for (int k = 0; k < 8; ++k)
                row << e + 0.01 * k;
            row << (measure ? QStringLiteral("Measure")
                            : QString::fromLatin1(kOperations[m - measures - 1]))
                << 1 << at;
            rows.push_back(std::move(row));
        }
    }
    return rows;
}

QVariantList LabRows::document(int i) const
{
    const QDate date = started(i).date();
    return {QVariant(),
            (i + 1) % 17 == 0,
            QString::number(i + 1),
            QStringLiteral("ФБУ «Центр стандартизации и метрологии»"),
            QStringLiteral("Термопреобразователь ТХА-0806"),
            QString(),
            serial("T", 8 * i + 1),
            QStringLiteral("ООО «Заказчик ") + QString::number(i % 300) + u'»',
            i % 2 == 1,
            QStringLiteral("2"),
            QString(),
            QStringLiteral("Начальник отдела"),
            QStringLiteral("И. И. Иванов"),
            QStringLiteral("П. П. Петров"),
            date.toString(QStringLiteral("dd.MM.yyyy")),
            date.addYears(1).toString(QStringLiteral("dd.MM.yyyy")),
            QStringLiteral("250"),
            QStringLiteral("5"),
            QStringLiteral("500"),
            QStringLiteral("0,2"),
            started(i)};
}

namespace
{

bool insertBatch(Database &db, const LabRows &rows, int from, int to)
{
    std::vector<QVariantList> poverki, sensors, bunches, results, documents;
    for (int i = from; i < to; ++i) {
        poverki.push_back(rows.poverka(i));
        for (int c = 1; c <= 2; ++c) {
            for (int k = 1; k <= 4; ++k)
                sensors.push_back(rows.sensor(i, c, k));
            bunches.push_back(rows.bunch(i, c));
            for (QVariantList &r : rows.results(i, c))
                results.push_back(std::move(r));
        }
        documents.push_back(rows.document(i));
    }
    return db.insertRows(QStringLiteral("Poverki"), poverki) &&
           db.insertRows(QStringLiteral("Sensors"), sensors) &&
           db.insertRows(QStringLiteral("BunchesTP"), bunches) &&
           db.insertRows(QStringLiteral("ResultsTP"), results) &&
           db.insertRows(QStringLiteral("Documents"), documents);
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
    std::vector<QVariantList> refs;
    for (int k = 0; k < size.references; ++k)
        refs.push_back(rows.reference(k));
    if (!db.insertRows(QStringLiteral("EtalSens"), refs))
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
    return db.DBGetMaxID(QStringLiteral("Poverki"), QString()) == LabIds::poverka(last) &&
           db.DBGetMaxID(QStringLiteral("BunchesTP"), QString()) == LabIds::bunch(last, 2) &&
           db.DBGetMaxID(QStringLiteral("Sensors"), QString()) == LabIds::sensor(last, 2, 4) &&
           db.DBGetMaxID(QStringLiteral("Documents"), QString()) == LabIds::document(last);
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
