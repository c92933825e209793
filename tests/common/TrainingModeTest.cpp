#include "common/TrainingMode.h"

#include <gtest/gtest.h>

namespace kront
{

namespace
{

struct TrainingModeTest : ::testing::Test {
    ~TrainingModeTest() override { TrainingMode::stop(); }
};

} // namespace

TEST_F(TrainingModeTest, OptionSetsTheClockFactorOrIsRefused)
{
    struct Case {
        QStringList args;
        bool accepted;
        double factor;
        QStringList left;
    } cases[] = {
        {{"kront"}, true, 0, {"kront"}},
        {{"kront", "--training"}, true, 30, {"kront"}},
        {{"kront", "--home", "x", "--training=60"}, true, 60, {"kront", "--home", "x"}},
        {{"kront", "--training=2,5"}, true, 2.5, {"kront"}},
        {{"kront", "--training=0"}, false, 0, {"kront", "--training=0"}},
        {{"kront", "--training=быстро"}, false, 0, {"kront", "--training=быстро"}},
        {{"kront", "--training-mode"}, true, 0, {"kront", "--training-mode"}},
    };
    for (Case &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        QString error;
        EXPECT_EQ(TrainingMode::takeOption(c.args, &error), c.accepted);
        EXPECT_EQ(error.isEmpty(), c.accepted);
        EXPECT_EQ(TrainingMode::active(), c.factor > 0);
        EXPECT_DOUBLE_EQ(TrainingMode::clockFactor(), c.factor);
        if (c.accepted) {
            EXPECT_EQ(c.args, c.left);
        }
        TrainingMode::stop();
    }
}

TEST_F(TrainingModeTest, TheModeRunsTheProgramClockFastAndMarksTitlesOnce)
{
    EXPECT_EQ(TrainingMode::markedTitle(QStringLiteral("Поверка ТП")),
              QStringLiteral("Поверка ТП"));
    TrainingMode::start(3600);
    const QDateTime before = programClock().now();
    QElapsedTimer wall;
    wall.start();
    while (wall.elapsed() < 20) {
    }
    // 20 ms of wall time are at least a minute of program time.
    EXPECT_GE(before.secsTo(programClock().now()), 60);
    const QString marked = TrainingMode::markedTitle(QStringLiteral("Поверка ТП"));
    EXPECT_EQ(marked, QStringLiteral("Поверка ТП - УЧЕБНЫЙ РЕЖИМ"));
    EXPECT_EQ(TrainingMode::markedTitle(marked), marked);
    TrainingMode::stop();
    const QDateTime real = QDateTime::currentDateTime();
    EXPECT_LE(qAbs(programClock().now().secsTo(real)), 1);
}

} // namespace kront
