#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace kront
{

// Plain text files the operator sees: Windows-1251, lines ended by CR LF.
// A file that starts with a UTF-8 byte order mark is read as UTF-8 and
// written back the same way; text the code page cannot hold is written as
// UTF-8 with a byte order mark rather than lost.
namespace AnsiTextFile
{

// Decodes file bytes (BOM check, then Windows-1251).
QString decodeBytes(const QByteArray &bytes, bool *wasUtf8 = nullptr);

// Encodes text for a file; utf8 forces UTF-8 with a byte order mark.
QByteArray encodeText(const QString &text, bool utf8);

// Splits text at CR LF, LF or CR. A final line break does not make an
// extra empty line.
QStringList splitLines(const QString &text);

// The lines of a file; std::nullopt when it does not exist or cannot be read.
std::optional<QStringList> readLines(const QString &path, QString *error = nullptr);

// Replaces the file atomically (temporary file, then rename) with the lines,
// each ended by CR LF. False with a reason in error when it fails.
bool writeLines(const QString &path, const QStringList &lines, QString *error = nullptr);

// Atomic replacement of a file's bytes.
bool writeBytes(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace AnsiTextFile
} // namespace kront
