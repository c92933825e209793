#pragma once

#include "reports/ResultsSearch.h"

#include <QAbstractTableModel>

namespace kront
{

// The rows of the results grid. The grid asks only for the cells it shows,
// so twenty years of verifications appear as fast as a handful.
class SearchResultsModel : public QAbstractTableModel
{
    Q_OBJECT
public:
    using QAbstractTableModel::QAbstractTableModel;

    // The grid's rows; an empty result leaves one empty row, as the grid
    // has always shown.
    void setRows(std::vector<SearchRow> rows);
    const SearchRow &row(int r) const { return rows[size_t(r)]; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    std::vector<SearchRow> rows{SearchRow{}};
};

} // namespace kront
