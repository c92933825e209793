#pragma once

#include "tests/procedure/ProcedureFixture.h"

#include "common/DecimalRounding.h"
#include "db/HistoryQueries.h"

namespace kront::test
{

constexpr double kStepMv = 0.01; // the thermocouple's EMF grows by this much a year

// One ТХА thermocouple (class 2, serial "11") verified once a year at 350 and 450 °C
// through the engine, its EMF moving by kStepMv a year; the same ППО reference each time.
class FiveYears : public ProcedureFixture
{
protected:
    FiveYears() { clock.set(QDateTime(QDate(2026, 6, 1), QTime(9, 0))); }

    // The offset that makes the recorded 350 °C reading exact in two decimals, so that the
    // yearly steps reach the tables unrounded.
    double baseOffset() const
    {
        const double base = emfOf(kIndexK, 350) - emfOf(kIndexK, 20);
        return rnd_n(base, 2) - base;
    }

    void verifyOnce(int year)
    {
        poverka.ID = 0;
        poverka.Bunches = {};
        poverka.Finished = QDateTime();
        poverka.StepIndex = 0;
        poverka.StepCount = 0;
        poverka.BeginNew(clock.now());
        auto b = std::make_unique<TBunch>();
        b->ChannelNum = 1;
        b->SensKind = skTP;
        TThermometer *e = b->CreateEtalSensor(skTP_PPO);
        if (referenceID == 0)
            referenceID = storeReference(QStringLiteral("Э-1"));
        e->ID = referenceID;
        e->NSHType = nshPPO;
        e->SensKind = skTP_PPO;
        e->Etalon = true;
        e->SerialNum = QStringLiteral("Э-1");
        TThermometer *s = b->CreateSensor(skTP, 1);
        s->NSHType = nshTHA;
        s->SensKind = skTP;
        s->ClassDop = 1;
        s->SerialNum = QStringLiteral("11");
        s->TypeName = QStringLiteral("ТХА-0292");
        s->ProdYear = 2024;
        bunches[1] = std::move(b);
        poverka.AttachBunch(1, bunches[1].get());
        inputOffset[1] = baseOffset() + kStepMv * year;
        ASSERT_TRUE(setUp(0, 2, 1, false, QStringLiteral("П-%1").arg(year)));
        engine->JvWizardInteriorPage4Page();
        ASSERT_TRUE(measureStep());
        EXPECT_FALSE(engine->acceptMeasurementPage());
        ASSERT_TRUE(measureStep());
        ASSERT_TRUE(engine->acceptMeasurementPage()); // classes, finished
    }

    void verifyFiveYears()
    {
        for (int year = 0; year < 5; ++year) {
            clock.set(QDateTime(QDate(2026, 6, 1).addDays(365 * year), QTime(9, 0)));
            verifyOnce(year);
            if (HasFatalFailure())
                return;
        }
    }

    StoredSensorKey thermocouple() const
    {
        return {QStringLiteral("11"), QStringLiteral("ТХА-0292"), 2024, QStringLiteral("THA")};
    }

    int referenceID = 0;
};

} // namespace kront::test
