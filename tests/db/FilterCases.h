#pragma once

// The rows the filter tests run on and the filters with how many rows each
// passes: one fixture for the dialect's own test and for the comparison of
// the two stores.

#include "db/Database.h"
#include "db/TableRow.h"
#include "db/TableSchema.h"

#include <QDateTime>

namespace kront::test
{

struct FilterCase {
    const char *table;
    const char *filter;
    int expected;
};

// Poverki IDs 2..5 and Sensors IDs 2..8; GetDate() is 10.12.2026 09:00.
inline void insertFilterRows(Database &db)
{
    const auto at = [](int d, int m, int y, int h = 0, int min = 0, int s = 0) {
        return QDateTime(QDate(y, m, d), QTime(h, min, s));
    };
    const auto poverka = [&db](const char *povNum, const QDateTime &started,
                               const QDateTime &finished, int kind) {
        TableRow row(tables::Poverki);
        row.setFields({{"PovNum", QString::fromUtf8(povNum)},
                       {"Started", started},
                       {"Finished", finished},
                       {"Kind", kind},
                       {"CurrPovState", "Initiation;0;0;1;"}});
        return db.DBPoverkaInsert(row);
    };
    poverka("A'1", at(10, 12, 2026, 8, 30), {}, 0);
    db.DBPoverkaUpdateState(2, "MainCycle;1;3;5;");
    poverka("a'1", at(9, 12, 2026, 23, 59, 59), at(9, 12, 2026, 23, 59, 59), 1);
    db.DBPoverkaUpdateState(3, "Calculation;0;1;1;");
    poverka("B-2", at(1, 12, 2026, 10), at(2, 12, 2026, 0, 0, 0), 1);
    poverka("Прм 5", at(11, 12, 2026, 0, 0, 1), {}, 0);
    // Sensors: serial numbers that are and are not numbers.
    for (const char *serial : {"0007", "7,0", "7a", "12", "", "ТХА%_1"}) {
        TableRow row(tables::Sensors);
        row.setFields({{"SerialNum", QString::fromUtf8(serial)},
                       {"ProdYear", 2020},
                       {"TypeName", "ТХА-0192"},
                       {"NSHType", "XA"},
                       {"SensKind", "TP"}});
        db.DBSensorsInsert(row);
    }
    TableRow nullSerial(tables::Sensors);
    nullSerial.setFields({{"TypeName", "null serial"}});
    db.DBSensorsInsert(nullSerial);
}

inline const FilterCase kFilterCases[] = {
    // empty filter, quotes and case-sensitive text
    {"Poverki", "", 4},
    {"Poverki", "   ", 4},
    {"Poverki", "PovNum = 'A''1'", 1},
    {"Poverki", "PovNum = 'a''1'", 1},
    {"Poverki", "PovNum <> 'A''1'", 3},
    {"Poverki", "PovNum = 'Прм 5'", 1},
    {"Poverki", "povnum = 'B-2' AND KIND = 1", 1},
    {"Poverki", "PovNum = 'B-2' and Kind = 0", 0},
    // LIKE with %, case-sensitive
    {"Poverki", "PovNum LIKE 'A%'", 1},
    {"Poverki", "PovNum LIKE '%''1'", 2},
    {"Poverki", "PovNum LIKE 'a%'", 1},
    {"Poverki", "PovNum like '%'", 4},
    {"Poverki", "PovNum NOT LIKE '%1'", 2},
    {"Sensors", "SerialNum LIKE 'ТХА%_1'", 1},
    {"Sensors", "SerialNum LIKE 'ТХА*'", 0},
    // nulls
    {"Poverki", "Finished IS NULL", 2},
    {"Poverki", "Finished is not null", 2},
    {"Poverki", "Finished = Started", 1},
    {"Sensors", "SerialNum IS NULL", 1},
    {"Sensors", "SerialNum = ''", 1},
    // dates: Date(), GetDate() (10.12.2026 09:00) and dd.mm.yyyy texts
    {"Poverki", "Date(Started) = Date(GetDate())", 1},
    {"Poverki", "Date(Started) = '09.12.2026'", 1},
    {"Poverki", "Date(Started) <> '09.12.2026'", 3},
    {"Poverki", "Date(Started) >= '09.12.2026'", 3},
    {"Poverki", "Date(Started) <= '09.12.2026'", 2},
    {"Poverki", "Date(Started) > '10.12.2026'", 1},
    {"Poverki", "Date(Started) < '10.12.2026'", 2},
    {"Poverki", "Date(Finished) <= '02.12.2026'", 1},
    {"Poverki", "Date(Finished) >= '01.12.2026' AND Date(Finished) <= '09.12.2026'", 2},
    {"Poverki", "Date(Finished) = Date(Started)", 1},
    {"Poverki", "Started <= GetDate()", 3},
    {"Poverki", "Started >= '10.12.2026'", 2},
    {"Poverki", "Date(GetDate()) = '10.12.2026'", 4},
    {"Poverki", "PovNum = 'A''1' and Date(Started) = Date(GetDate())", 1},
    {"Poverki", "PovNum = 'a''1' and Date(Started) = Date(GetDate())", 0},
    // precedence: and binds tighter than or; parentheses
    {"Poverki", "PovNum = 'B-2' or PovNum = 'A''1' and Kind = 1", 1},
    {"Poverki", "(PovNum = 'B-2' or PovNum = 'A''1') and Kind = 1", 1},
    {"Poverki", "(PovNum = 'B-2' or PovNum = 'A''1') and Kind = 0", 1},
    {"Poverki", "Kind = 0 or Kind = 1 and Finished IS NULL", 2},
    {"Poverki", "(Kind = 0 or Kind = 1) and Finished IS NULL", 2},
    {"Poverki", "((Kind = 1)) AND (Finished IS NOT NULL OR ID = 2)", 2},
    {"Poverki", "NOT (Kind = 1)", 2},
    // the unfinished list
    {"Poverki",
     "Finished IS NULL AND CurrPovState <> 'Calculation;0;1;1;' AND CurrPovState <> "
     "'Calculation;1;1;1;'",
     2},
    // numbers: integer and decimal, negative; booleans
    {"Poverki", "ID >= 3 AND ID <= 4", 2},
    {"Poverki", "ID > 4.5", 1},
    {"Poverki", "ID <> -1", 4},
    {"Poverki", "Kind = True", 2},
    {"Poverki", "InstabilityCheckNeeded = False", 0},
    {"Poverki", "True", 4},
    {"Poverki", "False", 0},
    // a text field against an unquoted number: numeric when the text is a number
    {"Sensors", "SerialNum = 7", 2},
    {"Sensors", "SerialNum = 7.0", 2},
    {"Sensors", "SerialNum <> 7", 4},
    {"Sensors", "SerialNum >= 10", 1},
    {"Sensors", "SerialNum < 10", 2},
    {"Sensors", "SerialNum = 12 and ProdYear = 2020", 1},
    // a number field against a quoted text
    {"Sensors", "ProdYear = '2020'", 6},
    {"Sensors", "ProdYear = 'abc'", 0},
    {"Sensors", "ProdYear <> 'abc'", 6},
    // constants on both sides
    {"Poverki", "1 = 1", 4},
    {"Poverki", "'a' = 'A'", 0},
    {"Poverki", "'7' = 7", 4},
};

} // namespace kront::test
