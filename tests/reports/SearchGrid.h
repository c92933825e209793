#pragma once

#include "reports/ui/PanelSearch.h"

#include <QAbstractItemModel>
#include <QStringList>
#include <QTableView>

namespace kront::test
{

// The texts of one column of the search panel's grid, top to bottom.
inline QStringList searchGridColumn(const PanelSearch &panel, int column)
{
    QStringList out;
    const QAbstractItemModel *m = panel.grid()->model();
    for (int r = 0; r < m->rowCount(); ++r)
        out << m->index(r, column).data().toString();
    return out;
}

} // namespace kront::test
