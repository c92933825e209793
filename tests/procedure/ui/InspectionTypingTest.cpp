// Typing into the inspection grids of page 3: the cell filter judges the text a typed character
// leaves in the cell, and never swallows the editing shortcuts.
#include "common/ui/StringGrid.h"
#include "procedure/SetupPages.h"
#include "procedure/ui/InspectionPageWidget.h"
#include "tests/sensors/ui/GridTyping.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

PositionTexts oneSensor()
{
    PositionTexts serials;
    serials[1] = QStringLiteral("101");
    return serials;
}

QLineEdit *openEditor(StringGrid *grid)
{
    for (QLineEdit *e : grid->viewport()->findChildren<QLineEdit *>())
        if (e->isVisible())
            return e;
    return nullptr;
}

// A cell filled to its length limit is typed over whole: the selection the typing replaces does
// not count against the limit.
TEST(InspectionTyping, FullCellIsReplacedByTypingOverItsSelection)
{
    InspectionPageWidget page;
    page.prepare(oneSensor());
    page.show();
    struct Case {
        StringGrid *grid;
        int limit;
    };
    for (const Case &c : {Case{page.StringGridExternalSurvey, kRemarkMaxLength},
                          Case{page.StringGridInsulationStrength, kStrengthMaxLength}}) {
        SCOPED_TRACE(c.grid->objectName().toStdString());
        c.grid->setCell(1, 1, QString(c.limit, u'x'));
        EXPECT_EQ(typeIntoOpenEditor(c.grid, 1, 1, QStringLiteral("Ок")), "Ок");
    }
}

// Ctrl+A in the resistance grid, whose cells take only digits, still selects the cell's text.
TEST(InspectionTyping, ShortcutsReachTheEditorOfADigitsCell)
{
    InspectionPageWidget page;
    page.prepare(oneSensor());
    page.show();
    StringGrid *grid = page.StringGridInsulationResistance;
    grid->setCell(1, 1, QStringLiteral("12"));
    typeIntoOpenEditor(grid, 1, 1, QString());
    QLineEdit *editor = openEditor(grid);
    ASSERT_NE(editor, nullptr);
    editor->deselect();
    QKeyEvent selectAll(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier, QString(QChar(1)));
    QApplication::sendEvent(editor, &selectAll);
    EXPECT_EQ(editor->selectedText(), "12");
}

} // namespace
} // namespace kront::test
