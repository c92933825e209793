#pragma once

#include "reports/ResultsSearch.h"

#include <QAbstractTableModel>
#include <QSet>

namespace kront
{

// The rows of the results grid. The grid asks only for the cells it shows,
// and the rows are read and counted a page at a time, so twenty years of
// verifications appear as fast as a handful.
class SearchResultsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The rows found; none leaves one empty row, as the grid has always shown.
    void setResult(std::optional<SearchResultPages> found);
    // The verifications exported to the registry: their number cell is marked.
    void setMarked(QSet<int> poverkaIDs);
    bool isMarked(int row) const;
    // Row r of the grid (an empty row when there is none).
    const SearchRow &row(int r) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    // The rows past those counted when the search was opened, counted when
    // the grid reaches the end of them.
    bool canFetchMore(const QModelIndex &parent) const override;
    void fetchMore(const QModelIndex &parent) override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    // Pages are read while the grid paints, through the const interface.
    mutable std::optional<SearchResultPages> found;
    QSet<int> marked;
};

} // namespace kront
