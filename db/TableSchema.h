#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <span>

namespace kront
{

// Field types of the table store.
enum class FieldType {
    AutoInc,  // 32-bit key assigned by the store, never reused
    Integer,  // 32-bit signed
    SmallInt, // 16-bit signed
    Text,     // at most `size` characters; longer values are cut
    Float,    // 64-bit double
    Boolean,  // stored 0/1
    DateTime, // local time, stored as text "yyyy-MM-dd HH:mm:ss.zzz"
    Memo      // text of any length
};

struct FieldDef {
    const char *name;
    FieldType type;
    int size = 0; // characters, Text only
};

struct IndexDef {
    const char *name;
    const char *fields; // comma-separated field names
};

// The one description of a table: file name, columns in order, indexes and
// the messages shown when its file cannot be opened. Table creation, inserts,
// reads and the filter compiler all work from it.
struct TableSchema {
    const char *name; // table name and file base name (<name>.cds)
    std::span<const FieldDef> fields;
    std::span<const IndexDef> indexes;      // the indexes the table declares
    std::span<const IndexDef> queryIndexes; // further indexes the queries need
    const char *startupFailureText;         // start-up check
    const char *openFailureText;            // every operation except inserts
    const char *insertFailureText;          // inserts

    QString tableName() const { return QString::fromLatin1(name); }
    QString fileName() const { return tableName() + QStringLiteral(".cds"); }
    int fieldCount() const { return int(fields.size()); }
    bool hasId() const { return !fields.empty() && fields[0].type == FieldType::AutoInc; }
    // Index of the field named so, letters in any case; -1 when none.
    int fieldIndex(QStringView fieldName) const;
    QString fieldName(int index) const { return QString::fromLatin1(fields[index].name); }
};

// Indexes earlier versions of the program made on the table and a later
// index now covers: each costs a page of every write and serves no query, so
// they are dropped when the table is opened.
QStringList retiredIndexes(const TableSchema &schema);

namespace tables
{
extern const TableSchema Poverki;
extern const TableSchema EtalSens;
extern const TableSchema Sensors;
extern const TableSchema BunchesTP;
extern const TableSchema ResultsTP;
extern const TableSchema Documents;
extern const TableSchema IzvReasons;      // reasons of unfitness of a notice (Documents row DocID)
extern const TableSchema Conditions;      // conditions and verifier of a verification (PoverkaID)
extern const TableSchema SensorTypes;     // registry data of the thermocouple types (TypeName)
extern const TableSchema Means;           // the installation's means of verification
extern const TableSchema RegistryExports; // thermocouples written to registry import files
extern const TableSchema Installations;   // the installation of a verification (PoverkaID)
extern const TableSchema DocCounters;     // next document numbers, on a shared server only
} // namespace tables

// The six tables in the order of the start-up check.
const std::array<const TableSchema *, 6> &allTables();
// The tables added to the six, created by the start-up check after them when
// missing (a home made by an older program has none of them).
using AddedTables = std::array<const TableSchema *, 6>;
const AddedTables &addedTables();
// The tables a server shared by several installations has besides those,
// created by the start-up check on the server only.
const std::array<const TableSchema *, 1> &serverOnlyTables();
// The table (of the six, the added or the server's own) with exactly this name; nullptr
// for any other name.
const TableSchema *findTable(const QString &name);

} // namespace kront
