#include "app/ui/TFormAbout.h"
#include "app/ui/TFormProgress.h"
#include "common/ui/HelpContext.h"
#include "tests/support/TempHome.h"

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <gtest/gtest.h>

namespace kront
{
namespace
{

TEST(AboutBoxTest, VersionLabelText)
{
    EXPECT_EQ(versionLabelText(std::array<int, 4>{1, 2, 3, 4}), "Версия 1.2.3.4");
    EXPECT_EQ(versionLabelText(std::array<int, 4>{10, 0, 0, 215}), "Версия 10.0.0.215");
    EXPECT_EQ(versionLabelText(std::nullopt), "Версия ");

    TFormAbout about;
    EXPECT_EQ(about.LabelVersion->text(),
              QString::asprintf("Версия %d.%d.%d.%d", KRONT_VERSION_MAJOR, KRONT_VERSION_MINOR,
                                KRONT_VERSION_PATCH, KRONT_VERSION_TWEAK));
    EXPECT_EQ(about.windowTitle(), "О программе...");
    EXPECT_EQ(helpTopicOf(&about), 1);
}

TEST(AboutBoxTest, ShowsTheProgramHomeInUse)
{
    test::TempHome home;
    TFormAbout about;
    EXPECT_EQ(about.LabelHome->text(),
              QStringLiteral("Папка данных: ") + QDir::toNativeSeparators(home.path()));
}

TEST(AboutBoxTest, LinksAreHighlightedUnderTheMouseAndOpenTheMakersAddresses)
{
    TFormAbout about;
    EXPECT_EQ(about.LabelWebSite->target().scheme(), "https");
    EXPECT_EQ(about.LabelMail->target().scheme(), "mailto");
    EXPECT_EQ(about.LabelMail->target().path(), about.LabelMail->text());
    for (LinkLabel *link : {about.LabelWebSite, about.LabelMail}) {
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(link, &enter);
        EXPECT_TRUE(link->isHighlighted());
        EXPECT_TRUE(link->font().underline());
        EXPECT_TRUE(link->styleSheet().contains("blue"));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(link, &leave);
        EXPECT_FALSE(link->isHighlighted());
        EXPECT_FALSE(link->font().underline());
        EXPECT_TRUE(link->styleSheet().isEmpty());
    }
}

TEST(AboutBoxTest, AnyKeyClosesIt)
{
    for (int key : {int(Qt::Key_Escape), int(Qt::Key_A), int(Qt::Key_Space), int(Qt::Key_Shift)}) {
        TFormAbout about;
        about.show();
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(&about, &press);
        EXPECT_FALSE(about.isVisible()) << key;
    }
}

TEST(ProgressWindowTest, LinkDrivesCaptionLabelAndBar)
{
    QWidget owner;
    TFormProgress progress(&owner);
    EXPECT_EQ(progress.Label1->objectName(), "Label1");
    EXPECT_EQ(progress.ProgressBar1->orientation(), Qt::Horizontal);
    LinkProgress &link = progress;
    link.start("Установка связи", "Подключение...", 3);
    EXPECT_TRUE(progress.isVisible());
    EXPECT_FALSE(progress.isModal());
    EXPECT_EQ(progress.windowTitle(), "Установка связи");
    link.advance();
    link.advance();
    link.advance();
    link.advance();
    EXPECT_EQ(progress.ProgressBar1->value(), 3); // stops at the maximum
    link.setLabel("Режим");
    EXPECT_EQ(progress.Label1->text(), "Режим");
    link.finish();
    EXPECT_FALSE(progress.isVisible());
    EXPECT_TRUE(progress.Label1->text().isEmpty());
    EXPECT_TRUE(progress.windowTitle().isEmpty());
    EXPECT_EQ(progress.ProgressBar1->value(), 0);
}

} // namespace
} // namespace kront
