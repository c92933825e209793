#pragma once

#include <QString>
#include <optional>

namespace kront
{

class Database;
class Dialogs;

// The reasons of unfitness of the thermocouple at input `input` (1..4) of
// bunch `bunchID` of a finished verification, built from its stored results
// (NoticeReasonsText) with the program's ReduceResultClass. Empty when the
// results cannot be read (a table that cannot be opened shows its message).
QString NoticeReasonsFor(Database &db, Dialogs &dialogs, int poverkaID, int bunchID, int input,
                         bool reduceResultClass);

// Stores the reasons printed on notice `docID` (its Documents row) in
// IzvReasons, creating the table file when missing. False after the table's
// message when nothing was stored.
bool StoreNoticeReasons(Database &db, Dialogs &dialogs, int docID, const QString &reasons);

// The reasons stored with notice `docID`; nullopt when none were (a notice
// printed before they were stored, or a home without the table file).
std::optional<QString> StoredNoticeReasons(Database &db, int docID);

} // namespace kront
