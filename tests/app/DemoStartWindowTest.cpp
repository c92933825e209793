#include "app/ui/DemoStartWindow.h"
#include "app/ui/HelpViewer.h"
#include "common/TrainingMode.h"
#include "tests/support/TempHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace kront
{
namespace
{

class DemoStartWindowTest : public ::testing::Test
{
protected:
    void TearDown() override { TrainingMode::stop(); }
    test::TempHome home;
};

TEST_F(DemoStartWindowTest, TrainingIsOffUntilTickedThenRunsWithTheChosenFactor)
{
    const struct {
        bool tick;
        int factor; // typed into the spin box; 0: left as it is
        double expected;
    } cases[] = {
        {false, 0, 0},
        {false, 60, 0}, // a factor alone does not switch the mode on
        {true, 0, TrainingMode::kDefaultFactor},
        {true, 120, 120},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::to_string(c.tick) + " " + std::to_string(c.factor));
        TrainingMode::stop();
        DemoStartWindow start(home.path() + "-demo");
        EXPECT_FALSE(start.CheckBoxTraining->isChecked());
        EXPECT_FALSE(start.SpinEditFactor->isEnabled());
        start.CheckBoxTraining->setChecked(c.tick);
        EXPECT_EQ(start.SpinEditFactor->isEnabled(), c.tick);
        if (c.factor)
            start.SpinEditFactor->setValue(c.factor);
        EXPECT_EQ(start.trainingFactor(), c.expected);
        start.startChosenMode();
        EXPECT_EQ(TrainingMode::active(), c.expected > 0);
        EXPECT_EQ(TrainingMode::clockFactor(), c.expected);
    }
}

TEST_F(DemoStartWindowTest, NamesTheDemoHomeAndOpensItsHelpOnF1)
{
    const QString demoHome = home.path() + "-demo";
    DemoStartWindow start(demoHome);
    bool named = false;
    for (const QLabel *label : start.findChildren<QLabel *>())
        named = named || label->text().contains(demoHome);
    EXPECT_TRUE(named);

    // Before the program's windows exist the window has its own help.
    QFile::copy(QStringLiteral(KRONT_SOURCE_DIR "/resources/help/18.html"),
                home.path() + "/Help/18.html");
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(start.CheckBoxTraining, &f1);
    const auto *help = start.findChild<HelpViewer *>();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->currentPage(), HelpViewer::pagePath(18));
}

} // namespace
} // namespace kront
