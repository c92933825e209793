// The search panel and the document chooser as the operator uses them.

#include "reports/ui/OptionalDateEdit.h"
#include "reports/ui/PanelSearch.h"
#include "reports/ui/TFormSelectSensorsForSvid.h"
#include "tests/reports/ReportsFixture.h"
#include "tests/reports/SearchGrid.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTreeWidget>

namespace kront::test
{
namespace
{

class PanelSearchTest : public ReportsFixture
{
protected:
    QList<int> protocols, documentsAsked;
    int closed = 0;
    PanelSearch panel{db,
                      {[this](int id) { protocols << id; },
                       [this](int id) { documentsAsked << id; }, [this] { ++closed; }}};

    template <class W> W *child(const char *name)
    {
        W *w = panel.findChild<W *>(QLatin1String(name));
        EXPECT_NE(w, nullptr) << name;
        return w;
    }
    void click(const char *checkBox) { child<QCheckBox>(checkBox)->click(); }
    void press(const char *button) { child<QPushButton>(button)->click(); }
    QStringList gridNumbers() { return searchGridColumn(panel, scPovNum); }
};

TEST_F(PanelSearchTest, StartsClearedWithItsInputsDisabledAndAnEmptyGrid)
{
    for (const char *input : {"EditPovNum", "JvDatePickerEditDateFrom", "JvDatePickerEditDateTo",
                              "ComboBoxPovKind", "ComboBoxMethodic"})
        EXPECT_FALSE(child<QWidget>(input)->isEnabled()) << input;
    EXPECT_EQ(child<QComboBox>("ComboBoxPovKind")->currentIndex(), -1);
    QTableView *g = panel.grid();
    EXPECT_EQ(g->model()->columnCount(), 7);
    EXPECT_EQ(g->model()->rowCount(), 1);
    EXPECT_TRUE(g->isColumnHidden(scID));
    EXPECT_EQ(g->model()->headerData(4, Qt::Horizontal).toString(),
              QStringLiteral("Количество значений температуры"));
    // Nothing found: the buttons do nothing.
    press("ButtonPrintProtocol");
    press("ButtonSvid");
    EXPECT_TRUE(protocols.isEmpty());
    EXPECT_TRUE(documentsAsked.isEmpty());
}

TEST_F(PanelSearchTest, SearchesWithTheTickedConditionsAndHandsOverTheSelectedID)
{
    const int a = insertPoverka("A", QDateTime(QDate(2026, 12, 9), QTime(12, 0)), 0, 0, false, 2);
    const int b = insertPoverka("B", QDateTime(QDate(2026, 12, 8), QTime(12, 0)), 1, 1, true, 3);
    insertPoverka("C", QDateTime(), 0, 0, false, 1);
    press("ButtonSearchStart");
    EXPECT_EQ(gridNumbers(), QStringList({"B", "A"}));
    press("ButtonPrintProtocol");
    EXPECT_EQ(protocols, QList<int>{b});
    press("ButtonSvid");
    EXPECT_EQ(documentsAsked, QList<int>{b});
    panel.grid()->selectRow(1);
    press("ButtonPrintProtocol");
    EXPECT_EQ(protocols, QList<int>({b, a}));

    click("CheckBoxMethodic");
    EXPECT_TRUE(child<QComboBox>("ComboBoxMethodic")->isEnabled());
    press("ButtonSearchStart");
    EXPECT_EQ(gridNumbers(), QStringList({"B", "A"})); // no item selected: no condition
    child<QComboBox>("ComboBoxMethodic")->setCurrentIndex(0);
    press("ButtonSearchStart");
    EXPECT_EQ(gridNumbers(), QStringList({"A"}));

    click("CheckBoxPovNum");
    child<QLineEdit>("EditPovNum")->setText(QStringLiteral("B"));
    press("ButtonSearchStart");
    EXPECT_EQ(gridNumbers(), QStringList({QString()})); // one empty row, no message
    EXPECT_TRUE(dialogs.shown.empty());

    // Reopening keeps the conditions but empties the grid.
    panel.prepareForShow();
    EXPECT_EQ(gridNumbers(), QStringList({QString()}));
    EXPECT_TRUE(child<QCheckBox>("CheckBoxPovNum")->isChecked());
    EXPECT_EQ(child<QLineEdit>("EditPovNum")->text(), QStringLiteral("B"));

    press("ButtonSearchReset");
    EXPECT_FALSE(child<QCheckBox>("CheckBoxPovNum")->isChecked());
    EXPECT_TRUE(child<QLineEdit>("EditPovNum")->text().isEmpty());
    EXPECT_FALSE(child<QLineEdit>("EditPovNum")->isEnabled());
    EXPECT_EQ(child<QComboBox>("ComboBoxMethodic")->currentIndex(), -1);

    press("ButtonResultCancel");
    EXPECT_EQ(closed, 1);
}

TEST_F(PanelSearchTest, ATickedEmptyDatePickerShowsAndSearchesToday)
{
    insertPoverka("today", QDateTime(QDate(2026, 12, 10), QTime(8, 0)), 0, 0, false, 1);
    insertPoverka("before", QDateTime(QDate(2026, 12, 1), QTime(8, 0)), 0, 0, false, 1);
    auto *from = child<OptionalDateEdit>("JvDatePickerEditDateFrom");
    EXPECT_TRUE(from->isEmpty());
    click("CheckBoxDateFrom");
    EXPECT_EQ(from->optionalDate(), QDate(2026, 12, 10)); // the fake clock's day
    press("ButtonSearchStart");
    EXPECT_EQ(gridNumbers(), QStringList({"today"}));
    from->setOptionalDate(QDate(2026, 11, 30));
    press("ButtonSearchStart");
    EXPECT_EQ(gridNumbers(), QStringList({"before", "today"}));
    click("CheckBoxDateFrom");
    EXPECT_FALSE(from->isEnabled());
    press("ButtonSearchReset");
    EXPECT_TRUE(from->isEmpty());
}

TEST_F(PanelSearchTest, ScrollingToTheEndOfALongListShowsTheRestInOrder)
{
    const int ahead = SearchResultPages::kCountedAhead;
    const int n = ahead + 30;
    std::vector<TableRow> rows;
    for (int i = 0; i < n; ++i) {
        const QDateTime finished(QDate(2026, 1, 1).addDays(n - i), QTime(12, 0));
        rows.push_back(finishedPoverkaRow(i, finished, 0));
    }
    ASSERT_TRUE(db.insertRows(tables::Poverki, rows));
    QStringList earliestFirst; // the last inserted finished first
    for (int i = n - 1; i >= 0; --i)
        earliestFirst << QString::number(i);

    panel.resize(800, 600);
    panel.show();
    press("ButtonSearchStart");
    QAbstractItemModel *m = panel.grid()->model();
    EXPECT_EQ(m->rowCount(), ahead);
    QList<std::pair<int, int>> inserted;
    QObject::connect(m, &QAbstractItemModel::rowsInserted,
                     [&](const QModelIndex &, int first, int last) {
                         inserted.append({first, last});
                     });
    panel.grid()->scrollToBottom();
    QCoreApplication::processEvents();
    EXPECT_EQ(inserted, (QList<std::pair<int, int>>{{ahead, n - 1}}));
    EXPECT_FALSE(m->canFetchMore(QModelIndex()));
    EXPECT_EQ(gridNumbers(), earliestFirst);
}

// "Выгрузка во ФГИС…" hands over every verification found, or the rows selected when there are
// several; the exported ones are marked at each search and after each export.
TEST_F(PanelSearchTest, RegistryExportTakesWhatIsFoundOrSelectedAndMarksTheExported)
{
    const int a = insertPoverka("A", QDateTime(QDate(2026, 12, 7), QTime(12, 0)), 0, 0, false, 2);
    const int b = insertPoverka("B", QDateTime(QDate(2026, 12, 8), QTime(12, 0)), 0, 0, false, 2);
    const int c = insertPoverka("C", QDateTime(QDate(2026, 12, 9), QTime(12, 0)), 0, 0, false, 2);
    std::vector<std::vector<int>> handed;
    QSet<int> exported{b};
    panel.setRegistryExport({[&](const std::vector<int> &ids) {
                                 handed.push_back(ids);
                                 for (int id : ids)
                                     exported.insert(id);
                             },
                             [&] { return exported; }});
    press("ButtonRegistryExport");
    EXPECT_TRUE(handed.empty()); // nothing searched yet

    press("ButtonSearchStart");
    auto marks = [&] {
        QStringList out;
        const QAbstractItemModel *m = panel.grid()->model();
        for (int r = 0; r < m->rowCount(); ++r)
            out << (m->index(r, scPovNum).data(Qt::ToolTipRole).isNull() ? "" : "x");
        return out;
    };
    EXPECT_EQ(marks(), QStringList({"", "x", ""}));
    EXPECT_EQ(child<QPushButton>("ButtonRegistryExport")->text(), "Выгрузка во ФГИС…");

    press("ButtonRegistryExport"); // one row selected: everything found
    ASSERT_EQ(handed.size(), 1u);
    EXPECT_EQ(handed.back(), std::vector<int>({a, b, c}));
    EXPECT_EQ(marks(), QStringList({"x", "x", "x"}));

    exported = {};
    press("ButtonSearchStart");
    panel.grid()->selectionModel()->select(panel.grid()->model()->index(2, 0),
                                           QItemSelectionModel::Select | QItemSelectionModel::Rows);
    press("ButtonRegistryExport"); // rows 1 and 3 selected: those two, in grid order
    ASSERT_EQ(handed.size(), 2u);
    EXPECT_EQ(handed.back(), std::vector<int>({a, c}));
    EXPECT_EQ(marks(), QStringList({"x", "", "x"}));
}

TEST(SensorChooser, ListsTheSensorsAndTogglesAllTicks)
{
    TFormSelectSensorsForSvid form;
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Выбор ТП для печати документов"));
    TSensOpts a, b;
    a.SensorID = 11;
    a.NSHType = QStringLiteral("THA");
    a.SerialNum = QStringLiteral("A-1");
    a.Result = QStringLiteral("2");
    b.SensorID = 12;
    b.NSHType = QStringLiteral("THK");
    b.SerialNum = QStringLiteral("B-2");
    b.Result = QStringLiteral("Брак");
    b.DocNum = QStringLiteral("0003");
    form.setSensors({a, b});
    QTreeWidget *list = form.list();
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), QStringLiteral("11"));
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("ТХА"));
    EXPECT_EQ(list->topLevelItem(1)->text(3), QStringLiteral("Брак"));
    EXPECT_EQ(list->topLevelItem(1)->text(4), QStringLiteral("0003"));
    EXPECT_EQ(list->headerItem()->text(4), QStringLiteral("Выдан документ №"));
    EXPECT_TRUE(form.tickedSensorIDs().isEmpty());
    EXPECT_EQ(form.selectAllButton()->text(), QStringLiteral("Отметить все"));
    form.ButtonSelectAllClick();
    EXPECT_EQ(form.tickedSensorIDs(), QList<int>({11, 12}));
    EXPECT_EQ(form.selectAllButton()->text(), QStringLiteral("Снять отметку"));
    form.ButtonSelectAllClick();
    EXPECT_TRUE(form.tickedSensorIDs().isEmpty());
    list->topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(form.tickedSensorIDs(), QList<int>{12});
    form.setSensors({a});
    EXPECT_EQ(form.selectAllButton()->text(), QStringLiteral("Отметить все"));
}

} // namespace
} // namespace kront::test
