#pragma once

#include "sensors/SensorGridLayout.h"

#include <QChar>
#include <QString>

namespace kront
{

// What a grid cell lets the operator type, character by character.
// Refused characters are dropped silently.
struct CellInputRule {
    enum class Chars {
        Any,    // every character
        Text,   // every character that sensor set files (Windows-1251) can hold, but "|",
                // which separates the cells of a row there and in the row buffer: a cell
                // holding either would not come back from a file as it was typed
        Digits, // "0".."9"
        Set,    // the characters of `set` only
        Number, // digits, ",", ".", "-", "E", "e" and the Cyrillic "Е", "е"
        None,   // nothing is typed (the cell is chosen from a list)
    };
    Chars chars = Chars::Any;
    int maxLength = 0; // 0: no limit
    QString set;       // for Chars::Set
};

// Backspace, Tab, Enter and Escape (codes 8, 9, 13, 27) always pass.
bool IsAlwaysPassingKey(QChar ch);

// Whether ch may be typed into a cell whose text, after the character has
// replaced any selected text, would be `kept` followed by ch: the character
// class must match and kept must be shorter than the limit.
bool AcceptsTypedChar(const CellInputRule &rule, const QString &kept, QChar ch);

// The rule of a column of the connected-sensors grids. In the reference row ("ОБР")
// "Класс" holds the reference's rank, 0 to 3.
CellInputRule SensorCellRule(const SensorColumnInfo &column, bool referenceRow = false);

} // namespace kront
