#pragma once

#include "db/Database.h"
#include "sensors/SensorSet.h"
#include "tests/support/FakeClock.h"
#include "tests/support/FileBytes.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QFile>
#include <gtest/gtest.h>

namespace kront::test
{

inline QString goldenPath(const char *name)
{
    return QStringLiteral(KRONT_SOURCE_DIR "/tests/sensors/golden/") + QLatin1String(name);
}

// Fills a row of a grid from its data cells (columns 1..).
inline void setRow(SensorSet &set, int grid, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        set.grid(grid).setCell(row, c + 1, cells[c]);
}

// A fresh home with the six tables, a fake clock (10.12.2026 09:00) and
// recorded dialogs.
class SensorsFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.ensureTables());
        dialogs.clear();
    }

    // Adds a reference thermocouple to the register with graduation points
    // 300/100/500 and returns its ID.
    int addEtal(const QString &serial, const QVariant &year, const QString &name,
                const QString &type, const QString &classDop = QStringLiteral("1"),
                double low = 300, double high = 1200, const QString &producer = QString(),
                const QString &owner = QString())
    {
        TableRow v(tables::EtalSens, {{"SerialNum", serial},
                                      {"ProdYear", year},
                                      {"TypeName", name},
                                      {"NSHType", type},
                                      {"SensKind", type},
                                      {"Producer", producer},
                                      {"Etalon", true},
                                      {"ClassDop", classDop},
                                      {"Owner", owner},
                                      {"WDTHighLim", high},
                                      {"WDTLowLim", low},
                                      {"RecordCreationDateTime", clock.now()}});
        for (int i = 1; i <= 17; ++i) {
            v.set(QStringLiteral("Temp%1").arg(i), i <= 3 ? 100.0 * i : -300.0);
            v.set(QStringLiteral("EMF%1").arg(i), i <= 3 ? 1.0 * i : -300.0);
        }
        EXPECT_TRUE(db.DBEtalSensInsert(v));
        return db.DBGetMaxID(tables::EtalSens, QString());
    }

    void useEtalInBunch(int etalID)
    {
        EXPECT_TRUE(db.DBBunchesTPInsert(TableRow(
            tables::BunchesTP, {{"PoverkaID", 1}, {"ChannelNum", 1}, {"EtalSensorID", etalID}})));
    }

    TempHome home;
    FakeClock clock;
    ScriptedDialogs dialogs;
    Database db{dialogs};
};

} // namespace kront::test
