#include "common/ui/StringGrid.h"
#include "model/ChannelBunches.h"
#include "model/CodeTables.h"
#include "model/TBunch.h"
#include "sensors/ui/CellComboBox.h"
#include "sensors/ui/TFormDBSensors.h"
#include "sensors/ui/TFormSensorSet.h"
#include "tests/sensors/SensorsFixture.h"
#include "tests/sensors/ui/GridTyping.h"

#include <QAction>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

QString cell(QTableWidget *g, int r, int c)
{
    return StringGrid::cellText(g, r, c);
}

void mouse(QTableWidget *g, QEvent::Type type, Qt::MouseButton button, int row, int column)
{
    const QPoint pos = g->visualRect(g->model()->index(row, column)).center();
    QMouseEvent ev(type, pos, g->viewport()->mapToGlobal(pos), button,
                   type == QEvent::MouseButtonRelease ? Qt::NoButton : button, Qt::NoModifier);
    QApplication::sendEvent(g->viewport(), &ev);
}

// Types text into a cell through its editor, as the keyboard would.
QString typeInto(QTableWidget *g, int row, int column, const QString &text)
{
    const QString typed = typeIntoOpenEditor(g, row, column, text);
    g->setCurrentCell(row, column == 1 ? 3 : 1); // closes the editor
    return typed;
}

class SensorWindowsTest : public SensorsFixture
{
protected:
    ChannelBunches bunches;
    TFormSensorSet form{dialogs, db, bunches};
    TFormDBSensors chooser{db};
};

TEST_F(SensorWindowsTest, LayoutPerKind)
{
    struct Case {
        int kind;
        const char *caption;
        int columns, rows;
        bool secondGrid;
        const char *corner;
        const char *col5;
        const char *lastRow;
    } cases[] = {
        {3, "Параметры подключенных ТП", 12, 6, true, "Канал 1", "Класс", "4"},
        {1, "Параметры подключенных ТП ППО", 10, 6, true, "Канал 1", "Разряд", "4"},
        {2, "Параметры подключенных ТП ПРО", 9, 6, true, "Канал 1", "Изготовитель", "4"},
        {5, "Параметры подключенных ТС", 10, 12, false, "Канал", "Изготовитель", "10"},
    };
    form.show();
    for (const Case &c : cases) {
        form.Prepare(c.kind);
        EXPECT_EQ(form.windowTitle(), QString::fromUtf8(c.caption));
        EXPECT_EQ(form.StringGrid1->columnCount(), c.columns);
        EXPECT_EQ(form.StringGrid1->rowCount(), c.rows);
        EXPECT_EQ(form.StringGrid2->isVisible(), c.secondGrid) << c.kind;
        EXPECT_EQ(cell(form.StringGrid1, 0, 0), QString::fromUtf8(c.corner));
        EXPECT_EQ(cell(form.StringGrid1, 0, 5), QString::fromUtf8(c.col5));
        EXPECT_EQ(cell(form.StringGrid1, c.rows - 1, 0), QString::fromUtf8(c.lastRow));
        EXPECT_EQ(cell(form.StringGrid1, 1, 0), c.kind == 5 ? "E" : "ОБР");
        // Every column is at least as wide as laid down and shows its header.
        const SensorGridLayout &layout = *SensorLayoutForKind(c.kind);
        for (int col = 1; col < c.columns; ++col) {
            EXPECT_GE(form.StringGrid1->columnWidth(col), layout.column(col)->width);
            EXPECT_GE(
                form.StringGrid1->columnWidth(col),
                form.StringGrid1->fontMetrics().horizontalAdvance(layout.column(col)->header));
        }
        // The whole grid is visible: no scrolling.
        EXPECT_GE(form.StringGrid1->viewport()->width(),
                  form.StringGrid1->horizontalHeader()->length());
        EXPECT_FALSE(form.StringGrid1->item(1, 0)->flags() & Qt::ItemIsEditable);
    }
    form.Prepare(3);
    form.layout()->activate();
    EXPECT_EQ(cell(form.StringGrid2, 0, 0), "Канал 2");
    EXPECT_GT(form.StringGrid2->geometry().top(), form.StringGrid1->geometry().bottom());
    form.hide();
}

TEST_F(SensorWindowsTest, TypeComboOffersTheChoicesOfItsRowAndWritesTheCell)
{
    form.show();
    form.Prepare(3);
    form.StringGrid1->setCurrentCell(1, 2);
    ASSERT_TRUE(form.ComboBoxNSH->isVisible());
    EXPECT_EQ(form.ComboBoxNSH->count(), 3);
    EXPECT_EQ(form.ComboBoxNSH->itemText(0), "");
    EXPECT_EQ(form.ComboBoxNSH->itemText(2), "ПРО");
    EXPECT_EQ(form.ComboBoxNSH->width(), form.StringGrid1->columnWidth(2) + 2);

    form.StringGrid1->setCurrentCell(3, 2);
    ASSERT_EQ(form.ComboBoxNSH->count(), 9);
    EXPECT_EQ(form.ComboBoxNSH->itemText(1), "ТПП13(R)");
    EXPECT_EQ(form.ComboBoxNSH->itemText(8), "ТХК(L)");
    form.ComboBoxNSH->setCurrentIndex(6);
    Q_EMIT form.ComboBoxNSH->activated(6);
    form.ComboBoxNSH->finishEdit();
    EXPECT_FALSE(form.ComboBoxNSH->isVisible());
    EXPECT_EQ(cell(form.StringGrid1, 3, 2), "ТХА(K)");

    // Typed characters do not reach the type cell; Escape in the list ends the edit.
    form.StringGrid1->setCurrentCell(3, 2);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"));
    QApplication::sendEvent(form.StringGrid1, &key);
    EXPECT_EQ(cell(form.StringGrid1, 3, 2), "ТХА(K)");
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form.StringGrid1, &enter);
    EXPECT_TRUE(form.ComboBoxNSH->isVisible());
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(form.ComboBoxNSH, &escape);
    EXPECT_FALSE(form.ComboBoxNSH->isVisible());
    EXPECT_TRUE(form.isVisible()); // Escape in the list does not close the window
    EXPECT_EQ(cell(form.StringGrid1, 3, 2), "ТХА(K)");

    form.StringGrid1->setCurrentCell(3, 2);
    form.StringGrid1->setCurrentCell(3, 3);
    EXPECT_FALSE(form.ComboBoxNSH->isVisible());

    // Kind 5 offers the resistance list on every row.
    form.Prepare(5);
    form.StringGrid1->setCurrentCell(11, 2);
    EXPECT_EQ(form.ComboBoxNSH->count(), 21);
    EXPECT_EQ(form.ComboBoxNSH->itemText(6), "П10");
    form.hide();
}

TEST_F(SensorWindowsTest, TypingFollowsTheColumnRules)
{
    form.show();
    form.Prepare(3);
    EXPECT_EQ(typeInto(form.StringGrid1, 2, 4, QStringLiteral("19a5x7")), "1957");
    EXPECT_EQ(typeInto(form.StringGrid1, 2, 5, QStringLiteral("0412")), "1");
    EXPECT_EQ(typeInto(form.StringGrid1, 2, 1, QStringLiteral("123456789")), "12345678");
    EXPECT_EQ(typeInto(form.StringGrid1, 2, 8, QStringLiteral("-1,5Е+2")), "-1,5Е2");
    form.Prepare(1);
    EXPECT_EQ(typeInto(form.StringGrid2, 3, 5, QStringLiteral("40")), "0");
    form.hide();
}

TEST_F(SensorWindowsTest, TabMovesAlongTheRowAndSkipsTheLabels)
{
    form.show();
    form.Prepare(3);
    form.StringGrid1->setFocus();
    form.StringGrid1->setCurrentCell(1, 10);
    for (int expected : {11, 1}) {
        QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, QStringLiteral("\t"));
        QApplication::sendEvent(form.StringGrid1, &tab);
        EXPECT_EQ(form.StringGrid1->currentColumn(), expected);
    }
    EXPECT_EQ(form.StringGrid1->currentRow(), 2);
    form.hide();
}

TEST_F(SensorWindowsTest, RowActionsWorkOnTheGridLastPressed)
{
    form.show();
    form.Prepare(3);
    form.setChooserRunner([](TFormDBSensors &) {});
    for (int c = 1; c <= 11; ++c)
        StringGrid::setCellText(form.StringGrid1, 2, c, QString::number(c));
    mouse(form.StringGrid1, QEvent::MouseButtonPress, Qt::LeftButton, 2, 3);
    form.StringGrid1->setCurrentCell(2, 3);
    form.CopySensorString();
    EXPECT_EQ(form.rowBuffer(), "1|2|3|4|5|6|7|8|9|10|11|");

    // A right press on the header row offers no menu; on a data row it selects the row.
    mouse(form.StringGrid2, QEvent::MouseButtonPress, Qt::RightButton, 0, 3);
    EXPECT_FALSE(form.PopupMenuSensors->isVisible());
    mouse(form.StringGrid2, QEvent::MouseButtonPress, Qt::RightButton, 4, 3);
    EXPECT_EQ(form.lastPressedGrid(), 2);
    EXPECT_EQ(form.StringGrid2->currentRow(), 4);
    EXPECT_TRUE(form.PopupMenuSensors->isVisible());
    form.PopupMenuSensors->hide();
    const QList<QAction *> actions = form.PopupMenuSensors->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[1]->text(), "Вставить строку");
    actions[1]->trigger();
    EXPECT_EQ(cell(form.StringGrid2, 4, 11), "11");
    EXPECT_EQ(cell(form.StringGrid1, 4, 1), "");
    actions[2]->trigger();
    EXPECT_EQ(cell(form.StringGrid2, 4, 1), "");

    // The buffer lasts: pasted into a kind 2 grid it fills columns 1 to 8.
    form.Prepare(2);
    mouse(form.StringGrid1, QEvent::MouseButtonPress, Qt::LeftButton, 3, 1);
    form.StringGrid1->setCurrentCell(3, 1);
    form.PasteSensorString();
    EXPECT_EQ(cell(form.StringGrid1, 3, 8), "8");
    EXPECT_EQ(form.StringGrid1->columnCount(), 9);
    form.hide();
}

TEST_F(SensorWindowsTest, ReleaseOverARowLabelOffersStoredSensorsAndFillsTheRow)
{
    addEtal("123", 2001, "ППО-1", "ППО", "1", 300, 1200, "ВНИИМ");
    form.setChooser(&chooser);
    int shown = 0;
    form.setChooserRunner([&](TFormDBSensors &c) {
        ++shown;
        EXPECT_EQ(c.windowTitle(), "Найденные датчики");
        EXPECT_EQ(c.StringGridFoundSensors->columnCount(), 9);
        EXPECT_EQ(c.StringGridFoundSensors->rowCount(), 1);
        EXPECT_EQ(c.StringGridFoundSensors->horizontalHeaderItem(8)->text(), "T max");
        c.ButtonApplyClick();
    });
    form.show();
    form.Prepare(3);
    mouse(form.StringGrid2, QEvent::MouseButtonRelease, Qt::LeftButton, 1, 0);
    EXPECT_EQ(shown, 0); // an empty row searches nothing
    StringGrid::setCellText(form.StringGrid2, 1, 1, QStringLiteral(" 123 "));
    mouse(form.StringGrid2, QEvent::MouseButtonRelease, Qt::RightButton, 1, 0);
    EXPECT_EQ(shown, 0);
    mouse(form.StringGrid2, QEvent::MouseButtonRelease, Qt::LeftButton, 1, 0);
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(chooser.editorGrid(), 2);
    EXPECT_EQ(chooser.editorRow(), 1);
    EXPECT_EQ(form.sensorSet().grid(2).row(1), QStringList({"", "123", "ППО", "ППО-1", "2001", "1",
                                                            "ВНИИМ", "", "300", "1200", "", ""}));
    // Input rows search the verified sensors: none stored, nothing shown.
    StringGrid::setCellText(form.StringGrid2, 2, 1, QStringLiteral("123"));
    mouse(form.StringGrid2, QEvent::MouseButtonRelease, Qt::LeftButton, 2, 0);
    EXPECT_EQ(shown, 1);
    form.hide();
}

// A working standard of the highest rank: the register keeps "Разряд" 0, the lookup
// brings "0" into "Класс" of row "ОБР", and "Принять" takes it. Input rows keep
// their classes 1 to 3.
TEST_F(SensorWindowsTest, AReferenceOfRankZeroIsTakenFromTheRegisterAndAccepted)
{
    const int etalID = addEtal("123", 2001, "ППО-1", "ППО", "0", 300, 1200);
    form.setChooser(&chooser);
    form.setChooserRunner([](TFormDBSensors &c) { c.ButtonApplyClick(); });
    form.show();
    form.Prepare(3);
    EXPECT_EQ(typeInto(form.StringGrid1, 1, 5, QStringLiteral("0")), "0");
    EXPECT_EQ(typeInto(form.StringGrid1, 2, 5, QStringLiteral("0")), "");
    StringGrid::setCellText(form.StringGrid1, 1, 5, QString());
    StringGrid::setCellText(form.StringGrid1, 1, 1, QStringLiteral("123"));
    mouse(form.StringGrid1, QEvent::MouseButtonRelease, Qt::LeftButton, 1, 0);
    EXPECT_EQ(cell(form.StringGrid1, 1, 5), "0");
    SensorSet set = form.sensorSet();
    setRow(set, 1, 2, {"7", "ТХА(K)", "ТХА", "2020", "0", "", "", "0", "1000"});
    form.setSensorSet(set); // a class 0 pasted into an input row
    form.BtnCommit->click();
    EXPECT_EQ(dialogs.texts(),
              QStringList{"Не удалось преобразовать значение \"0\" параметра \"Класс\" для входа "
                          "1 канала 1! Подключенные датчики не приняты."});

    dialogs.clear();
    StringGrid::setCellText(form.StringGrid1, 2, 5, QStringLiteral("2"));
    form.BtnCommit->click();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
    ASSERT_NE(bunches.bunch(1), nullptr);
    ASSERT_TRUE(bunches.bunch(1)->EtalSensor);
    const TThermometer &etal = *bunches.bunch(1)->EtalSensor;
    EXPECT_EQ(etal.ID, etalID);
    EXPECT_EQ(ClassNumber(etal), 0);
    EXPECT_EQ(ClassNumber(*bunches.bunch(1)->Sensor(1)), 2);

    form.show();
    form.Prepare(3);
    EXPECT_EQ(cell(form.StringGrid1, 1, 5), "0");
    EXPECT_EQ(cell(form.StringGrid1, 2, 5), "2");
    form.hide();
}

TEST_F(SensorWindowsTest, CommitClosesTheWindowAndReopeningShowsTheBunches)
{
    addEtal("123", 2001, "ППО-1", "ППО", "1", 300, 1200);
    form.show();
    form.Prepare(3);
    SensorSet set(3);
    setRow(set, 1, 1, {"123", "ППО", "ППО-1", "2001", "1", "", "", "300", "1200"});
    setRow(set, 1, 3, {"7", "ТХА(K)", "ТХА", "2020", "2", "", "", "0", "1000"});
    form.setSensorSet(set);
    form.BtnCommit->click();
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
    EXPECT_EQ(form.result(), QDialog::Accepted);
    ASSERT_NE(bunches.bunch(1), nullptr);
    EXPECT_EQ(bunches.bunch(1)->SensorCount, 1);

    form.show();
    form.Prepare(3);
    EXPECT_EQ(cell(form.StringGrid1, 3, 2), "ТХА(K)");
    StringGrid::setCellText(form.StringGrid1, 4, 1, QStringLiteral("typed"));
    form.BtnCancel->click();
    EXPECT_EQ(form.result(), QDialog::Rejected);
    form.Prepare(3); // uncommitted texts are not shown again
    EXPECT_EQ(cell(form.StringGrid1, 4, 1), "");
    EXPECT_EQ(cell(form.StringGrid1, 1, 1), "123");
}

} // namespace
} // namespace kront::test
