#pragma once

#include "db/Database.h"
#include "metrology/ChannelStepValues.h"
#include "model/CodeTables.h"
#include "model/TBunch.h"
#include "model/TPoverka.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QVariantMap>
#include <gtest/gtest.h>
#include <vector>

namespace kront::test
{

// A fresh home with the six tables, a verification, a channel bunch and the
// dialogs and clock the metrology core talks to.
class MetrologyFixture : public ::testing::Test
{
protected:
    MetrologyFixture() : db(dialogs)
    {
        db.ensureTables();
        poverka.ID = 1;
        poverka.Stage = stMainCycle;
        poverka.StepIndex = 2;
        poverka.TempPointsCount = 3;
        bunch.ID = 7;
        bunch.ChannelNum = 1;
        step.Bunch = &bunch;
        step.TskTP = 20;
    }

    // A verified thermocouple on an input: NSH type code, class index 0..2.
    TThermometer &addSensor(TBunch &b, int input, quint8 nshType, quint8 classIndex,
                            const QString &serial)
    {
        TThermometer *s = b.CreateSensor(skTP, input);
        s->NSHType = nshType;
        s->ClassDop = classIndex;
        s->SerialNum = serial;
        return *s;
    }

    // The four values of one input over the reading blocks (direct method).
    void setReadings(int k, std::initializer_list<double> values)
    {
        int j = 1;
        for (double v : values)
            step.Readings[j++][k] = v;
    }

    std::vector<QVariantMap> rows(const QString &filter)
    {
        const auto r = db.select(tables::ResultsTP, filter);
        return r ? *r : std::vector<QVariantMap>{};
    }

    std::vector<QVariantMap> calculationRows()
    {
        return rows(QStringLiteral("Operation <> 'Measure'"));
    }

    TempHome home;
    FakeClock clock;
    ScriptedDialogs dialogs;
    Database db;
    TPoverka poverka;
    TBunch bunch;
    ChannelStepValues step;
};

// Compares a stored value with an expected one; std::nullopt expects null.
inline void expectColumn(const QVariantMap &row, const char *field, std::optional<double> expected)
{
    const QVariant v = row.value(QString::fromLatin1(field));
    if (!expected) {
        EXPECT_TRUE(v.isNull()) << field << " = " << v.toString().toStdString();
        return;
    }
    ASSERT_FALSE(v.isNull()) << field;
    EXPECT_NEAR(v.toDouble(), *expected, 1e-9) << field;
}

} // namespace kront::test

#include "metrology/CalculationRows.h"

namespace kront::test
{

// Stores one calculation row with the per-input values e1[0..3] (inputs 1..4).
inline void insertCalculationRow(Database &db, int poverkaID, int bunchID, const QString &stage,
                                 int point, int measNum, const QString &operation,
                                 std::array<double, 4> e1, int etalSensorType = 1,
                                 std::optional<double> t_et = std::nullopt,
                                 std::optional<double> t_pret = std::nullopt)
{
    CalculationRow row;
    row.MeasNum = measNum;
    row.Operation = operation;
    row.t_et = t_et;
    row.t_pret = t_pret;
    for (int i = 1; i <= 4; ++i)
        row.e1[i] = e1[i - 1];
    StepKey key{poverkaID, bunchID, 0, stage, point, etalSensorType};
    db.DBResultsTPInsert(row.values(key, QDateTime(QDate(2026, 12, 9), QTime(15, 30))));
}

} // namespace kront::test
