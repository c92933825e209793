#include "common/ui/QtDialogs.h"

#include <QAbstractButton>
#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

namespace kront
{
namespace
{

// Presses the button with the given text in the modal box once it is shown,
// after noting the texts of all its buttons.
void pressWhenShown(const QString &buttonText, QStringList &buttonTexts, QString &title)
{
    QTimer::singleShot(0, [=, &buttonTexts, &title] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        title = box->windowTitle();
        for (QAbstractButton *b : box->buttons())
            buttonTexts << b->text();
        for (QAbstractButton *b : box->buttons()) {
            if (b->text() == buttonText)
                b->click();
        }
    });
}

TEST(QtDialogsTest, MessageBoxesHaveRussianButtonsAndReturnThePressedOne)
{
    const struct {
        Dialogs::Buttons buttons;
        QString press;
        QStringList texts;
        Dialogs::Answer answer;
    } cases[] = {
        {Dialogs::Buttons::Ok, "OK", {"OK"}, Dialogs::Answer::Ok},
        {Dialogs::Buttons::YesNo, "Да", {"Да", "Нет"}, Dialogs::Answer::Yes},
        {Dialogs::Buttons::YesNo, "Нет", {"Да", "Нет"}, Dialogs::Answer::No},
        {Dialogs::Buttons::OkCancel, "Отмена", {"OK", "Отмена"}, Dialogs::Answer::Cancel},
        {Dialogs::Buttons::YesNoCancel, "Отмена", {"Да", "Нет", "Отмена"}, Dialogs::Answer::Cancel},
    };
    QtDialogs dialogs;
    for (const auto &c : cases) {
        SCOPED_TRACE(c.press.toStdString());
        QStringList texts;
        QString title;
        pressWhenShown(c.press, texts, title);
        EXPECT_EQ(dialogs.message(kProgramTitle, Dialogs::Icon::Question, "Удалить?", c.buttons),
                  c.answer);
        texts.sort();
        QStringList expected = c.texts;
        expected.sort();
        EXPECT_EQ(texts, expected);
        EXPECT_EQ(title, kProgramTitle);
    }
}

TEST(QtDialogsTest, InputReturnsTheTextOrNothingWhenCancelled)
{
    QtDialogs dialogs;
    QTimer::singleShot(0, [] {
        auto *input = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        ASSERT_NE(input, nullptr);
        input->findChild<QLineEdit *>()->setText("0015");
        input->accept();
    });
    EXPECT_EQ(dialogs.input(kProgramTitle, "Номер:", "0007"), std::optional<QString>("0015"));
    QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
    EXPECT_EQ(dialogs.input(kProgramTitle, "Номер:", "0007"), std::nullopt);
}

} // namespace
} // namespace kront
