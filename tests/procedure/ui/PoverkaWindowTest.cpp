// The verification wizard's windows offscreen: layouts, captions and names,
// the character filters of page 3, page navigation with its checks, the
// reference thermometer chooser, the channel groups, the live chart and the
// list of unfinished verifications.
#include "common/ui/StringGrid.h"
#include "db/Database.h"
#include "link/MeterLink.h"
#include "model/CodeTables.h"
#include "model/CurrentVerification.h"
#include "model/TBi1.h"
#include "model/TPoverka.h"
#include "procedure/ui/ChannelGroupWidget.h"
#include "procedure/ui/ConclusionPageWidget.h"
#include "procedure/ui/DriftChart.h"
#include "procedure/ui/InspectionPageWidget.h"
#include "procedure/ui/MeansPageWidget.h"
#include "procedure/ui/ParametersPageWidget.h"
#include "procedure/ui/RadioGroup.h"
#include "procedure/ui/TFormPoverkaTP.h"
#include "procedure/ui/TFormSelectEtalSensorType.h"
#include "procedure/ui/UnfinishedPanel.h"
#include "settings/EquipParamsFile.h"
#include "settings/ProgramSettings.h"
#include "tests/support/FakeClock.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

namespace kront::test
{

namespace
{

class PoverkaWindowTest : public ::testing::Test
{
protected:
    PoverkaWindowTest()
    {
        db.ensureTables();
        form.setLinkFactory([](PoverkaEngine &) { return std::unique_ptr<MeterLink>(); });
        poverka.BeginNew(clock.now());
    }
    ~PoverkaWindowTest() override { form.Release(); }

    // Channel 1: ТХА on the given inputs, no reference sensor (direct method).
    void makeBunch(std::initializer_list<int> inputs)
    {
        bunch.ChannelNum = 1;
        bunch.SensKind = skTP;
        for (int input : inputs) {
            TThermometer *s = bunch.CreateSensor(skTP, input);
            s->NSHType = nshTHA;
            s->SensKind = skTP;
            s->ClassDop = 1;
            s->SerialNum = QStringLiteral("S%1").arg(input);
            s->TypeName = QStringLiteral("ТХА-0292");
            s->ProdYear = 2024;
        }
        poverka.AttachBunch(1, &bunch);
    }

    // Page 1, and the conditions of page 3 the wizard reaches later.
    void fillPage1(int kind = 1, int method = 0)
    {
        form.page1->EditPoverkaNumber->setText(QStringLiteral("12'A"));
        form.page1->RadioGroupVidPoverki->setItemIndex(kind);
        form.page1->RadioGroupMetodPoverki->setItemIndex(method);
        form.page3->EditAmbientTemperature->setText(QStringLiteral("21,5"));
        form.page3->EditPressure->setText(QStringLiteral("100,2"));
        form.page3->EditHumidity->setText(QStringLiteral("48"));
    }

    // Types a character into a page 3 cell through its editor.
    QString typeInto(StringGrid *grid, int col, int row, const QString &keys)
    {
        grid->setCurrentCell(row, col);
        grid->editItem(grid->item(row, col));
        auto *editor = grid->viewport()->findChild<QLineEdit *>();
        if (!editor)
            return QStringLiteral("<no editor>");
        for (QChar ch : keys) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(editor, &press);
        }
        return editor->text();
    }

    TempHome home;
    FakeClock clock;
    ScriptedDialogs dialogs;
    Database db{dialogs};
    ProgramSettings settings;
    TFormPoverkaTP form{db, dialogs, settings};
    TPoverka poverka;
    TBi1 bi1;
    TBunch bunch;
};

template <typename T> T *child(QWidget *parent, const char *name)
{
    return parent->findChild<T *>(QLatin1String(name));
}

} // namespace

TEST_F(PoverkaWindowTest, ControlsCarryTheirNamesAndTexts)
{
    EXPECT_EQ(form.windowTitle(), "Поверка ТП");
    const std::pair<const char *, const char *> buttons[] = {
        {"ButtonBack", "< &Назад"},
        {"ButtonNext", "&Далее >"},
        {"ButtonFinish", "&Завершить"},
        {"ButtonCancel", "Прервать"},
        {"ButtonHelp", "&Помощь"},
        {"ButtonRecordMeas1", "Записать показание"},
        {"ButtonRecordMeas2", "Записать показание"},
        {"Button1Prot", "Сформировать протокол поверки"},
        {"Button2Prot", "Сформировать протокол поверки"}};
    for (const auto &[name, text] : buttons) {
        auto *b = child<QPushButton>(&form, name);
        ASSERT_NE(b, nullptr) << name;
        EXPECT_EQ(b->text(), QString::fromUtf8(text)) << name;
    }
    const std::pair<const char *, const char *> labels[] = {
        {"LabelPoverkaNumber", "Поверка №:"},
        {"LabelTemperaturePointsCount", "Количество значений температуры\nопределения ТЭДС:"},
        {"LabelVerificationFacilities", "Укажите параметры средств поверки"},
        {"LabelCaptionConnectedInput2", "Подключенный вход:"},
        {"LabelCaptionMeasValue1", "Измеренное значение:"},
        {"LabelCaptionTemperatureDeviation1", "Температурный ход, °С/мин:"},
        {"LabelCaptionSKTemperature2", "Температура свободных концов, °С:"},
        {"LabelWrongTPConnection1", "Проверьте правильность подключения контактов ТП!"}};
    for (const auto &[name, text] : labels) {
        auto *l = child<QLabel>(&form, name);
        ASSERT_NE(l, nullptr) << name;
        EXPECT_EQ(l->text(), QString::fromUtf8(text)) << name;
    }
    for (const char *name :
         {"LabelConnectedInput1", "LabelMeasValue2", "LabelTemperatureDeviation1",
          "LabelCaptionThermostatTemperature2", "LabelThermostatTemperature1"})
        EXPECT_NE(child<QLabel>(&form, name), nullptr) << name;
    for (const char *name : {"EditThermostatTemperature1", "EditSKTemperature2"})
        EXPECT_NE(child<QLineEdit>(&form, name), nullptr) << name;
    EXPECT_NE(child<QStatusBar>(&form, "StatusBar1"), nullptr);
    EXPECT_NE(child<DriftChart>(&form, "ChartFurnaceTemperature2"), nullptr);
    EXPECT_EQ(form.channelGroup(1)->title(), "Канал 1");
    EXPECT_EQ(form.channelGroup(2)->title(), "Канал 2");
    EXPECT_EQ(form.page5->GroupBox2Prot->title(), "Канал 2");

    EXPECT_EQ(form.page1->EditPoverkaNumber->maxLength(), 8);
    EXPECT_EQ(form.page1->JvSpinEditTemperaturePointsCount->minimum(), 1);
    EXPECT_EQ(form.page1->JvSpinEditTemperaturePointsCount->maximum(), 8);
    EXPECT_EQ(form.page1->RadioGroupVidPoverki->title(), "Вид поверки");
    EXPECT_EQ(form.page1->RadioGroupMetodPoverki->title(), "Метод поверки");
    EXPECT_EQ(form.page1->CheckBoxDoInstabilityCheck->text(), "Выполнить проверку нестабильности");
    EXPECT_EQ(form.page2->lines(), MeansPageWidget::templateLines());
    EXPECT_EQ(form.page2->lines().size(), 4);
}

TEST_F(PoverkaWindowTest, GridsAreLaidOutWithTheirHeadersAndWidths)
{
    InspectionPageWidget *p = form.page3;
    struct Layout {
        StringGrid *grid;
        int cols, rows;
        QStringList fixedTexts; // (0,0), then (1,0) or (0,1), (0,2)
    };
    const Layout layouts[] = {
        {p->StringGridExternalSurvey, 2, 9, {"Сер. № ТП", "Замечания"}},
        {p->StringGridInsulationStrength, 9, 2, {"Сер. № ТП", "Прочность"}},
        {p->StringGridInsulationResistance, 9, 3, {"Сер. № ТП", "Rиз +", "Rиз -"}}};
    for (const Layout &l : layouts) {
        EXPECT_EQ(l.grid->columnCount(), l.cols) << l.grid->objectName().toStdString();
        EXPECT_EQ(l.grid->rowCount(), l.rows);
        EXPECT_EQ(l.grid->cell(0, 0), l.fixedTexts[0]);
        EXPECT_EQ(l.grid->columnWidth(0), 73);
        // The grid shows every cell without scrolling.
        EXPECT_GE(l.grid->width(), l.grid->columnWidth(0) * (l.cols == 2 ? 1 : l.cols));
    }
    EXPECT_EQ(p->StringGridExternalSurvey->cell(1, 0), "Замечания");
    EXPECT_EQ(p->StringGridExternalSurvey->columnWidth(1), 590);
    EXPECT_EQ(p->StringGridInsulationStrength->cell(0, 1), "Прочность");
    EXPECT_EQ(p->StringGridInsulationResistance->cell(0, 2), "Rиз -");
    EXPECT_EQ(p->StringGridInsulationResistance->columnWidth(8), 73);

    StringGrid *chan = form.channelGroup(2)->grid;
    EXPECT_EQ(chan->objectName(), "StringGridChan2");
    EXPECT_EQ(chan->columnCount(), 5);
    EXPECT_EQ(chan->rowCount(), 6);

    for (int c = 1; c <= 2; ++c) {
        StringGrid *g = form.page5->grid(c);
        EXPECT_EQ(g->objectName(), QStringLiteral("StringGrid%1Prot").arg(c));
        EXPECT_EQ(g->columnCount(), 4);
        EXPECT_EQ(g->rowCount(), 5);
        EXPECT_EQ(g->fixedCols(), 0);
        EXPECT_EQ(g->fixedRows(), 1);
        EXPECT_EQ(g->columnWidth(0), 60);
        EXPECT_EQ(g->columnWidth(3), 200);
        EXPECT_EQ(g->cell(3, 0), "Заключение о пригодности ТП (ЧЭ)");
        EXPECT_EQ(g->cell(0, 0), "Тип ТП");
    }
}

TEST_F(PoverkaWindowTest, PreparationPutsSerialsInTheHeadersAndOpensOnlyThosePositions)
{
    makeBunch({1, 3});
    form.page3->StringGridExternalSurvey->setCell(1, 2, QStringLiteral("old"));
    form.PrepareNew(poverka, bi1);
    EXPECT_EQ(form.currentPage(), 1);
    EXPECT_EQ(form.subtitle(), "Параметры поверки");
    EXPECT_TRUE(form.page1->EditPoverkaNumber->text().isEmpty());
    EXPECT_EQ(form.page1->RadioGroupVidPoverki->itemIndex(), -1);
    EXPECT_EQ(form.page1->RadioGroupMetodPoverki->itemIndex(), -1);
    EXPECT_TRUE(form.page1->CheckBoxDoInstabilityCheck->isHidden());
    EXPECT_EQ(form.page1->JvSpinEditTemperaturePointsCount->value(), 1);

    InspectionPageWidget *p = form.page3;
    EXPECT_TRUE(p->StringGridExternalSurvey->cell(1, 2).isEmpty());
    for (int pos = 1; pos <= 8; ++pos) {
        const QString serial = pos == 1 ? "S1" : pos == 3 ? "S3" : "";
        EXPECT_EQ(p->StringGridExternalSurvey->cell(0, pos), serial) << pos;
        EXPECT_EQ(p->StringGridInsulationStrength->cell(pos, 0), serial) << pos;
        EXPECT_EQ(p->StringGridInsulationResistance->cell(pos, 0), serial) << pos;
        EXPECT_EQ(p->StringGridExternalSurvey->isCellEditable(1, pos), !serial.isEmpty()) << pos;
        EXPECT_EQ(p->StringGridInsulationResistance->isCellEditable(pos, 2), !serial.isEmpty());
    }
}

TEST_F(PoverkaWindowTest, Page3CellsFilterTypedCharacters)
{
    makeBunch({1, 2});
    form.PrepareNew(poverka, bi1);
    form.show();
    InspectionPageWidget *p = form.page3;
    form.NextButtonClick(); // stays on page 1 (nothing filled), but the page 3 widgets exist
    EXPECT_EQ(typeInto(p->StringGridInsulationResistance, 1, 1, "1a2,5.-e"), "12,5.-");
    EXPECT_EQ(typeInto(p->StringGridInsulationStrength, 2, 1, QString(25, u'x')),
              QString(20, u'x'));
    EXPECT_EQ(typeInto(p->StringGridExternalSurvey, 1, 1, QString(85, u'r')), QString(80, u'r'));
}

TEST_F(PoverkaWindowTest, Page1RefusesMissingChoicesAndShowsTheCheckBoxForPrimaryOnly)
{
    makeBunch({1});
    form.PrepareNew(poverka, bi1);
    struct Case {
        QString number;
        int kind, method;
        QString message;
    };
    const Case cases[] = {{"        ", 1, 0, "Укажите номер поверки!"},
                          {"7", -1, 0, "Выберите вид поверки!"},
                          {"7", 1, -1, "Выберите метод поверки!"}};
    for (const Case &c : cases) {
        dialogs.clear();
        form.page1->EditPoverkaNumber->setText(c.number);
        form.page1->RadioGroupVidPoverki->setItemIndex(c.kind);
        form.page1->RadioGroupMetodPoverki->setItemIndex(c.method);
        form.NextButtonClick();
        EXPECT_EQ(form.currentPage(), 1);
        ASSERT_FALSE(dialogs.shown.empty());
        EXPECT_EQ(dialogs.last().text, c.message);
        EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
    }
    form.page1->RadioGroupVidPoverki->setItemIndex(0);
    EXPECT_FALSE(form.page1->CheckBoxDoInstabilityCheck->isHidden());
    form.page1->RadioGroupVidPoverki->setItemIndex(1);
    EXPECT_TRUE(form.page1->CheckBoxDoInstabilityCheck->isHidden());
}

TEST_F(PoverkaWindowTest, WizardWalksToTheMeasurementPageAndStoresTheVerification)
{
    makeBunch({1, 3});
    ASSERT_TRUE(EquipParamsFile().writeLines({"Термопреобразователь 1 разряда", "КРОНТ-2М № 5"}));
    form.PrepareNew(poverka, bi1);
    EXPECT_FALSE(form.ButtonBack->isEnabled());
    EXPECT_TRUE(form.ButtonFinish->isHidden());

    fillPage1();
    form.page1->JvSpinEditTemperaturePointsCount->setValue(3);
    form.NextButtonClick();
    ASSERT_EQ(form.currentPage(), 2);
    EXPECT_EQ(form.subtitle(), "Средства поверки");
    EXPECT_EQ(form.page2->lines(), QStringList({"Термопреобразователь 1 разряда", "КРОНТ-2М № 5"}));
    EXPECT_TRUE(form.ButtonBack->isEnabled());
    form.BackButtonClick();
    EXPECT_EQ(form.currentPage(), 1);
    form.NextButtonClick();
    form.page2->MemoVerificationFacilities->setPlainText(QStringLiteral("Средство 1\nСредство 2"));
    form.NextButtonClick();
    ASSERT_EQ(form.currentPage(), 3);
    EXPECT_EQ(form.subtitle(), "Внешний осмотр, электрическая прочность и электрическое "
                               "сопротивление изоляции");
    EXPECT_EQ(EquipParamsFile().readLines().value_or(QStringList()),
              QStringList({"Средство 1", "Средство 2"}));

    InspectionPageWidget *p = form.page3;
    p->StringGridInsulationResistance->setCell(1, 1, QStringLiteral("1.5"));
    p->StringGridInsulationResistance->setCell(3, 2, QStringLiteral("abc"));
    form.NextButtonClick();
    EXPECT_EQ(form.currentPage(), 3);
    EXPECT_EQ(dialogs.last().text, "Указаны недопустимые числовые значения для сопротивления!");
    EXPECT_EQ(p->StringGridInsulationResistance->cell(1, 1), "1,5"); // written back normalised

    p->StringGridInsulationResistance->setCell(3, 2, QString());
    form.NextButtonClick();
    ASSERT_EQ(form.currentPage(), 4);
    EXPECT_EQ(form.subtitle(), "Определение ТЭДС при 1-й температуре");
    EXPECT_FALSE(form.ButtonNext->isEnabled());
    EXPECT_FALSE(form.ButtonBack->isEnabled());
    EXPECT_EQ(form.channelGroup(1)->grid->cell(1, 0), "Отсчёт 1");
    EXPECT_EQ(form.channelGroup(1)->grid->cell(0, 1), "ОБР");
    EXPECT_EQ(form.channelGroup(1)->grid->cell(1, 3), "XXXXXXXXX"); // input 2: no sensor
    EXPECT_TRUE(form.channelGroup(1)->grid->cell(1, 2).isEmpty());  // input 1: to be read
    EXPECT_FALSE(form.channelGroup(2)->isEnabled());

    const auto rows = db.select(tables::Poverki, QString());
    ASSERT_TRUE(rows && rows->size() == 1);
    EXPECT_EQ(rows->front().value("PovNum").toString(), "12'A");
    EXPECT_EQ(rows->front().value("CurrPovState").toString(), "MainCycle;0;0;3;");
    EXPECT_EQ(rows->front().value("EquipmentParams").toString(), "Средство 1\r\nСредство 2");
}

TEST_F(PoverkaWindowTest, ProtocolButtonsPrintTheBunchOfTheirChannelOnly)
{
    makeBunch({1});
    std::vector<std::pair<int, int>> printed;
    form.setProtocolPrinter([&](int bunchID, int poverkaID) {
        printed.push_back({bunchID, poverkaID});
    });
    form.PrepareNew(poverka, bi1);
    fillPage1();
    form.NextButtonClick();
    form.NextButtonClick();
    form.NextButtonClick();
    ASSERT_EQ(form.currentPage(), 4);
    form.page5->Button2Prot->click(); // no bunch on channel 2: nothing
    EXPECT_TRUE(printed.empty());
    form.page5->Button1Prot->click();
    form.page5->Button1Prot->click(); // each press makes the protocol again
    ASSERT_EQ(printed.size(), 2u);
    EXPECT_GT(printed[0].first, 0);
    EXPECT_EQ(printed[0].first, bunch.ID);
    EXPECT_EQ(printed[0].second, poverka.ID);
}

TEST_F(PoverkaWindowTest, ChooserKeepsItsWindowUntilTheEngineAcceptsTheChoice)
{
    TFormSelectEtalSensorType chooser;
    EXPECT_EQ(chooser.windowTitle(), "Выбор типа эталонного термометра");
    EXPECT_EQ(chooser.group(1)->objectName(), "RadioGroupEtalSensorTypeCh1");
    EXPECT_EQ(chooser.group(2)->title(), "Тип эталонного термометра канала 2");
    EtalChooserSetup setup;
    setup.enabled = {false, true, false};
    setup.selected = {-1, -1, 0};
    int calls = 0;
    QTimer::singleShot(0, &chooser, [&] {
        EXPECT_TRUE(chooser.group(1)->isEnabled());
        EXPECT_FALSE(chooser.group(2)->isEnabled());
        EXPECT_EQ(chooser.group(1)->itemIndex(), -1);
        EXPECT_EQ(chooser.group(2)->itemIndex(), 0);
        chooser.ButtonOkClick(); // refused: nothing chosen on channel 1
        EXPECT_TRUE(chooser.isVisible());
        chooser.group(1)->setItemIndex(1);
        chooser.ButtonOkClick();
    });
    const auto choice = chooser.choose(setup, [&](const EtalChoice &c) {
        ++calls;
        return c[1] >= 0;
    });
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ((*choice)[1], 1);
    EXPECT_EQ((*choice)[2], 0);
    EXPECT_EQ(calls, 2);

    QTimer::singleShot(0, &chooser, [&] { chooser.ButtonCancelClick(); });
    EXPECT_FALSE(chooser.choose(setup, [](const EtalChoice &) { return true; }).has_value());
}

TEST_F(PoverkaWindowTest, ChannelGroupShowsWhatTheEngineDecided)
{
    ChannelGroupWidget *g = form.channelGroup(1);
    ChannelControls c;
    c.recordVisible = true;
    c.statusText = QStringLiteral("Для продолжения нажмите кнопку «Записать показание»");
    c.stabilityText = QStringLiteral("Температура стабильна");
    c.measValueVisible = true;
    c.measValue = QStringLiteral("4,234");
    c.thermostatCaptionVisible = true;
    c.thermostatCaption = QStringLiteral("Температура печи, °С:");
    c.wrongConnectionVisible = true;
    form.showChannelControls(1, c);
    EXPECT_FALSE(g->ButtonRecordMeas->isHidden());
    EXPECT_EQ(g->statusText(0), c.statusText);
    EXPECT_EQ(g->statusText(1), c.stabilityText);
    EXPECT_EQ(g->LabelMeasValue->text(), "4,234");
    EXPECT_FALSE(g->LabelMeasValue->isHidden());
    EXPECT_EQ(g->LabelCaptionThermostatTemperature->text(), "Температура печи, °С:");
    EXPECT_FALSE(g->LabelWrongTPConnection->isHidden());
    EXPECT_TRUE(g->EditSKTemperature->isHidden());

    form.showChannelControls(1, ChannelControls{});
    EXPECT_TRUE(g->ButtonRecordMeas->isHidden());
    EXPECT_TRUE(g->LabelWrongTPConnection->isHidden());
    EXPECT_TRUE(g->statusText(0).isEmpty());

    form.setEditText(2, ChannelEdit::SKTemperature, QStringLiteral("21,5"));
    EXPECT_EQ(form.editText(2, ChannelEdit::SKTemperature), "21,5");
    EXPECT_EQ(form.channelGroup(2)->EditSKTemperature->text(), "21,5");
}

TEST_F(PoverkaWindowTest, ChartShowsTheDriftHistoryAndItsSpread)
{
    DriftChart *chart = form.channelGroup(1)->chart;
    const QDateTime t0 = clock.now();
    std::vector<DriftSample> samples{
        {500.0, t0}, {500.5, t0.addSecs(600)}, {500.2, t0.addSecs(1900)}};
    form.showDriftSamples(1, samples, 0.5);
    EXPECT_EQ(chart->pointCount(), 3);
    EXPECT_TRUE(chart->titleText().contains("0,50")) << chart->titleText().toStdString();
    form.showDriftSamples(1, samples, 3000);
    EXPECT_TRUE(chart->titleText().contains("не оценён"));
    form.showDriftSamples(1, {}, 3000);
    EXPECT_EQ(chart->pointCount(), 0);
}

TEST_F(PoverkaWindowTest, UnfinishedListShowsStoredVerificationsAndDeletesThem)
{
    makeBunch({1});
    form.PrepareNew(poverka, bi1);
    fillPage1();
    form.NextButtonClick();
    form.NextButtonClick();
    form.NextButtonClick();
    ASSERT_EQ(form.currentPage(), 4);
    form.Release();

    CurrentVerification current;
    UnfinishedPanel panel(db, dialogs, current);
    EXPECT_EQ(panel.objectName(), "PanelUnfinished");
    ASSERT_TRUE(panel.ShowList());
    StringGrid *g = panel.StringGrid1;
    EXPECT_EQ(g->columnCount(), 6);
    EXPECT_EQ(g->rowCount(), 2);
    EXPECT_EQ(g->cell(0, 0), "№ поверки");
    EXPECT_EQ(g->cell(0, 1), "12'A");
    EXPECT_EQ(g->cell(1, 1), clock.now().toString("dd.MM.yyyy hh:mm:ss"));
    EXPECT_EQ(g->cell(2, 1), "Прямые измерения");
    EXPECT_EQ(g->cell(3, 1), "Периодическая");
    EXPECT_EQ(g->cell(4, 1), "Определение ТЭДС ЧЭ ТП, шаг 0 из 1");
    EXPECT_TRUE(g->isColumnHidden(5));
    EXPECT_EQ(panel.selectedRow(), 0);

    dialogs.queueAnswer(Dialogs::Answer::Yes);
    panel.ButtonDeletePovClick();
    EXPECT_EQ(g->rowCount(), 1); // only the header until "Отмена"
    EXPECT_EQ(dialogs.last().text, "Незавершенные поверки не найдены.");
    bool left = false;
    panel.setLeaveHandler([&] { left = true; });
    panel.ButtonCancelClick();
    EXPECT_TRUE(left);
}

} // namespace kront::test
