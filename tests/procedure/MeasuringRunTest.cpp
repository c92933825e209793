#include "ProcedureFixture.h"

namespace kront::test
{
namespace
{

const QString kColdJunctionPrompt =
    QStringLiteral("Укажите текущую температуру свободных концов эталонного ТП (от -50 до 50 °C):");

class MeasuringRun : public ProcedureFixture
{
protected:
    void prepare(int method = 0, bool twoChannels = false)
    {
        makeBunch(1, {1});
        if (twoChannels)
            makeBunch(2, {1});
        ASSERT_TRUE(setUp(method, 1));
        dialogs.clear();
        engine->JvWizardInteriorPage4Page();
        ASSERT_EQ(view.posted, 1);
    }
};

TEST_F(MeasuringRun, ColdJunctionOfTheReferenceIsAskedUntilValid)
{
    prepare();
    dialogs.queueInput(QStringLiteral("двадцать"));
    dialogs.queueInput(QStringLiteral("50,01"));
    dialogs.queueInput(QStringLiteral("-50.5"));
    dialogs.queueInput(QStringLiteral("12.5"));
    pump();
    EXPECT_EQ(dialogs.texts(),
              QStringList({QStringLiteral("Установите требуемую температуру в печи, куда помещён "
                                          "пучок первого канала.\r\nУстановите на БИ1 "
                                          "переключатель второго канала в положение \"0\", а "
                                          "переключатель первого канала в положение \"Т\" для "
                                          "прямого измерения.\r\nЗатем нажмите кнопку \"ОК\"."),
                           kColdJunctionPrompt, QStringLiteral("Указано недопустимое значение!"),
                           kColdJunctionPrompt,
                           QStringLiteral("Указанное значение выходит за допустимый диапазон!"),
                           kColdJunctionPrompt,
                           QStringLiteral("Указанное значение выходит за допустимый диапазон!"),
                           kColdJunctionPrompt}));
    EXPECT_EQ(dialogs.shown[0].caption, QStringLiteral("Подготовка к измерению"));
    EXPECT_EQ(dialogs.shown[0].buttons, Dialogs::Buttons::OkCancel);
    EXPECT_DOUBLE_EQ(engine->stepState().etalTsk, 12.5);
    EXPECT_EQ(bi1.GetPosition(1), 0);
    EXPECT_EQ(bi1.GetPosition(2), 5);
    EXPECT_TRUE(bi1.Switched);
    EXPECT_EQ(meter.waits, std::vector<int>{500});
    EXPECT_EQ(meter.startCalls, 1);
    EXPECT_EQ(meter.currentChannel, 1);
    EXPECT_FALSE(view.closed);
}

TEST_F(MeasuringRun, TheLimitsOfTheColdJunctionAreAccepted)
{
    prepare();
    for (const char *answer : {"50", "-50", "12,5", "0.25"}) {
        dialogs.clear();
        dialogs.queueInput(QString::fromLatin1(answer));
        view.posted = 1; // the run starts again
        pump();
        EXPECT_EQ(dialogs.count(QStringLiteral("Указан")), 0) << answer;
        EXPECT_DOUBLE_EQ(engine->stepState().etalTsk,
                         QString::fromLatin1(answer).replace(u',', u'.').toDouble());
    }
}

TEST_F(MeasuringRun, CancellingTheColdJunctionClosesTheWindow)
{
    prepare();
    dialogs.queueInput(std::nullopt);
    pump();
    EXPECT_TRUE(view.closed);
    EXPECT_TRUE(engine->steps().empty());
    EXPECT_EQ(meter.startCalls, 0);
}

TEST_F(MeasuringRun, CancellingThePromptAsksAndRepeats)
{
    prepare(1);
    dialogs.on(QStringLiteral("Установите требуемую температуру"),
               {Dialogs::Answer::Cancel, Dialogs::Answer::Ok});
    dialogs.on(QStringLiteral("Прервать выполнение?"), {Dialogs::Answer::No});
    pump();
    ASSERT_GE(dialogs.shown.size(), 3u);
    EXPECT_EQ(dialogs.shown[1].text, QStringLiteral("Прервать выполнение?"));
    EXPECT_EQ(dialogs.shown[1].caption, QStringLiteral("Подтвердите отмену операции"));
    EXPECT_EQ(dialogs.count(QStringLiteral("для поэлектродного сличения")), 2);
    EXPECT_EQ(bi1.GetPosition(1), 6);
    EXPECT_FALSE(view.closed);

    dialogs.rules.clear();
    dialogs.on(QStringLiteral("Установите требуемую температуру"), {Dialogs::Answer::Cancel});
    dialogs.on(QStringLiteral("Прервать выполнение?"), {Dialogs::Answer::Yes});
    view.posted = 1;
    pump();
    EXPECT_TRUE(view.closed);
    EXPECT_GE(meter.closeCalls, 1);
}

TEST_F(MeasuringRun, ChannelTwoPromptExchangesTheChannels)
{
    prepare(0, true);
    pump();
    ASSERT_TRUE(measureChannel());
    pump();
    EXPECT_EQ(engine->currentChannel(), 2);
    EXPECT_EQ(dialogs.count(QStringLiteral(
                  "Установите требуемую температуру в печи, куда помещён пучок второго канала.\r\n"
                  "Установите на БИ1 переключатель первого канала в положение \"0\", а "
                  "переключатель второго канала в положение \"Т\" для прямого измерения.")),
              1);
    EXPECT_EQ(bi1.GetPosition(1), 5);
    EXPECT_EQ(bi1.GetPosition(2), 0);
}

TEST_F(MeasuringRun, LinkFailuresCloseTheWindow)
{
    prepare();
    meter.establishSucceeds = false;
    pump();
    EXPECT_TRUE(view.closed);
    EXPECT_EQ(dialogs.count(QStringLiteral("Установите")), 0);
}

TEST_F(MeasuringRun, TransmissionThatCannotStartClosesTheWindow)
{
    prepare();
    meter.startSucceeds = false;
    pump();
    EXPECT_EQ(
        dialogs.last().text,
        QStringLiteral("Не удалось установить режим передачи показаний в измерителе ТАВЕР-7!"));
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Error);
    EXPECT_TRUE(view.closed);
}

TEST_F(MeasuringRun, NoChannelInUseClosesTheWindow)
{
    prepare();
    poverka.ChannelUnused = {false, true, true};
    pump();
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Не обнаружены поверяемые ТП ни на одном из каналов!"));
    EXPECT_TRUE(view.closed);
}

TEST_F(MeasuringRun, TheChooserAsksForAChoiceOfEveryEnabledGroup)
{
    makeBunch(1, {1});
    makeBunch(2, {1}, true);
    EtalChoice none{-1, -1, -1};
    view.choices = {none, EtalChoice{-1, 0, 1}}; // a disabled group is not read
    ASSERT_TRUE(setUp(0, 1));
    ASSERT_EQ(view.chooserSetups.size(), 1u);
    EXPECT_TRUE(view.chooserSetups[0].enabled[1]);
    EXPECT_FALSE(view.chooserSetups[0].enabled[2]); // no reference thermocouple on channel 2
    EXPECT_EQ(view.chooserSetups[0].selected[2], 0);
    EXPECT_EQ(dialogs.count(QStringLiteral(
                  "Необходимо выбрать тип термометра для контроля температуры для канала 1!")),
              1);
    EXPECT_EQ(engine->steps()[0].EtalKind, 0); // the mercury thermometer was chosen on channel 1
    EXPECT_EQ(engine->steps()[1].EtalKind, 0);
}

} // namespace
} // namespace kront::test
