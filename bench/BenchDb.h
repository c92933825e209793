#pragma once

#include "bench/ConsoleDialogs.h"
#include "bench/FlatTable.h"
#include "bench/Harness.h"
#include "db/Database.h"
#include "db/TableSchema.h"

#include <QDateTime>

// Shared pieces of the record-operation benchmarks.
namespace kront::bench
{

// The table files of the home under test (the store its settings name).
inline Database &embeddedDatabase()
{
    static ConsoleDialogs dialogs;
    static Database db(dialogs);
    return db;
}

inline Database *&usedDatabase()
{
    static Database *db = nullptr;
    return db;
}

// The Database the running benchmark measures: the home's table files, or
// its tables on the server while a server benchmark runs.
inline Database &database()
{
    return usedDatabase() ? *usedDatabase() : embeddedDatabase();
}

// Makes database() give db (nullptr: the table files).
inline void useDatabase(Database *db)
{
    usedDatabase() = db;
}

inline int field(const TableSchema &s, const char *name)
{
    return s.fieldIndex(QString::fromLatin1(name));
}

// The baseline's flat table of the home, read whole from its file.
inline bool loadFlat(FlatTable &t, const HomeUnderTest &home, const TableSchema &s)
{
    return t.load(home.flat(s.name));
}

inline bool saveFlat(const FlatTable &t, const HomeUnderTest &home, const TableSchema &s)
{
    return t.save(home.flat(s.name));
}

// The row holding that ID, found by walking the table; -1 when none.
inline int flatRowById(const FlatTable &t, qint64 id)
{
    for (int r = 0; r < t.rowCount(); ++r) {
        if (t.integer(r, 0) == id)
            return r;
    }
    return -1;
}

inline double msecsOf(const QDateTime &dt)
{
    return double(dt.toMSecsSinceEpoch());
}

} // namespace kront::bench
