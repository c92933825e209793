#include "reports/ResultsSearch.h"
#include "tests/reports/ReportsFixture.h"

namespace kront::test
{
namespace
{

const QDate kToday(2026, 12, 10);

TEST(SearchFilter, ConditionsBuildTheirPartsInPanelOrder)
{
    struct Case {
        const char *what;
        SearchConditions c;
        QString filter;
    };
    SearchConditions none;
    SearchConditions number;
    number.povNumChecked = true;
    number.povNum = QStringLiteral("  17 ");
    SearchConditions quote;
    quote.povNumChecked = true;
    quote.povNum = QStringLiteral("O'1");
    SearchConditions emptyNumber;
    emptyNumber.povNumChecked = true;
    SearchConditions uncheckedNumber;
    uncheckedNumber.povNum = QStringLiteral("17");
    SearchConditions dates;
    dates.dateFromChecked = dates.dateToChecked = true;
    dates.dateFrom = QDate(2026, 1, 5);
    dates.dateTo = QDate(2026, 2, 7);
    SearchConditions emptyPickers;
    emptyPickers.dateFromChecked = emptyPickers.dateToChecked = true;
    SearchConditions kindNoItem;
    kindNoItem.povKindChecked = kindNoItem.methodicChecked = true;
    SearchConditions all = dates;
    all.povNumChecked = true;
    all.povNum = QStringLiteral("5");
    all.povKindChecked = all.methodicChecked = true;
    all.povKindIndex = 1;
    all.methodicIndex = 0;
    SearchConditions itemUnchecked;
    itemUnchecked.povKindIndex = 1;
    itemUnchecked.methodicIndex = 1;

    const Case cases[] = {
        {"nothing ticked", none, "Finished IS NOT NULL"},
        {"number trimmed", number, "Finished IS NOT NULL AND PovNum = '17'"},
        {"quote doubled", quote, "Finished IS NOT NULL AND PovNum = 'O''1'"},
        {"empty number", emptyNumber, "Finished IS NOT NULL AND PovNum = ''"},
        {"number not ticked", uncheckedNumber, "Finished IS NOT NULL"},
        {"dates", dates,
         "Finished IS NOT NULL AND Date(Finished) >= '05.01.2026' AND Date(Finished) <= "
         "'07.02.2026'"},
        {"empty pickers mean today", emptyPickers,
         "Finished IS NOT NULL AND Date(Finished) >= '10.12.2026' AND Date(Finished) <= "
         "'10.12.2026'"},
        {"kind and method without item", kindNoItem, "Finished IS NOT NULL"},
        {"items not ticked", itemUnchecked, "Finished IS NOT NULL"},
        {"all", all,
         "Finished IS NOT NULL AND PovNum = '5' AND Date(Finished) >= '05.01.2026' AND "
         "Date(Finished) <= '07.02.2026' AND Kind = 1 AND Methodic = 0"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(BuildSearchFilter(c.c, kToday), c.filter) << c.what;
}

class ResultsSearchDb : public ReportsFixture
{
protected:
    QStringList numbers(const SearchConditions &c)
    {
        const auto rows = SearchFinishedPoverki(db, c, kToday);
        EXPECT_TRUE(rows.has_value());
        QStringList out;
        for (const SearchRow &r : rows.value_or(std::vector<SearchRow>()))
            out << r[scPovNum];
        return out;
    }

    // n finished verifications numbered 0 to n-1 in one transaction, finished
    // in an order unlike their IDs; the odd ones by electrode comparison.
    void insertFinishedInScrambledOrder(int n)
    {
        std::vector<TableRow> rows;
        for (int i = 0; i < n; ++i) {
            const QDateTime finished(QDate(2026, 1, 1).addDays((i * 7) % n), QTime(12, 0));
            rows.push_back(finishedPoverkaRow(i, finished, i % 2));
        }
        ASSERT_TRUE(db.insertRows(tables::Poverki, rows));
    }
};

TEST_F(ResultsSearchDb, ListsFinishedVerificationsEarliestFirstWithTheirTexts)
{
    insertPoverka("late", QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59)), 1, 1, true, 3);
    insertPoverka("open", QDateTime(), 0, 0, false, 2);
    const int early =
        insertPoverka("early", QDateTime(QDate(2026, 12, 9), QTime(0, 0)), 0, 0, false, 5);
    insertPoverka("O'Neil", QDateTime(QDate(2026, 11, 1), QTime(8, 0)), 0, 1, false, 1);

    EXPECT_EQ(numbers({}), QStringList({"O'Neil", "early", "late"}));

    const auto rows = SearchFinishedPoverki(db, {}, kToday);
    ASSERT_TRUE(rows && rows->size() == 3);
    const SearchRow &e = (*rows)[1];
    EXPECT_EQ(e[scFinished], QStringLiteral("09.12.2026 00:00:00"));
    EXPECT_EQ(e[scMethodic], QStringLiteral("Прямые измерения"));
    EXPECT_EQ(e[scKind], QStringLiteral("Первичная"));
    EXPECT_EQ(e[scPointsCount], QStringLiteral("5"));
    EXPECT_EQ(e[scInstability], QStringLiteral("Нет"));
    EXPECT_EQ(SelectedPoverkaID(e[scID]), early);
    const SearchRow &l = (*rows)[2];
    EXPECT_EQ(l[scMethodic], QStringLiteral("Поэлектродное сличение"));
    EXPECT_EQ(l[scKind], QStringLiteral("Периодическая"));
    EXPECT_EQ(l[scInstability], QStringLiteral("Да"));

    SearchConditions sameDay;
    sameDay.dateFromChecked = sameDay.dateToChecked = true;
    sameDay.dateFrom = sameDay.dateTo = QDate(2026, 12, 9);
    EXPECT_EQ(numbers(sameDay), QStringList({"early", "late"}));

    SearchConditions quoted;
    quoted.povNumChecked = true;
    quoted.povNum = QStringLiteral("O'Neil");
    EXPECT_EQ(numbers(quoted), QStringList({"O'Neil"}));

    SearchConditions emptyNumber;
    emptyNumber.povNumChecked = true;
    EXPECT_TRUE(numbers(emptyNumber).isEmpty());

    SearchConditions periodicElectrode;
    periodicElectrode.povKindChecked = periodicElectrode.methodicChecked = true;
    periodicElectrode.povKindIndex = 1;
    periodicElectrode.methodicIndex = 1;
    EXPECT_EQ(numbers(periodicElectrode), QStringList({"late"}));
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(ResultsSearchDb, AnUnreadableTableShowsItsMessageAndListsNothing)
{
    KRONT_SKIP_ON_SERVER_STORE();
    QFile::remove(home.data("Poverki.cds"));
    QDir().mkdir(home.data("Poverki.cds")); // a folder cannot be opened as a table
    EXPECT_FALSE(SearchFinishedPoverki(db, {}, kToday).has_value());
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Не удалось открыть базу данных поверок! "
                                                  "Устаните причину и перезапустите программу."));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
}

TEST_F(ResultsSearchDb, PagesReadAsTheGridAsksGiveTheWholeListInOrder)
{
    // Four pages.
    const int page = SearchResultPages::kPageSize;
    const int n = 3 * page + 37;
    insertFinishedInScrambledOrder(n);
    const auto all = SearchFinishedPoverki(db, {}, kToday);
    auto pages = SearchResultPages::open(db, {}, kToday);
    ASSERT_TRUE(all && pages);
    ASSERT_EQ(pages->size(), n);
    for (int i : {n - 1, 0, page, page + 37, 1}) // all but the third page
        EXPECT_EQ(pages->row(i), (*all)[size_t(i)]) << i;
    EXPECT_EQ(pages->row(n), SearchRow{});

    SearchConditions electrode;
    electrode.methodicChecked = true;
    electrode.methodicIndex = 1;
    EXPECT_EQ(SearchResultPages::open(db, electrode, kToday)->size(), n / 2);

    // A page that can no longer be read is empty, with the table's message once.
    if (onServerStore())
        return; // a server's table cannot be taken away as a file is
    QFile::remove(home.data("Poverki.cds"));
    EXPECT_EQ(pages->row(2 * page + 5), SearchRow{});
    EXPECT_EQ(pages->row(2 * page + 6), SearchRow{});
    EXPECT_EQ(pages->row(page + 1), (*all)[size_t(page + 1)]); // read before
    EXPECT_EQ(dialogs.shown.size(), 1u);
    EXPECT_FALSE(SearchResultPages::open(db, {}, kToday).has_value());
}

TEST_F(ResultsSearchDb, ALongListIsCountedAFewPagesAheadAndToTheEndWhenAsked)
{
    const int ahead = SearchResultPages::kCountedAhead;
    const int n = ahead + 2 * SearchResultPages::kPageSize + 7;
    insertFinishedInScrambledOrder(n);
    const auto all = SearchFinishedPoverki(db, {}, kToday);
    auto pages = SearchResultPages::open(db, {}, kToday);
    ASSERT_TRUE(all && pages);
    ASSERT_EQ(int(all->size()), n);
    EXPECT_EQ(pages->size(), ahead);
    EXPECT_TRUE(pages->hasMore());
    EXPECT_EQ(pages->row(ahead), SearchRow{}); // not counted yet
    EXPECT_EQ(pages->countAll(), n);
    EXPECT_EQ(pages->size(), ahead); // until the count is taken
    pages->setSize(n);
    EXPECT_EQ(pages->size(), n);
    EXPECT_FALSE(pages->hasMore());
    for (int i : {n - 1, ahead, ahead - 1, 0})
        EXPECT_EQ(pages->row(i), (*all)[size_t(i)]) << i;

    // Fewer rows than counted ahead: the count is whole at once.
    SearchConditions electrode;
    electrode.methodicChecked = true;
    electrode.methodicIndex = 1;
    auto fewer = SearchResultPages::open(db, electrode, kToday);
    ASSERT_TRUE(fewer);
    EXPECT_EQ(fewer->size(), n / 2);
    EXPECT_FALSE(fewer->hasMore());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST(SearchSelection, AnEmptyOrBrokenIdCellSelectsNothing)
{
    EXPECT_EQ(SelectedPoverkaID(QString()), 0);
    EXPECT_EQ(SelectedPoverkaID(QStringLiteral("abc")), 0);
    EXPECT_EQ(SelectedPoverkaID(QStringLiteral("-3")), 0);
    EXPECT_EQ(SelectedPoverkaID(QStringLiteral("42")), 42);
}

} // namespace
} // namespace kront::test
