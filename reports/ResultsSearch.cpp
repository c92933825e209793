#include "reports/ResultsSearch.h"

#include "common/text/StringFunctions.h"
#include "db/Database.h"
#include "db/FieldValue.h"
#include "db/FilterText.h"

#include <algorithm>

namespace kront
{

namespace
{

const QString kPoverkiOpenFailure = QStringLiteral(
    "Не удалось открыть базу данных поверок! Устаните причину и перезапустите программу.");

QDate dateOrToday(const std::optional<QDate> &date, const QDate &today)
{
    return date && date->isValid() ? *date : today;
}

// The fields of a search row, in the order rowOf() reads them. They are read
// as stored: twenty years of verifications are tens of thousands of rows.
const QStringList &searchFields()
{
    static const QStringList fields = {QStringLiteral("PovNum"),
                                       QStringLiteral("Finished"),
                                       QStringLiteral("Methodic"),
                                       QStringLiteral("Kind"),
                                       QStringLiteral("TempPointsCount"),
                                       QStringLiteral("InstabilityCheckNeeded"),
                                       QStringLiteral("ID")};
    return fields;
}

SearchRow rowOf(const QVariantList &r)
{
    static const QString direct = QStringLiteral("Прямые измерения");
    static const QString electrode = QStringLiteral("Поэлектродное сличение");
    static const QString primary = QStringLiteral("Первичная");
    static const QString periodic = QStringLiteral("Периодическая");
    static const QString yes = QStringLiteral("Да");
    static const QString no = QStringLiteral("Нет");
    SearchRow row;
    row[scPovNum] = r[0].toString();
    const auto [date, time] = storedDateAndTime(r[1].toString());
    row[scFinished] = date.isValid() ? DateToStr(date) + u' ' + TimeToStr(time) : QString();
    row[scMethodic] = r[2].toInt() != 0 ? electrode : direct;
    row[scKind] = r[3].toInt() != 0 ? periodic : primary;
    row[scPointsCount] = r[4].isNull() ? QString() : QString::number(r[4].toInt());
    row[scInstability] = r[5].toInt() != 0 ? yes : no;
    row[scID] = QString::number(r[6].toInt());
    return row;
}

} // namespace

QString BuildSearchFilter(const SearchConditions &c, const QDate &today)
{
    QString filter = QStringLiteral("Finished IS NOT NULL");
    if (c.povNumChecked)
        filter += QStringLiteral(" AND PovNum = '") + quoteFilterText(c.povNum.trimmed()) + u'\'';
    if (c.dateFromChecked)
        filter += QStringLiteral(" AND Date(Finished) >= '") +
                  DateToStr(dateOrToday(c.dateFrom, today)) + u'\'';
    if (c.dateToChecked)
        filter += QStringLiteral(" AND Date(Finished) <= '") +
                  DateToStr(dateOrToday(c.dateTo, today)) + u'\'';
    if (c.povKindChecked && (c.povKindIndex == 0 || c.povKindIndex == 1))
        filter += QStringLiteral(" AND Kind = ") + QString::number(c.povKindIndex);
    if (c.methodicChecked && (c.methodicIndex == 0 || c.methodicIndex == 1))
        filter += QStringLiteral(" AND Methodic = ") + QString::number(c.methodicIndex);
    return filter;
}

const SearchRow &SearchHeaders()
{
    static const SearchRow headers = {QStringLiteral("№ поверки"),
                                      QStringLiteral("Дата завершения"),
                                      QStringLiteral("Методика"),
                                      QStringLiteral("Вид"),
                                      QStringLiteral("Количество значений температуры"),
                                      QStringLiteral("Пров. нестаб."),
                                      QStringLiteral("ID")};
    return headers;
}

namespace
{

// The finished verifications of `filter` in the grid's order (the index on
// Finished keeps it without reading the whole table), `limit` rows from
// `offset` on (-1: all).
std::optional<std::vector<SearchRow>> searchRows(Database &db, const QString &filter, int limit,
                                                 int offset)
{
    const auto rows =
        db.selectFields(tables::Poverki, searchFields(), filter, QStringLiteral("Finished, ID"),
                        limit, offset, kPoverkiOpenFailure, Database::ValueForm::AsStored);
    if (!rows)
        return std::nullopt;
    std::vector<SearchRow> result;
    result.reserve(rows->size());
    for (const QVariantList &r : *rows)
        result.push_back(rowOf(r));
    return result;
}

} // namespace

std::optional<std::vector<SearchRow>>
SearchFinishedPoverki(Database &db, const SearchConditions &conditions, const QDate &today)
{
    return searchRows(db, BuildSearchFilter(conditions, today), -1, 0);
}

std::optional<SearchResultPages>
SearchResultPages::open(Database &db, const SearchConditions &conditions, const QDate &today)
{
    SearchResultPages found(db, BuildSearchFilter(conditions, today));
    auto first = searchRows(db, found.filter, kPageSize, 0);
    if (!first)
        return std::nullopt;
    found.count = int(first->size());
    if (found.count == kPageSize) {
        // A count that fails (its message is shown) leaves the first page.
        const int counted = db.countRows(tables::Poverki, found.filter, kCountedAhead);
        found.count = std::max(counted, kPageSize);
        found.more = counted == kCountedAhead;
    }
    found.pages.emplace(0, std::move(*first));
    return found;
}

int SearchResultPages::countAll() const
{
    return std::max(db->countRows(tables::Poverki, filter, -1), count);
}

void SearchResultPages::setSize(int total)
{
    count = total;
    more = false;
}

const SearchRow &SearchResultPages::row(int i)
{
    static const SearchRow none;
    if (i < 0 || i >= count)
        return none;
    const int page = i / kPageSize;
    auto it = pages.find(page);
    if (it == pages.end()) {
        // A page that cannot be read (its message is shown) stays empty
        // rather than asking again on every repaint.
        auto rows = searchRows(*db, filter, kPageSize, page * kPageSize);
        it = pages.emplace(page, rows ? std::move(*rows) : std::vector<SearchRow>()).first;
    }
    const size_t k = size_t(i % kPageSize);
    return k < it->second.size() ? it->second[k] : none;
}

int SelectedPoverkaID(const QString &idCell)
{
    bool ok = false;
    const int id = idCell.trimmed().toInt(&ok);
    return ok && id > 0 ? id : 0;
}

} // namespace kront
