#pragma once

#include <QString>
#include <memory>

namespace kront
{

class Database;
class Dialogs;
class TPoverka;

// Rebuilds a stored verification for printing: the Poverki row, its bunches
// (in slot order = order of the BunchesTP rows) with the reference and the
// verified sensors. Owns the bunches it creates. nullptr after a failure,
// whose message has been shown. A missing Poverki row leaves the verification
// at its defaults, the bunches still load.
std::unique_ptr<TPoverka> LoadPoverkaForProtocol(Database &db, Dialogs &dialogs, int poverkaID);

// The same for a verification whose Poverki row must exist (the documents and
// the command line): nullptr with a message when it is missing.
std::unique_ptr<TPoverka> LoadStoredPoverka(Database &db, Dialogs &dialogs, int poverkaID);

// "Не удалось извлечь данные поверяемого ТП, подключенного к 1-му входу, из
// базы данных! Операция отменена." and its wordings for inputs 2 to 4.
QString PovSensorReadFailureText(int input);

} // namespace kront
