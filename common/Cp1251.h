#pragma once

#include <QByteArray>
#include <QString>

namespace kront
{

// The Windows-1251 code page of the files the operator sees (INI files,
// sensor set files). Qt decodes it through ICU when the library has it; the
// built-in table below is used otherwise, so that the program reads and
// writes the same bytes on every build.
namespace Cp1251
{

QString decode(const QByteArray &bytes);

// Characters outside the code page become '?'.
QByteArray encode(const QString &text);

// True when every character of the text has a Windows-1251 byte.
bool canEncode(const QString &text);

// The built-in table alone (for tests and for builds without ICU).
QString decodeWithTable(const QByteArray &bytes);
QByteArray encodeWithTable(const QString &text);

// Whether Qt itself can convert Windows-1251 on this build.
bool systemCodecAvailable();

} // namespace Cp1251
} // namespace kront
