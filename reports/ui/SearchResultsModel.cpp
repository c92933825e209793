#include "reports/ui/SearchResultsModel.h"

#include <QApplication>
#include <QStyle>

namespace kront
{

void SearchResultsModel::setResult(std::optional<SearchResultPages> result)
{
    beginResetModel();
    found = std::move(result);
    endResetModel();
}

void SearchResultsModel::setMarked(QSet<int> poverkaIDs)
{
    marked = std::move(poverkaIDs);
    if (rowCount() > 0)
        Q_EMIT dataChanged(index(0, scPovNum), index(rowCount() - 1, scPovNum));
}

bool SearchResultsModel::isMarked(int r) const
{
    return !marked.isEmpty() && marked.contains(SelectedPoverkaID(row(r)[scID]));
}

const SearchRow &SearchResultsModel::row(int r) const
{
    static const SearchRow none;
    return found ? found->row(r) : none;
}

int SearchResultsModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return found && found->size() > 0 ? found->size() : 1;
}

bool SearchResultsModel::canFetchMore(const QModelIndex &parent) const
{
    return !parent.isValid() && found && found->hasMore();
}

void SearchResultsModel::fetchMore(const QModelIndex &parent)
{
    if (!canFetchMore(parent))
        return;
    const int before = found->size();
    const int total = found->countAll();
    if (total > before)
        beginInsertRows(QModelIndex(), before, total - 1);
    found->setSize(total);
    if (total > before)
        endInsertRows();
}

int SearchResultsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : kSearchColumnCount;
}

QVariant SearchResultsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.column() >= kSearchColumnCount)
        return {};
    if (role == Qt::DisplayRole)
        return row(index.row())[size_t(index.column())];
    if (index.column() != scPovNum || !isMarked(index.row()))
        return {};
    if (role == Qt::DecorationRole)
        return QApplication::style()->standardIcon(QStyle::SP_DialogApplyButton);
    if (role == Qt::ToolTipRole)
        return QStringLiteral("Выгружена во ФГИС «Аршин»");
    return {};
}

QVariant SearchResultsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kSearchColumnCount)
        return QAbstractTableModel::headerData(section, orientation, role);
    return SearchHeaders()[size_t(section)];
}

} // namespace kront
