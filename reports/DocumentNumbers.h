#pragma once

#include "settings/ProgramSettings.h"

#include <QString>

#include <optional>

namespace kront
{

class Database;
class Dialogs;

// The name of a kind of document's counter on a shared server (DocCounters).
QString documentCounterName(DocumentKind kind);

// The number a new document gets under automatic numbering. On the table
// files: the next number of the home's settings, noted only once the document
// is printed. On a server shared by several installations: taken from the
// server's counter at once (a document not printed leaves its number unused),
// so that no two installations print the same number; a counter not yet on the
// server continues from the settings. nullopt when the server's counter could
// not be taken (message shown).
std::optional<QString> newDocumentNumber(Database &db, const ProgramSettings &settings,
                                         DocumentKind kind);

// A document was printed with the number `number` under automatic numbering:
// the settings, and on a server its counter too, move past it.
void documentNumberPrinted(Database &db, ProgramSettings &settings, DocumentKind kind, int number,
                           Dialogs &dialogs);

} // namespace kront
