#pragma once

#include <QString>

namespace kront
{

struct RegistryRecord;

// The most results one import file holds; a larger export is split into several files.
constexpr int kMaxResultsPerFile = 5000;

// What in the record the import file cannot hold, named for the operator (the first found):
// a text outside its length limits, a cipher outside its pattern, a date missing or a valid-until
// date not after the verification date, reasons on a fit or none on an unfit result. Empty when
// the record can be written as it is.
QString RegistryRecordError(const RegistryRecord &record);

} // namespace kront
