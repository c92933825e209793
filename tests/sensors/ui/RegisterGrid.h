#pragma once

#include "db/Database.h"

#include <QTableWidget>

#include <algorithm>

namespace kront::test
{

// A stand-in for the register grid of the settings page: SerialNum, NSHType,
// TypeName and ProdYear of every reference thermocouple, at least nine rows.
inline void showRegisterIn(QTableWidget &grid, Database &db)
{
    const auto rows = db.select(tables::EtalSens, QString());
    grid.setRowCount(std::max<int>(9, int(rows->size())));
    grid.clearContents();
    for (int r = 0; r < int(rows->size()); ++r) {
        const char *fields[] = {"SerialNum", "NSHType", "TypeName", "ProdYear"};
        for (int c = 0; c < 4; ++c)
            grid.setItem(r, c,
                         new QTableWidgetItem((*rows)[size_t(r)].value(fields[c]).toString()));
    }
}

} // namespace kront::test
