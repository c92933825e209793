#pragma once

#include "sensors/SensorSet.h"

#include <QString>
#include <QStringList>

namespace kront
{

// Sensor set files (*.sst): plain Windows-1251 text with CR LF line ends.
// Line 1 is the kind keyword ("TP", "TP_PPO", "TP_PRO", "TS"); then one
// line per data row of grid 1 and (thermocouple kinds) grid 2, holding the
// texts of data columns 1..N each followed by "|"; then one empty line.
// A "|" inside a cell is not escaped.
namespace SensorSetFile
{

// The keyword of kind 1, 2, 3 or 5; empty for any other kind.
QString keyword(int kind);
// The kind of a keyword; -1 for a text that is none of the four.
int kindOfKeyword(const QString &keyword);

// The lines of the file (the last one empty).
QStringList lines(const SensorSet &set);

enum class ParseResult {
    Loaded,      // the set holds the file's rows
    WrongKind,   // a known keyword of another kind: nothing loaded
    UnknownKind, // no known keyword: nothing loaded
};

// Reads file lines into a set of the set's kind. Missing lines and missing
// fields leave their cells empty; the text after the last "|" of a line, if
// any, becomes the next cell.
ParseResult parse(const QStringList &fileLines, SensorSet &set);

// Replaces the file atomically; false with the reason in error.
bool write(const QString &path, const SensorSet &set, QString *error = nullptr);
// Reads a file; false with the reason in error when it cannot be read.
bool read(const QString &path, QStringList &fileLines, QString *error = nullptr);

} // namespace SensorSetFile
} // namespace kront
