#pragma once

#include "procedure/PoverkaView.h"

// The order in which the inputs of BI1 are read during a step, derived from the reading grid
// alone: an empty data cell is a reading still to take, "XXXXXXXXX" a reading not taken there.
namespace kront
{

inline const QString kNoReadingCell = QStringLiteral("XXXXXXXXX");

// Switch position codes of the measuring procedure.
constexpr int kPosDirectReference = 0;    // "T, прямое"
constexpr int kPosZero = 5;               // "0"
constexpr int kPosElectrodeReference = 6; // "T, поэлектродное"

struct ReadingCursor {
    bool current = false; // a cell for the reading now being taken exists
    int measNum = 0;      // reading number (series) of the reading now taken, 1..4
    int col = 0, row = 0; // its grid cell
    bool found = false;   // a next reading exists
    int nextCol = 0, nextRow = 0;
    int nextPosition = 0; // switch position of the next reading
};

// GetMeasNumAndNextInput over a channel's grid. methodic 0: direct measurement (positions
// 0..4), 1: electrode comparison (positions 6..14).
ReadingCursor GetMeasNumAndNextInput(const ReadingGridText &grid, int methodic, int position);

// Element of a reading block that a switch position fills: 0 reference, 1..4 e1 of inputs
// 1..4, 5..8 e2 of inputs 1..4; -1 for a position that is not read.
int ReadingElement(int methodic, int position);

// Position of the reference input of a method (0 direct, 6 electrode comparison).
inline int ReferencePosition(int methodic)
{
    return methodic == 0 ? kPosDirectReference : kPosElectrodeReference;
}
inline bool IsReferencePosition(int position)
{
    return position == kPosDirectReference || position == kPosElectrodeReference;
}
inline bool IsInputPosition(int position)
{
    return (position >= 1 && position <= 4) || (position >= 7 && position <= 14);
}

} // namespace kront
