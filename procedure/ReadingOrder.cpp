#include "procedure/ReadingOrder.h"

namespace kront
{
namespace
{

bool isEmptyCell(const ReadingGridText &grid, int col, int row)
{
    return grid[col][row].isEmpty();
}

// First empty row of a column in the given direction, skipping one row; 0 when none.
int scanColumn(const ReadingGridText &grid, int col, bool downwards, int skipRow)
{
    for (int i = 0; i < 5; ++i) {
        const int row = downwards ? 1 + i : 5 - i;
        if (row != skipRow && isEmptyCell(grid, col, row))
            return row;
    }
    return 0;
}

ReadingCursor directOrder(const ReadingGridText &grid, int position)
{
    ReadingCursor c;
    if (position < 0 || position > 4)
        return c;
    const int row = position + 1;
    int q = 0;
    for (int col = 1; col <= 4 && q == 0; ++col)
        if (isEmptyCell(grid, col, row))
            q = col;
    if (q == 0)
        return c;
    c.current = true;
    c.measNum = q;
    c.col = q;
    c.row = row;
    if (row == 1 && q == 4)
        return c; // the last reference reading completes the channel's step
    int nextCol = q;
    int nextRow = scanColumn(grid, q, q % 2 == 1, row);
    if (nextRow == 0 && q < 4) {
        nextCol = q + 1;
        nextRow = scanColumn(grid, nextCol, q == 2, 0);
    }
    if (nextRow == 0)
        return c;
    c.found = true;
    c.nextCol = nextCol;
    c.nextRow = nextRow;
    c.nextPosition = nextRow - 1;
    return c;
}

// Cell of an electrode-comparison position: row and the columns of its series 1 and 2.
bool electrodeCell(int position, int &row, int &col1, int &col2)
{
    if (position == kPosElectrodeReference) {
        row = 1, col1 = 1, col2 = 3;
        return true;
    }
    if (position < 7 || position > 14)
        return false;
    const int k = (position - 7) / 2 + 1;
    const bool e1 = (position - 7) % 2 == 0;
    row = k + 1;
    col1 = e1 ? 1 : 2;
    col2 = e1 ? 3 : 4;
    return true;
}

ReadingCursor electrodeOrder(const ReadingGridText &grid, int position)
{
    ReadingCursor c;
    int row = 0, col1 = 0, col2 = 0;
    if (!electrodeCell(position, row, col1, col2))
        return c;
    const int col = isEmptyCell(grid, col1, row) ? col1 : col2;
    if (!isEmptyCell(grid, col, row))
        return c;
    c.current = true;
    c.col = col;
    c.row = row;
    c.measNum = col <= 2 ? 1 : 2;
    auto skip = [&](int cc, int rr) { return cc == col && rr == row; };
    auto take = [&](int cc, int rr) {
        c.found = true;
        c.nextCol = cc;
        c.nextRow = rr;
        if (rr == 1)
            c.nextPosition = kPosElectrodeReference;
        else
            c.nextPosition = 7 + 2 * (rr - 2) + ((cc == 1 || cc == 3) ? 0 : 1);
    };
    if (c.measNum == 1) {
        for (int rr = 1; rr <= 5; ++rr)
            for (int cc : {1, 2})
                if (!skip(cc, rr) && isEmptyCell(grid, cc, rr)) {
                    take(cc, rr);
                    return c;
                }
    }
    for (int rr = 5; rr >= 1; --rr)
        for (int cc : {4, 3})
            if (!skip(cc, rr) && isEmptyCell(grid, cc, rr)) {
                take(cc, rr);
                return c;
            }
    return c;
}

} // namespace

ReadingCursor GetMeasNumAndNextInput(const ReadingGridText &grid, int methodic, int position)
{
    return methodic == 0 ? directOrder(grid, position) : electrodeOrder(grid, position);
}

int ReadingElement(int methodic, int position)
{
    if (methodic == 0)
        return position >= 0 && position <= 4 ? position : -1;
    if (position == kPosElectrodeReference)
        return 0;
    if (position < 7 || position > 14)
        return -1;
    const int k = (position - 7) / 2 + 1;
    return (position - 7) % 2 == 0 ? k : k + 4;
}

} // namespace kront
