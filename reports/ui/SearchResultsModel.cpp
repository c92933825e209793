#include "reports/ui/SearchResultsModel.h"

namespace kront
{

void SearchResultsModel::setRows(std::vector<SearchRow> newRows)
{
    beginResetModel();
    rows = std::move(newRows);
    if (rows.empty())
        rows.push_back(SearchRow{});
    endResetModel();
}

int SearchResultsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(rows.size());
}

int SearchResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kSearchColumnCount;
}

QVariant SearchResultsModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= int(rows.size()) ||
        index.column() >= kSearchColumnCount)
        return {};
    return rows[size_t(index.row())][size_t(index.column())];
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kSearchColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return SearchHeaders()[size_t(section)];
}

} // namespace kront
