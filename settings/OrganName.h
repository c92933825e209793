#pragma once

#include <QString>
#include <QStringList>

namespace kront
{

// The name of the metrology body is kept in the settings file as one text
// with "|" between its lines.

// Each piece before a "|" is a line; the text after the last "|" is the
// last line when it is not empty.
QStringList organNameLines(const QString &stored);

// The lines joined with "|" (none after the last line; no lines give "").
QString organNameText(const QStringList &lines);

} // namespace kront
