#include "model/TBunch.h"
#include "model/CodeTables.h"
#include "model/StageProgression.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"

#include <gtest/gtest.h>

namespace kront
{
namespace
{

// Counts how many sensors are alive, to prove what frees them.
int liveSensors = 0;
struct CountedTP : TTP {
    CountedTP() { ++liveSensors; }
    ~CountedTP() override { --liveSensors; }
};

TEST(TBunch, NewBunchIsEmpty)
{
    TBunch bunch;
    EXPECT_EQ(bunch.ID, 0);
    EXPECT_EQ(bunch.ChannelNum, 0u);
    EXPECT_EQ(bunch.SensorCount, 0);
    EXPECT_FALSE(bunch.EtalSensor);
    for (int input = 1; input <= 4; ++input) {
        EXPECT_EQ(bunch.Sensor(input), nullptr);
        EXPECT_TRUE(bunch.SensorNSHText(input).isEmpty());
        EXPECT_TRUE(bunch.SensorTypeNameText(input).isEmpty());
        EXPECT_TRUE(bunch.SensorSerialText(input).isEmpty());
        EXPECT_TRUE(bunch.SensorProdYearText(input).isEmpty());
    }
    EXPECT_FALSE(bunch.PovTerminated);
}

TEST(TBunch, CreateEtalSensorMakesTheFamilyOfTheKind)
{
    struct Case {
        int kind;
        bool created;
        bool thermocouple;
    };
    const Case cases[] = {{skMercury, false, false}, {skTP_PPO, true, true}, {skTP_PRO, true, true},
                          {skTP, true, true},        {skETS, true, false},   {skTS, true, false},
                          {6, false, false},         {-1, false, false}};
    for (const Case &c : cases) {
        TBunch bunch;
        TThermometer *created = bunch.CreateEtalSensor(c.kind);
        EXPECT_EQ(created != nullptr, c.created) << c.kind;
        EXPECT_EQ(bunch.EtalSensor.get(), created) << c.kind;
        if (created) {
            EXPECT_EQ(dynamic_cast<TTP *>(created) != nullptr, c.thermocouple) << c.kind;
            EXPECT_EQ(dynamic_cast<TTS *>(created) != nullptr, !c.thermocouple) << c.kind;
        }
        EXPECT_EQ(bunch.SensorCount, 0);
    }
}

TEST(TBunch, CreateEtalSensorForAMercuryThermometerDropsTheOldReference)
{
    TBunch bunch;
    bunch.CreateEtalSensor(skTP_PPO)->SerialNum = "111";
    EXPECT_EQ(bunch.CreateEtalSensor(skMercury), nullptr);
    EXPECT_FALSE(bunch.EtalSensor);
}

TEST(TBunch, CreateSensorFillsTheSlotOfTheInputAndCountsIt)
{
    TBunch bunch;
    TThermometer *tp = bunch.CreateSensor(skTP, 2);
    ASSERT_NE(tp, nullptr);
    EXPECT_NE(dynamic_cast<TTP *>(tp), nullptr);
    EXPECT_EQ(bunch.Sensors[2].get(), tp);
    EXPECT_EQ(bunch.SensorCount, 1);
    for (int input : {1, 3, 4})
        EXPECT_EQ(bunch.Sensor(input), nullptr);

    TThermometer *ts = bunch.CreateSensor(skTS, 4);
    ASSERT_NE(ts, nullptr);
    EXPECT_NE(dynamic_cast<TTS *>(ts), nullptr);
    EXPECT_EQ(bunch.SensorCount, 2);
}

TEST(TBunch, CreateSensorRefusesOtherKindsAndInputs)
{
    TBunch bunch;
    for (int kind : {int(skMercury), int(skTP_PPO), int(skTP_PRO), int(skETS), 6})
        EXPECT_EQ(bunch.CreateSensor(kind, 1), nullptr) << kind;
    for (int input : {0, 5, -1})
        EXPECT_EQ(bunch.CreateSensor(skTP, input), nullptr) << input;
    EXPECT_EQ(bunch.SensorCount, 0);
    EXPECT_FALSE(bunch.Sensors[0]);
}

TEST(TBunch, RecreatingAFilledSlotReplacesItWithoutCountingTwice)
{
    TBunch bunch;
    bunch.CreateSensor(skTP, 1)->SerialNum = "old";
    bunch.CreateSensor(skTP, 1);
    EXPECT_EQ(bunch.SensorCount, 1);
    EXPECT_TRUE(bunch.SensorSerialText(1).isEmpty());
}

TEST(TBunch, SensorTextsOfAnInput)
{
    TBunch bunch;
    TThermometer *s = bunch.CreateSensor(skTP, 3);
    s->NSHType = nshTHA;
    s->TypeName = "ТХА-0192";
    s->SerialNum = "A-17";
    s->ProdYear = 2019;
    EXPECT_EQ(bunch.SensorNSHText(3), QString::fromUtf8("ТХА"));
    EXPECT_EQ(bunch.SensorTypeNameText(3), QString::fromUtf8("ТХА-0192"));
    EXPECT_EQ(bunch.SensorSerialText(3), "A-17");
    EXPECT_EQ(bunch.SensorProdYearText(3), "2019");
    EXPECT_TRUE(bunch.SensorNSHText(2).isEmpty());
    EXPECT_TRUE(bunch.SensorSerialText(0).isEmpty());
    EXPECT_TRUE(bunch.SensorSerialText(5).isEmpty());
}

TEST(TBunch, FreesItsSensorsWhenDestroyed)
{
    liveSensors = 0;
    {
        TBunch bunch;
        bunch.EtalSensor = std::make_unique<CountedTP>();
        bunch.Sensors[1] = std::make_unique<CountedTP>();
        bunch.Sensors[4] = std::make_unique<CountedTP>();
        EXPECT_EQ(liveSensors, 3);
    }
    EXPECT_EQ(liveSensors, 0);
}

TEST(TBi1, PositionsPerChannelAndTheirLabels)
{
    TBi1 bi1;
    EXPECT_FALSE(bi1.Switched);
    EXPECT_EQ(bi1.GetPosition(1), 0);
    EXPECT_TRUE(bi1.SetPosition(1, 3));
    EXPECT_TRUE(bi1.SetPosition(2, 9));
    EXPECT_EQ(bi1.Position[1], 3);
    EXPECT_EQ(bi1.Position[2], 9);
    EXPECT_EQ(bi1.ChannelInputLabel(1), QString::fromUtf8("3, прямое"));
    EXPECT_EQ(bi1.ChannelInputLabel(2), QString::fromUtf8("+2, поэлектродное"));
    EXPECT_EQ(TBi1::InputLabel(5), "0");
    // Channels other than 1 and 2 do not exist.
    EXPECT_FALSE(bi1.SetPosition(0, 1));
    EXPECT_FALSE(bi1.SetPosition(3, 1));
    EXPECT_EQ(bi1.Position[0], 0);
    EXPECT_EQ(bi1.ChannelInputLabel(3), QString::fromUtf8("Не определён"));
}

TEST(TPoverka, BeginNewAttachesTheEditorBunchesWithoutOwningThem)
{
    TBunch editorBunch;
    editorBunch.ChannelNum = 2;
    editorBunch.PovTerminated = true;
    editorBunch.PovTermMeasPointNum = 3;
    {
        TPoverka poverka;
        const QDateTime started(QDate(2026, 12, 10), QTime(9, 15, 30));
        poverka.BeginNew(started);
        EXPECT_EQ(poverka.ChannelCount, 2);
        EXPECT_EQ(poverka.Started, started);
        EXPECT_TRUE(poverka.Finished.isNull());
        EXPECT_EQ(poverka.GOSTnum, QString::fromUtf8("ГОСТ 8.338-2002"));
        EXPECT_TRUE(poverka.ChannelUnused[1]);
        EXPECT_TRUE(poverka.ChannelUnused[2]);
        EXPECT_EQ(poverka.Stage, stInitiation);
        EXPECT_EQ(EncodeState(poverka), "Initiation;0;0;0;");

        EXPECT_TRUE(poverka.AttachBunch(2, &editorBunch));
        EXPECT_EQ(poverka.Bunches[2], &editorBunch);
        EXPECT_EQ(poverka.Bunches[1], nullptr);
        EXPECT_TRUE(poverka.ChannelUnused[1]);
        EXPECT_FALSE(poverka.ChannelUnused[2]);
        EXPECT_FALSE(editorBunch.PovTerminated);
        EXPECT_EQ(editorBunch.PovTermMeasPointNum, 0u);
        EXPECT_FALSE(poverka.AttachBunch(3, &editorBunch));
        EXPECT_FALSE(poverka.AttachBunch(1, nullptr));
        EXPECT_TRUE(poverka.OwnedBunches.empty());
    }
    // The editor's bunch outlives the verification.
    editorBunch.CreateSensor(skTP, 1);
    EXPECT_EQ(editorBunch.SensorCount, 1);
}

TEST(TPoverka, ResumedVerificationOwnsAndFreesItsBunches)
{
    liveSensors = 0;
    {
        TPoverka poverka;
        poverka.ChannelUnused = {false, true, true};
        auto bunch = std::make_unique<TBunch>();
        bunch->ChannelNum = 2;
        bunch->Sensors[1] = std::make_unique<CountedTP>();
        TBunch *adopted = poverka.AdoptBunch(1, std::move(bunch));
        ASSERT_NE(adopted, nullptr);
        EXPECT_EQ(poverka.Bunches[1], adopted);
        EXPECT_TRUE(poverka.ChannelUnused[1]);
        EXPECT_FALSE(poverka.ChannelUnused[2]); // the flag of the bunch's own channel
        EXPECT_EQ(poverka.OwnedBunches.size(), 1u);

        auto extra = std::make_unique<TBunch>();
        extra->Sensors[2] = std::make_unique<CountedTP>();
        EXPECT_EQ(poverka.AdoptBunch(3, std::move(extra)), nullptr); // refused and freed
        EXPECT_EQ(liveSensors, 1);
    }
    EXPECT_EQ(liveSensors, 0);
}

} // namespace
} // namespace kront
