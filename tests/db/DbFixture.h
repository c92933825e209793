#pragma once

#include "db/Database.h"
#include "db/TableSchema.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QFile>
#include <gtest/gtest.h>

namespace kront::test
{

// A fresh home with the six table files made by the start-up check, a fake
// clock (10.12.2026 09:00) and recorded dialogs.
class DbFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(db.ensureTables());
        ASSERT_TRUE(dialogs.shown.empty());
    }

    // A row with the given fields set by name, the rest null.
    static TableRow row(const TableSchema &schema, const QVariantMap &values)
    {
        TableRow out(schema);
        out.setFields(values);
        EXPECT_TRUE(out.valid()) << out.unknownFields().join(u' ').toStdString();
        return out;
    }

    int insertPoverka(const QString &povNum, const QDateTime &started,
                      const QDateTime &finished = {}, int kind = 0)
    {
        EXPECT_TRUE(
            db.DBPoverkaInsert(row(tables::Poverki, {{"PovNum", povNum},
                                                     {"Started", started},
                                                     {"Finished", finished},
                                                     {"Kind", kind},
                                                     {"CurrPovState", "Initiation;0;0;1;"}})));
        return db.DBGetMaxID(tables::Poverki, QString());
    }

    int insertSensor(const QString &serial, const QString &kind = QStringLiteral("TP"))
    {
        EXPECT_TRUE(db.DBSensorsInsert(row(tables::Sensors, {{"SerialNum", serial},
                                                             {"ProdYear", 2020},
                                                             {"TypeName", "ТХА-0192"},
                                                             {"NSHType", "XA"},
                                                             {"SensKind", kind}})));
        return db.DBGetMaxID(tables::Sensors, QString());
    }

    int insertBunch(int poverkaID, int channel, int etalID, std::array<int, 4> sensors)
    {
        EXPECT_TRUE(db.DBBunchesTPInsert(row(tables::BunchesTP, {{"PoverkaID", poverkaID},
                                                                 {"ChannelNum", channel},
                                                                 {"EtalSensorID", etalID},
                                                                 {"PovSensorID1", sensors[0]},
                                                                 {"PovSensorID2", sensors[1]},
                                                                 {"PovSensorID3", sensors[2]},
                                                                 {"PovSensorID4", sensors[3]}})));
        return db.DBGetMaxID(tables::BunchesTP, QString());
    }

    void insertResult(int poverkaID, int bunchID, const QString &stage, int point)
    {
        EXPECT_TRUE(db.DBResultsTPInsert(row(tables::ResultsTP, {{"PoverkaID", poverkaID},
                                                                 {"BunchID", bunchID},
                                                                 {"Stage", stage},
                                                                 {"MeasPointNum", point},
                                                                 {"Operation", "Measure"}})));
    }

    int count(const char *table, const QString &filter = QString())
    {
        return db.DBGetRecordsCount(*findTable(QString::fromLatin1(table)), filter);
    }

    static QByteArray fileBytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    static QDateTime at(int d, int m, int y, int h = 0, int min = 0, int s = 0)
    {
        return QDateTime(QDate(y, m, d), QTime(h, min, s));
    }

    TempHome home;
    FakeClock clock{at(10, 12, 2026, 9, 0)};
    ScriptedDialogs dialogs;
    Database db{dialogs};
};

} // namespace kront::test
