#pragma once

#include <QDate>
#include <QString>
#include <array>
#include <optional>
#include <unordered_map>
#include <vector>

namespace kront
{

class Database;

// The conditions of the results search panel ("Параметры поиска"). Each
// condition counts only when its check box is ticked.
struct SearchConditions {
    bool povNumChecked = false;
    QString povNum; // as typed; trimmed when the filter is built
    bool dateFromChecked = false;
    std::optional<QDate> dateFrom; // empty: the picker holds no date
    bool dateToChecked = false;
    std::optional<QDate> dateTo;
    bool povKindChecked = false;
    int povKindIndex = -1; // 0 "Первичная", 1 "Периодическая", -1 none selected
    bool methodicChecked = false;
    int methodicIndex = -1; // 0 "Прямые измерения", 1 "Поэлектродное сличение", -1 none
};

// The filter of the finished verifications passing the conditions:
// "Finished IS NOT NULL" and the parts of the ticked conditions in panel
// order. The typed number is trimmed and its quotes doubled. A ticked date
// condition whose picker holds no date uses `today` (the picker then shows
// today as well, so the operator sees the date searched for). A ticked kind
// or method without a selected item adds nothing.
QString BuildSearchFilter(const SearchConditions &conditions, const QDate &today);

// Columns of the result grid StringGridSearch.
enum SearchColumn {
    scPovNum = 0,
    scFinished = 1,
    scMethodic = 2,
    scKind = 3,
    scPointsCount = 4,
    scInstability = 5,
    scID = 6, // hidden: the hand-over to the protocol and the documents
    kSearchColumnCount = 7,
};

using SearchRow = std::array<QString, kSearchColumnCount>;

// The header texts of the result grid.
const SearchRow &SearchHeaders();

// The rows of the finished verifications passing the conditions, earliest
// finish first. std::nullopt when Poverki cannot be opened (the message is
// shown) or the filter is refused.
std::optional<std::vector<SearchRow>>
SearchFinishedPoverki(Database &db, const SearchConditions &conditions, const QDate &today);

// The same rows read a page at a time as the grid asks for them. Opening
// counts only a few pages ahead, so a search over twenty years shows its
// first screen as fast as one over a month; the rest is counted when the
// grid is scrolled to the end of the rows counted.
class SearchResultPages
{
public:
    static constexpr int kPageSize = 50;
    static constexpr int kCountedAhead = 4 * kPageSize;

    // Reads the first page and counts up to kCountedAhead rows; std::nullopt as above.
    static std::optional<SearchResultPages> open(Database &db, const SearchConditions &conditions,
                                                 const QDate &today);

    // The rows counted so far: all of them unless hasMore().
    int size() const { return count; }
    // Whether rows follow the ones counted.
    bool hasMore() const { return more; }
    // All the rows counted (size() when the count fails: its message is
    // shown); the size stays until setSize().
    int countAll() const;
    // Takes the whole count: size() becomes `total` and hasMore() false.
    void setSize(int total);
    // Row i, its page read when first asked for; an empty row out of range
    // or when its page cannot be read (the message is shown once).
    const SearchRow &row(int i);

private:
    SearchResultPages(Database &database, QString condition)
        : db(&database), filter(std::move(condition))
    {
    }

    Database *db;
    QString filter;
    int count = 0;
    bool more = false;
    std::unordered_map<int, std::vector<SearchRow>> pages;
};

// The verification ID of a grid row's hidden cell; 0 for an empty or
// unreadable cell (no verification selected).
int SelectedPoverkaID(const QString &idCell);

} // namespace kront
