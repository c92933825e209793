#pragma once

#include "reports/DocumentTypes.h"

#include <QDateTime>
#include <QVariantList>
#include <QVariantMap>

namespace kront
{

class Database;
class TableRow;
class Dialogs;
class ProgramSettings;

// Text columns of Documents and BunchesTP hold at most this many characters
// of a document number; a longer typed number is kept as it is stored.
inline constexpr int kDocNumLength = 8;

// The kind word of a verification: "периодической" or "первичной".
QString PovKindWord(bool periodic);

// The NSH codes whose certificates print the page of additional parameters.
bool NeedsAdditionalParams(const QString &nshLatinCode);

// A new document for a sensor: the settings' organisation name (in single
// quotes) and head's position, the names of Config/Prot.INI, today's date as
// "dd.mm.yyyy", the sensor's data. Numbers are left to the numbering.
TEmittedDoc NewEmittedDoc(const TSensOpts &sensor, bool periodic, const QDate &today,
                          const ProgramSettings &settings);

// Fills a document from its stored Documents row (a reprint).
TEmittedDoc EmittedDocFromRow(const QVariantMap &row);

// The Documents row of a document (ID left to the store).
TableRow DocumentRowValues(const TEmittedDoc &doc, bool notice, bool periodic,
                           const QDateTime &created);

// Inserts the row; the ID the store gave it, -1 when not stored.
int InsertDocumentRow(Database &db, const TEmittedDoc &doc, bool notice, bool periodic,
                      const QDateTime &created);

// Links an issued document to input `inputNum` of the bunch row (BunchID,
// PoverkaID, PovSensorID<input> = SensorID): DocNumInp<input> and
// EmittedDocIDInp<input>. A missing row changes nothing (false).
bool DBUpdateBunchesTPDocument(Database &db, int bunchID, int poverkaID, int docID,
                               const QString &docNum, int sensorID, int inputNum);

} // namespace kront
