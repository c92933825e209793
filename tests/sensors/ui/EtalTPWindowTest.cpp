#include "common/ui/StringGrid.h"
#include "sensors/ui/CellComboBox.h"
#include "sensors/ui/EtalTPRegisterPage.h"
#include "sensors/ui/TFormEtalTP.h"
#include "tests/sensors/SensorsFixture.h"
#include "tests/sensors/ui/GridTyping.h"
#include "tests/sensors/ui/RegisterGrid.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

QString typeInto(QTableWidget *g, int row, int column, const QString &text)
{
    return typeIntoOpenEditor(g, row, column, text);
}

EtalTPData pointsData(const QString &serial)
{
    EtalTPData d;
    d.params = {serial, "ПРО", "ПРО-1", "2001", "1", "", ""};
    for (int i = 1; i <= 3; ++i) {
        d.temp[size_t(i)] = QString::number(600 + 100 * i);
        d.emf[size_t(i)] = QString::number(i) + ",5";
    }
    return d;
}

class EtalTPWindowTest : public SensorsFixture
{
protected:
    // A stand-in for the settings page: the grid shows SerialNum, NSHType,
    // TypeName, ProdYear of every entry.
    void refreshGrid()
    {
        showRegisterIn(grid, db);
        ++refreshed;
    }

    TFormEtalTP editor{dialogs, db};
    QTableWidget grid{9, 9};
    QPushButton add, edit, remove;
    int refreshed = 0;
    EtalTPRegisterPage page{
        {&grid, &add, &edit, &remove}, &editor, db, dialogs, [this] { refreshGrid(); }};
};

TEST_F(EtalTPWindowTest, EditorPagesCellsAndInputRules)
{
    editor.show();
    EXPECT_EQ(editor.windowTitle(), "Эталонный ТП");
    EXPECT_EQ(editor.PageControl->tabText(0), "Параметры");
    EXPECT_EQ(editor.PageControl->tabText(1), "Данные градуировки");
    EXPECT_EQ(editor.StringGridParams->rowCount(), 7);
    EXPECT_EQ(StringGrid::cellText(editor.StringGridParams, 6, 0), "Владелец");
    EXPECT_EQ(editor.StringGridGraduation->rowCount(), 17);
    EXPECT_EQ(editor.StringGridGraduation->horizontalHeaderItem(0)->text(), "Температура, °С");

    EXPECT_EQ(typeInto(editor.StringGridParams, 3, 1, "20x25"), "2025");
    EXPECT_EQ(typeInto(editor.StringGridParams, 4, 1, "51"), "1");
    EXPECT_EQ(typeInto(editor.StringGridParams, 0, 1, "123456789"), "12345678");
    editor.PageControl->setCurrentIndex(1);
    EXPECT_EQ(typeInto(editor.StringGridGraduation, 0, 0, "1234567890"), "123456789");
    EXPECT_EQ(typeInto(editor.StringGridGraduation, 0, 1, "1,5Е-3 mV"), "1,5Е-3");

    editor.PageControl->setCurrentIndex(0);
    editor.StringGridParams->setCurrentCell(1, 1);
    ASSERT_TRUE(editor.ComboBoxType->isVisible());
    EXPECT_EQ(editor.ComboBoxType->count(), 2);
    editor.ComboBoxType->setCurrentIndex(1);
    Q_EMIT editor.ComboBoxType->activated(1);
    editor.StringGridParams->setCurrentCell(2, 1);
    EXPECT_FALSE(editor.ComboBoxType->isVisible());
    EXPECT_EQ(StringGrid::cellText(editor.StringGridParams, 1, 1), "ПРО");

    editor.PageControl->setCurrentIndex(1);
    editor.ClearData();
    EXPECT_EQ(editor.PageControl->currentIndex(), 0);
    EXPECT_FALSE(editor.isEditing());
    EXPECT_EQ(editor.editedID(), -1);
    EXPECT_EQ(StringGrid::cellText(editor.StringGridParams, 1, 1), "");
    EXPECT_EQ(StringGrid::cellText(editor.StringGridGraduation, 0, 1), "");
    editor.hide();
}

TEST_F(EtalTPWindowTest, ApplyShowsTheFirstProblemAndKeepsTheEditorOpen)
{
    editor.show();
    EtalTPData d = pointsData("1");
    d.temp[1] = "1,5Е2"; // Cyrillic exponent as typed
    editor.setData(d);
    editor.ButtonApply->click();
    EXPECT_EQ(dialogs.last().text,
              "Указано недопустимое значение параметра \"Температура\" в строке 1!");
    EXPECT_TRUE(editor.isVisible());
    d.temp[1] = "1.5E2";
    d.emf[2] = "2.5";
    editor.setData(d);
    editor.ButtonApply->click();
    EXPECT_FALSE(editor.isVisible());
    EXPECT_EQ(editor.result(), QDialog::Accepted);
    EXPECT_EQ(StringGrid::cellText(editor.StringGridGraduation, 0, 0), "1,5E2");
    EXPECT_EQ(StringGrid::cellText(editor.StringGridGraduation, 1, 1), "2,5");
    EXPECT_EQ(db.DBGetRecordsCount(tables::EtalSens, QString()), 1);
}

TEST_F(EtalTPWindowTest, AddEditAndDeleteFromTheSettingsPage)
{
    page.setEditorRunner([this](TFormEtalTP &form) {
        EXPECT_FALSE(form.isEditing());
        form.setData(pointsData("N'1"));
        form.ButtonApplyClick();
    });
    add.click();
    EXPECT_EQ(refreshed, 1);
    const int id = db.DBGetMaxID(tables::EtalSens, QString());
    EXPECT_EQ(grid.item(0, 0)->text(), "N'1");
    EXPECT_EQ(grid.rowCount(), 9);

    grid.setCurrentCell(0, 0);
    page.setEditorRunner([&](TFormEtalTP &form) {
        EXPECT_TRUE(form.isEditing());
        EXPECT_EQ(form.editedID(), id);
        EXPECT_EQ(StringGrid::cellText(form.StringGridGraduation, 2, 0), "900");
        EXPECT_EQ(StringGrid::cellText(form.StringGridGraduation, 3, 0), "");
        StringGrid::setCellText(form.StringGridParams, 6, 1, QStringLiteral("Лаб"));
        form.ButtonApplyClick();
    });
    edit.click();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(db.DBGetID(tables::EtalSens, QStringLiteral("Owner = 'Лаб'")), id);

    useEtalInBunch(id);
    grid.setCurrentCell(0, 2);
    remove.click();
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.last().text, "Не допускается удаление указанного эталонного ТП, так как "
                                   "есть поверки с его использованием!");

    grid.setCurrentCell(1, 0); // an empty row: nothing happens
    dialogs.clear();
    edit.click();
    remove.click();
    EXPECT_TRUE(dialogs.shown.empty());
}

} // namespace
} // namespace kront::test
