// The unfinished list and the results search.
#include "bench/BenchDb.h"
#include "common/text/StringFunctions.h"
#include "reports/ResultsSearch.h"

#include <benchmark/benchmark.h>

#include <algorithm>

namespace kront::bench
{

namespace
{

using namespace tables;

const std::string kGroup = "unfinished list and results search";

const QString kUnfinishedFilter =
    QStringLiteral("Finished IS NULL AND CurrPovState <> 'Calculation;0;1;1;' AND "
                   "CurrPovState <> 'Calculation;1;1;1;'");

// The search conditions of one benchmark, given the home's rows.
using Conditions = std::function<SearchConditions(const HomeUnderTest &)>;

SearchRow flatSearchRow(const FlatTable &t, int r)
{
    SearchRow row;
    row[scPovNum] = QString::fromUtf8(t.text(r, 1));
    row[scFinished] = DateTimeToStr(QDateTime::fromMSecsSinceEpoch(qint64(t.real(r, 3))));
    row[scMethodic] = t.integer(r, 5) ? QStringLiteral("Поэлектродное сличение")
                                      : QStringLiteral("Прямые измерения");
    row[scKind] = t.integer(r, 6) ? QStringLiteral("Периодическая") : QStringLiteral("Первичная");
    row[scPointsCount] = QString::number(t.integer(r, 9));
    row[scInstability] = t.integer(r, 7) ? QStringLiteral("Да") : QStringLiteral("Нет");
    row[scID] = QString::number(t.integer(r, 0));
    return row;
}

// The same search over the flat table: walk, test, sort by finish, make the rows.
bool flatSearch(const HomeUnderTest &h, const SearchConditions &c)
{
    FlatTable t(Poverki);
    if (!loadFlat(t, h, Poverki))
        return false;
    const QByteArray povNum = c.povNum.trimmed().toUtf8();
    std::vector<int> hits;
    for (int r = 0; r < t.rowCount(); ++r) {
        if (t.isNull(r, 3))
            continue;
        const QDate finished = QDateTime::fromMSecsSinceEpoch(qint64(t.real(r, 3))).date();
        if ((c.povNumChecked && !t.textEquals(r, 1, povNum)) ||
            (c.dateFromChecked && finished < *c.dateFrom) ||
            (c.dateToChecked && finished > *c.dateTo) ||
            (c.povKindChecked && t.integer(r, 6) != c.povKindIndex) ||
            (c.methodicChecked && t.integer(r, 5) != c.methodicIndex))
            continue;
        hits.push_back(r);
    }
    std::stable_sort(hits.begin(), hits.end(),
                     [&](int a, int b) { return t.real(a, 3) < t.real(b, 3); });
    std::vector<SearchRow> rows;
    for (int r : hits)
        rows.push_back(flatSearchRow(t, r));
    benchmark::DoNotOptimize(rows.data());
    return true;
}

void searchBenchmark(const std::string &name, const Conditions &conditions)
{
    registerOperation(
        "results search: " + name, kGroup, kSearchGoal,
        [conditions](HomeUnderTest &h) {
            const SearchConditions c = conditions(h);
            // What the operator waits for: the rows counted and the first
            // screen of the grid (about forty rows) filled.
            return timed([&] {
                auto found = SearchResultPages::open(database(), c, QDate::currentDate());
                if (!found)
                    return false;
                for (int r = 0; r < std::min(found->size(), 40); ++r)
                    benchmark::DoNotOptimize(found->row(r).data());
                return true;
            });
        },
        [conditions](HomeUnderTest &h) {
            const SearchConditions c = conditions(h);
            return timed([&] { return flatSearch(h, c); });
        });
}

QDate lastMonthStart(const HomeUnderTest &h)
{
    return h.rows->now.date().addMonths(-1);
}

} // namespace

void registerSearchBenchmarks()
{
    registerOperation(
        "unfinished list", kGroup, kSearchGoal,
        [](HomeUnderTest &) {
            return timed(
                [] { return database().select(tables::Poverki, kUnfinishedFilter).has_value(); });
        },
        [](HomeUnderTest &h) {
            FlatTable t(Poverki);
            return timed([&] {
                if (!loadFlat(t, h, Poverki))
                    return false;
                int n = 0;
                for (int r = 0; r < t.rowCount(); ++r)
                    n += t.isNull(r, 3) && !t.textEquals(r, 11, "Calculation;0;1;1;") &&
                         !t.textEquals(r, 11, "Calculation;1;1;1;");
                return n > 0;
            });
        });
    searchBenchmark("no condition", [](const HomeUnderTest &) { return SearchConditions{}; });
    searchBenchmark("number", [](const HomeUnderTest &h) {
        SearchConditions c;
        c.povNumChecked = true;
        c.povNum = h.rows->poverka(h.randomVerification()).value(u"PovNum").toString();
        return c;
    });
    searchBenchmark("finished from (last month)", [](const HomeUnderTest &h) {
        SearchConditions c;
        c.dateFromChecked = true;
        c.dateFrom = lastMonthStart(h);
        return c;
    });
    searchBenchmark("finished to (first month)", [](const HomeUnderTest &h) {
        SearchConditions c;
        c.dateToChecked = true;
        c.dateTo = h.rows->started(0).date().addMonths(1);
        return c;
    });
    searchBenchmark("kind", [](const HomeUnderTest &) {
        SearchConditions c;
        c.povKindChecked = true;
        c.povKindIndex = 1;
        return c;
    });
    searchBenchmark("method", [](const HomeUnderTest &) {
        SearchConditions c;
        c.methodicChecked = true;
        c.methodicIndex = 1;
        return c;
    });
    searchBenchmark("all conditions", [](const HomeUnderTest &h) {
        SearchConditions c;
        c.povNumChecked = c.dateFromChecked = c.dateToChecked = true;
        c.povKindChecked = c.methodicChecked = true;
        c.povNum = h.rows->poverka(h.randomVerification()).value(u"PovNum").toString();
        c.dateFrom = h.rows->started(0).date();
        c.dateTo = h.rows->now.date();
        c.povKindIndex = 0;
        c.methodicIndex = 0;
        return c;
    });
}

} // namespace kront::bench
