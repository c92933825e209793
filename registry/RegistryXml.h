#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <optional>
#include <span>
#include <vector>

namespace kront
{

struct RegistryRecord;

// The namespace of the import format the program writes.
inline constexpr char kRegistryNamespace[] =
    "urn://fgis-arshin.gost.ru/module-verifications/import/2020-06-19";

// The import file of the records: UTF-8 with its declaration, every element in the format's
// namespace under the prefix "gost". The records must pass RegistryRecordError.
QByteArray RegistryXml(std::span<const RegistryRecord> records);

// The files of an export: `path` for the first kMaxResultsPerFile records, then "<name>-2.xml",
// "<name>-3.xml"... for each further part.
QStringList RegistryFileNames(const QString &path, std::size_t recordCount);

// Writes the records into their files, each replaced whole or not at all. Nothing is written
// when a record fails RegistryRecordError. The files written; nullopt with `error` set.
std::optional<QStringList>
WriteRegistryFiles(const QString &path, const std::vector<RegistryRecord> &records, QString &error);

} // namespace kront
