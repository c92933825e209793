#include "ProcedureFixture.h"

#include "common/DecimalRounding.h"
#include "procedure/ProcedureText.h"

namespace kront::test
{
namespace
{

class WholeVerification : public ProcedureFixture
{
protected:
    std::vector<QVariantMap> measureRows(int bunchID, int point)
    {
        return select(tables::ResultsTP,
                      QStringLiteral("Operation = 'Measure' and BunchID = %1 and MeasPointNum = %2")
                          .arg(bunchID)
                          .arg(point));
    }
};

// The direct method with ППО references, two channels (four and two thermocouples) over two
// temperature points, from page 1 to the conclusion.
TEST_F(WholeVerification, DirectMethodTwoChannelsTwoPoints)
{
    makeBunch(1, {1, 2, 3, 4});
    makeBunch(2, {1, 3});
    ASSERT_TRUE(setUp(0, 2));
    EXPECT_EQ(storedState(), QStringLiteral("MainCycle;0;0;2;"));
    EXPECT_EQ(view.subtitles.last(), QStringLiteral("Определение ТЭДС при 1-й температуре"));
    ASSERT_EQ(view.chooserSetups.size(), 1u);
    EXPECT_TRUE(view.chooserSetups[0].enabled[1]);
    EXPECT_TRUE(view.chooserSetups[0].enabled[2]);

    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(storedState(), QStringLiteral("MainCycle;0;1;2;"));
    EXPECT_EQ(measureRows(bunches[1]->ID, 0).size(), 4u);
    EXPECT_EQ(measureRows(bunches[2]->ID, 0).size(), 4u);
    // channel 1 was measured completely before channel 2 started: two furnace prompts
    EXPECT_EQ(dialogs.count(QStringLiteral("куда помещён пучок первого канала")), 1);
    EXPECT_EQ(dialogs.count(QStringLiteral("куда помещён пучок второго канала")), 1);
    EXPECT_EQ(dialogs.count(QStringLiteral("(от -50 до 50 °C):")), 2);

    EXPECT_FALSE(engine->acceptMeasurementPage());
    EXPECT_EQ(view.subtitles.last(), QStringLiteral("Определение ТЭДС при 2-й температуре"));
    ASSERT_TRUE(measureStep());
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;0;1;"));

    EXPECT_TRUE(engine->acceptMeasurementPage()); // classes, then page 5
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;1;1;"));
    const auto pov = select(tables::Poverki, QStringLiteral("ID = %1").arg(poverka.ID));
    ASSERT_EQ(pov.size(), 1u);
    EXPECT_FALSE(pov[0].value("Finished").isNull());
    EXPECT_TRUE(engine->acceptMeasurementPage()); // the conclusion page

    engine->JvWizardInteriorPage5Page();
    const ConclusionGrid &g1 = view.conclusion[1];
    EXPECT_EQ(g1.rows[1].nsh, QStringLiteral("ТХА"));
    EXPECT_EQ(g1.rows[1].serial, QStringLiteral("11"));
    EXPECT_EQ(g1.rows[1].klass, QStringLiteral("2"));
    EXPECT_EQ(g1.rows[1].conclusion, QStringLiteral("Годен. "));
    EXPECT_TRUE(view.conclusion[2].rows[2].serial.isEmpty()); // no sensor on input 2
    EXPECT_EQ(view.conclusion[2].rows[3].serial, QStringLiteral("23"));
    EXPECT_EQ(engine->ProtocolBunchID(2), bunches[2]->ID);
    EXPECT_EQ(dialogs.count(QStringLiteral("Прервать")), 0)
        << dialogs.texts().join("\n").toStdString();
}

// Every reading lands in its own series and input: the stored rows carry the displayed values.
TEST_F(WholeVerification, MeasurementRowsHoldTheRecordedReadings)
{
    makeBunch(1, {1, 2, 3, 4});
    makeBunch(2, {2});
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());

    const auto rows1 = measureRows(bunches[1]->ID, 0);
    ASSERT_EQ(rows1.size(), 4u);
    const double eRef = rnd_n(emfOf(kIndexS, 350) - emfOf(kIndexS, 20), 3);
    const double eTp = rnd_n(emfOf(kIndexK, 350) - emfOf(kIndexK, 20), 2);
    for (int n = 0; n < 4; ++n) {
        const QVariantMap &r = rows1[std::size_t(n)];
        EXPECT_EQ(r.value("MeasNum").toInt(), n + 1);
        EXPECT_EQ(r.value("Stage").toString(), QStringLiteral("MainCycle"));
        EXPECT_EQ(r.value("Methodic").toInt(), 0);
        EXPECT_NEAR(r.value("Tsk").toDouble(), 20, 1e-9);
        EXPECT_NEAR(r.value("E_et").toDouble(), eRef, 1e-9);
        EXPECT_NEAR(r.value("t_et").toDouble(), -300, 1e-9);
        EXPECT_TRUE(r.value("E_Tsk").isNull());
        for (int k = 1; k <= 4; ++k) {
            EXPECT_NEAR(r.value(QStringLiteral("TEDSe1Inp%1").arg(k)).toDouble(), eTp, 1e-9);
            EXPECT_TRUE(r.value(QStringLiteral("TEDSe2Inp%1").arg(k)).isNull());
        }
        EXPECT_EQ(r.value("Operation").toString(), QStringLiteral("Measure"));
        EXPECT_EQ(r.value("EtalSensorType").toInt(), 1);
    }
    const auto rows2 = measureRows(bunches[2]->ID, 0);
    ASSERT_EQ(rows2.size(), 4u);
    EXPECT_NEAR(rows2[0].value("TEDSe1Inp1").toDouble(), 0, 1e-12); // never read
    EXPECT_NEAR(rows2[0].value("TEDSe1Inp2").toDouble(), eTp, 1e-9);
    // The grid shows what was recorded: 2 decimals for the inputs, 3 for the reference.
    EXPECT_EQ(view.grids[1][1][2], FixedText(eTp, 2));
    EXPECT_EQ(view.grids[1][4][1], FixedText(eRef, 3));
}

TEST_F(WholeVerification, ElectrodeComparisonWithTwoSensors)
{
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(1, 1));
    EXPECT_TRUE(view.chooserSetups.empty());
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep()) << dialogs.texts().join("\n").toStdString()
                               << "\nstatus: " << view.controls[1].statusText.toStdString() << " / "
                               << view.controls[1].stabilityText.toStdString() << " pos "
                               << int(bi1.GetPosition(1));
    EXPECT_EQ(dialogs.count(QStringLiteral("для поэлектродного сличения")), 1);
    EXPECT_EQ(dialogs.count(QStringLiteral("(от -50 до 50 °C) для канала 1:")), 1);

    const auto rows = measureRows(bunches[1]->ID, 0);
    ASSERT_EQ(rows.size(), 2u);
    const double e = emfOf(kIndexK, 350) - emfOf(kIndexK, 20);
    for (const QVariantMap &r : rows) {
        EXPECT_EQ(r.value("Methodic").toInt(), 1);
        EXPECT_NEAR(r.value("E_et").toDouble(), rnd_n(emfOf(kIndexS, 350) - emfOf(kIndexS, 20), 3),
                    1e-9);
        EXPECT_TRUE(r.value("t_et").isNull());
        EXPECT_NEAR(r.value("TEDSe1Inp1").toDouble(), rnd_n(e * 0.6, 3), 1e-9);
        EXPECT_NEAR(r.value("TEDSe2Inp2").toDouble(), rnd_n(e * 0.4, 3), 1e-9);
        for (const char *f : {"TEDSe1Inp3", "TEDSe2Inp3", "TEDSe1Inp4", "TEDSe2Inp4"})
            EXPECT_NEAR(r.value(f).toDouble(), 0, 1e-12) << f;
        EXPECT_EQ(r.value("EtalSensorType").toInt(), 1);
    }
    EXPECT_EQ(storedState(), QStringLiteral("Calculation;0;0;1;"));
}

TEST_F(WholeVerification, MercuryThermometerRows)
{
    makeBunch(1, {1}, true);
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    pump();
    EXPECT_EQ(dialogs.count(QStringLiteral("Установите требуемую температуру в термостате")), 1);
    EXPECT_EQ(meter.startCalls, 0); // the thermometer is read by eye
    // the recording button is offered at once with the thermostat edit emptied and focused
    EXPECT_TRUE(view.controls[1].recordVisible);
    EXPECT_TRUE(view.controls[1].thermostatEditVisible);
    EXPECT_EQ(view.controls[1].thermostatCaption, QStringLiteral("Температура термостата, °С:"));
    ASSERT_TRUE(measureStep());
    EXPECT_GE(meter.startCalls, 1);

    const auto rows = measureRows(bunches[1]->ID, 0);
    ASSERT_EQ(rows.size(), 4u);
    for (const QVariantMap &r : rows) {
        EXPECT_NEAR(r.value("E_et").toDouble(), -300, 1e-9);
        EXPECT_NEAR(r.value("t_et").toDouble(), 350, 1e-9);
        EXPECT_EQ(r.value("EtalSensorType").toInt(), 0);
    }
    // only the switch moves to inputs are prompted, never back to the thermometer
    EXPECT_EQ(dialogs.count(QStringLiteral("в положение \"Т, прямое\"")), 0);
}

} // namespace
} // namespace kront::test

namespace kront::test
{
namespace
{

// A bunch of channel 2 in the first slot (as a resumption may leave it) is measured on
// channel 2, shown in grid 2 and printed by button 2.
TEST_F(WholeVerification, ABunchOfChannelTwoInTheFirstSlot)
{
    makeBunch(2, {1, 4});
    poverka.Bunches[2] = nullptr;
    poverka.AttachBunch(1, bunches[2].get());
    ASSERT_TRUE(setUp(0, 1));
    engine->JvWizardInteriorPage4Page();
    pump();
    EXPECT_EQ(engine->CurrentChannel, 2);
    ASSERT_TRUE(measureStep());
    EXPECT_TRUE(engine->acceptMeasurementPage());
    engine->JvWizardInteriorPage5Page();
    EXPECT_TRUE(view.conclusion[1].rows[1].serial.isEmpty());
    EXPECT_EQ(view.conclusion[2].rows[1].serial, QStringLiteral("21"));
    EXPECT_TRUE(view.conclusion[2].rows[2].serial.isEmpty()); // an empty input between results
    EXPECT_EQ(view.conclusion[2].rows[4].serial, QStringLiteral("24"));
    EXPECT_EQ(engine->ProtocolBunchID(1), 0);
    EXPECT_EQ(engine->ProtocolBunchID(2), bunches[2]->ID);
}

} // namespace
} // namespace kront::test
