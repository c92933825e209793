#include "procedure/ReadingOrder.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

// A grid planned for a step: reference row and the rows of the given inputs empty.
ReadingGridText plannedGrid(int methodic, std::initializer_list<int> inputs)
{
    ReadingGridText g;
    for (int col = 1; col <= 4; ++col)
        for (int row = 1; row <= 5; ++row)
            g[col][row] = kNoReadingCell;
    for (int col = 1; col <= 4; ++col) {
        if (methodic == 0 || col == 1 || col == 3)
            g[col][1].clear();
        for (int input : inputs)
            g[col][input + 1].clear();
    }
    return g;
}

QString positionName(int p)
{
    if (p == 0 || p == 6)
        return QStringLiteral("R");
    if (p >= 1 && p <= 4)
        return QString::number(p);
    const int k = (p - 7) / 2 + 1;
    return ((p - 7) % 2 == 0 ? QStringLiteral("+") : QStringLiteral("-")) + QString::number(k);
}

// Plays a whole step from the reference: the positions read, with the series of each reading
// ("R1 11 31 ..."), and checks that every planned cell is filled exactly once.
QString play(int methodic, std::initializer_list<int> inputs)
{
    ReadingGridText g = plannedGrid(methodic, inputs);
    int position = ReferencePosition(methodic);
    QStringList out;
    for (int guard = 0; guard < 40; ++guard) {
        const ReadingCursor c = GetMeasNumAndNextInput(g, methodic, position);
        if (!c.current)
            return out.join(u' ') + QStringLiteral(" <no current cell>");
        EXPECT_TRUE(g[c.col][c.row].isEmpty());
        g[c.col][c.row] = QStringLiteral("1,00");
        out << positionName(position) + QString::number(c.measNum);
        if (!c.found)
            break;
        position = c.nextPosition;
    }
    for (int col = 1; col <= 4; ++col)
        for (int row = 1; row <= 5; ++row)
            EXPECT_FALSE(g[col][row].isEmpty()) << "cell " << col << "," << row << " left";
    return out.join(u' ');
}

} // namespace

TEST(ReadingOrder, DirectAndElectrodeOrders)
{
    struct Case {
        int methodic;
        std::initializer_list<int> inputs;
        const char *order;
    };
    const Case cases[] = {
        // forward, back, forward, back; the turning input read twice
        {0, {1, 2, 3, 4}, "R1 11 21 31 41 42 32 22 12 R2 R3 13 23 33 43 44 34 24 14 R4"},
        // inputs 1 and 3 only: ОБР, 1, 3 / 3, 1, ОБР / ОБР, 1, 3 / 3, 1, ОБР
        {0, {1, 3}, "R1 11 31 32 12 R2 R3 13 33 34 14 R4"},
        {0, {4}, "R1 41 42 R2 R3 43 44 R4"},
        // electrode comparison with one sensor on input 2: ОБР, +2, −2, then −2, +2, ОБР
        {1, {2}, "R1 +21 -21 -22 +22 R2"},
        {1, {1, 2}, "R1 +11 -11 +21 -21 -22 +22 -12 +12 R2"},
        {1, {1, 2, 3, 4}, "R1 +11 -11 +21 -21 +31 -31 +41 -41 -42 +42 -32 +32 -22 +22 -12 +12 R2"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(play(c.methodic, c.inputs), QString::fromLatin1(c.order))
            << "method " << c.methodic;
}

TEST(ReadingOrder, CellsAndNextPositionsOfTheElectrodeComparison)
{
    ReadingGridText g = plannedGrid(1, {3});
    ReadingCursor c = GetMeasNumAndNextInput(g, 1, 6);
    EXPECT_EQ(c.col, 1);
    EXPECT_EQ(c.row, 1);
    EXPECT_TRUE(c.found);
    EXPECT_EQ(c.nextPosition, 11); // +3
    g[1][1] = QStringLiteral("1");
    c = GetMeasNumAndNextInput(g, 1, 11);
    EXPECT_EQ(c.row, 4);
    EXPECT_EQ(c.nextPosition, 12); // −3
    EXPECT_EQ(c.nextCol, 2);
}

TEST(ReadingOrder, PositionsWithoutACellTakeNoReading)
{
    const ReadingGridText g = plannedGrid(0, {1});
    EXPECT_FALSE(GetMeasNumAndNextInput(g, 0, 3).current);   // input 3 has no sensor
    EXPECT_FALSE(GetMeasNumAndNextInput(g, 0, 5).current);   // "0"
    EXPECT_FALSE(GetMeasNumAndNextInput(g, 1, 5).current);   // "0"
    EXPECT_FALSE(GetMeasNumAndNextInput(g, 1, 200).current); // undefined code
}

TEST(ReadingOrder, ReadingElementsOfThePositions)
{
    const int direct[] = {0, 1, 2, 3, 4, -1};
    for (int p = 0; p <= 5; ++p)
        EXPECT_EQ(ReadingElement(0, p), direct[p]) << p;
    const int electrode[] = {0, 1, 5, 2, 6, 3, 7, 4, 8};
    for (int p = 6; p <= 14; ++p)
        EXPECT_EQ(ReadingElement(1, p), electrode[p - 6]) << p;
    EXPECT_EQ(ReadingElement(1, 0), -1);
    EXPECT_EQ(ReadingElement(0, 6), -1);
}

} // namespace kront::test
