#include "reports/ResultsSearch.h"

#include "db/Database.h"
#include "db/FilterText.h"
#include "db/StringFunctions.h"

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

SearchRow rowOf(const QVariantMap &r)
{
    SearchRow row;
    row[scPovNum] = r.value(QStringLiteral("PovNum")).toString();
    row[scFinished] = DateTimeToStr(r.value(QStringLiteral("Finished")).toDateTime());
    row[scMethodic] = r.value(QStringLiteral("Methodic")).toInt() != 0
                          ? QStringLiteral("Поэлектродное сличение")
                          : QStringLiteral("Прямые измерения");
    row[scKind] = r.value(QStringLiteral("Kind")).toInt() != 0 ? QStringLiteral("Периодическая")
                                                               : QStringLiteral("Первичная");
    const QVariant points = r.value(QStringLiteral("TempPointsCount"));
    row[scPointsCount] = points.isNull() ? QString() : QString::number(points.toInt());
    row[scInstability] = r.value(QStringLiteral("InstabilityCheckNeeded")).toBool()
                             ? QStringLiteral("Да")
                             : QStringLiteral("Нет");
    row[scID] = QString::number(r.value(QStringLiteral("ID")).toInt());
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

std::optional<std::vector<SearchRow>>
SearchFinishedPoverki(Database &db, const SearchConditions &conditions, const QDate &today)
{
    // The index on Finished keeps the order without reading the whole table.
    const auto rows = db.select(QStringLiteral("Poverki"), BuildSearchFilter(conditions, today),
                                QStringLiteral("Finished, ID"), -1, kPoverkiOpenFailure);
    if (!rows)
        return std::nullopt;
    std::vector<SearchRow> result;
    result.reserve(rows->size());
    for (const QVariantMap &r : *rows)
        result.push_back(rowOf(r));
    return result;
}

int SelectedPoverkaID(const QString &idCell)
{
    bool ok = false;
    const int id = idCell.trimmed().toInt(&ok);
    return ok && id > 0 ? id : 0;
}

} // namespace kront
