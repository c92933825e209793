#pragma once

#include <QString>
#include <array>

namespace kront
{

class Database;

// The texts of one verified thermocouple's result for the conclusion page
// and the documents: [0] short NSH name of its type, [1] serial number,
// [2] class text ("1", "2", "3") or "Брак", [3] the conclusion ("Годен. " or
// "Не годен. " with the number of the document issued). A thermocouple whose
// class has not been determined gets empty [2] and [3]. False (texts
// untouched) when the input has no sensor or the rows cannot be read.
bool DBGetResultForTP(Database &db, int bunchID, int input, std::array<QString, 4> &texts);

} // namespace kront
