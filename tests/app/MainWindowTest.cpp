#include "app/ui/HelpViewer.h"
#include "app/ui/TFormMKRONTSettings.h"
#include "app/ui/TFormMain.h"
#include "common/ui/HelpContext.h"
#include "db/TableSchema.h"
#include "model/TPoverka.h"
#include "tests/app/AppTestFixture.h"
#include "tests/support/FakeClock.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>

namespace kront
{
namespace
{

class MainWindowTest : public test::AppFixture
{
protected:
    TFormMain &main() { return *windows->FormMain(); }
    void trigger(const char *name) { main().action(QLatin1String(name))->trigger(); }

    // A bunch of channel `channel` with `sensors` working thermocouples.
    static std::unique_ptr<TBunch> bunch(int channel, int sensors)
    {
        auto b = std::make_unique<TBunch>();
        b->ChannelNum = quint32(channel);
        for (int input = 1; input <= sensors; ++input)
            b->CreateSensor(3, input);
        b->PovTerminated = true;
        b->PovTermMeasPointNum = 4;
        return b;
    }
};

TEST_F(MainWindowTest, EveryActionHasItsCaptionHintAndShortcut)
{
    createWindows();
    const struct {
        const char *name;
        QString caption;
        QString hint;
    } actions[] = {
        {"FileExit1", "Выход", "Завершить работу с программой"},
        {"SensorSetTP", "Рабочие ТП", "Параметры подключенных рабочих ТП"},
        {"SensorSetPPO", "ППО", "Параметры подключенных ППО"},
        {"SensorSetPRO", "ПРО", "Параметры подключенных ПРО"},
        {"SensorSetTS", "ТС", "Параметры подключенных рабочих ТС"},
        {"PoverkaTP", "Поверка ТП (ГОСТ &8.338-2002)", "Запустить поверку ТП (ГОСТ 8.338-2002)"},
        {"ContinuePoverka", "Продолжить поверку", "Продолжить незавершенную поверку"},
        {"PoverkaPPO", "Поверка ППО (ГОСТ Р 8.611-2005)", "Поверка ППО (ГОСТ Р 8.611-2005)"},
        {"PoverkaPRO", "Поверка ПРО (МИ 1746-87)", "Поверка ПРО (МИ 1746-87)"},
        {"PoverkaTS", "Поверка ТС (ГОСТ Р 8.624-2006)", "Поверка ТС (ГОСТ Р 8.624-2006)"},
        {"ResultSearchTP", "Результаты поверок ТП", "Результаты поверок ТП"},
        {"ResultSearchByType", "Поиск по типу", "Поиск по типу"},
        {"VerificationFacilities", "Средства поверки", "Средства поверки"},
        {"CommParams", "Параметры подключения", "Параметры подключения"},
        {"ProgramSettings", "Настройки программы", "Настройки программы"},
        {"HelpContents", "&Содержание", "Содержание справки по программе"},
        {"About", "О программе...", "О программе..."},
        {"ActionCopySensorString", "Копировать строку", "Копировать строку"},
        {"ActionPasteSensorString", "Вставить строку", "Вставить строку"},
        {"ActionClearSensorString", "Очистить строку", "Очистить строку"},
    };
    for (const auto &a : actions) {
        SCOPED_TRACE(a.name);
        QAction *action = main().action(QLatin1String(a.name));
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text(), a.caption);
        EXPECT_EQ(action->toolTip(), a.hint);
        EXPECT_EQ(action->statusTip(), a.hint);
        const bool ctrlA = QByteArray(a.name) == "SensorSetTP";
        EXPECT_EQ(action->shortcut(),
                  ctrlA ? QKeySequence(QStringLiteral("Ctrl+A")) : QKeySequence());
    }
    // The accelerator sits on the first "8" of the caption.
    const QString caption = main().action("PoverkaTP")->text();
    EXPECT_EQ(caption.indexOf(u'&') + 1, QString("Поверка ТП (ГОСТ 8.338-2002)").indexOf(u'8') + 1);
    EXPECT_EQ(QString(caption).remove(u'&'), "Поверка ТП (ГОСТ 8.338-2002)");
    EXPECT_EQ(main().windowTitle(), "Программа автоматизации КРОНТ");
}

TEST_F(MainWindowTest, MenusHoldTheirGroupsWithInvisibleItems)
{
    createWindows();
    QStringList menus;
    for (QAction *m : main().menuBar()->actions()) {
        QString line = m->text() + ":";
        for (QAction *a : m->menu()->actions())
            line += " " + a->objectName() + (a->isVisible() ? "" : "(hidden)");
        menus << line;
    }
    EXPECT_EQ(menus,
              QStringList({"Файл: FileExit1",
                           "Подключенные датчики: SensorSetTP SensorSetPPO(hidden) "
                           "SensorSetPRO(hidden) SensorSetTS(hidden)",
                           "Поверка: PoverkaTP ContinuePoverka PoverkaPPO(hidden) "
                           "PoverkaPRO(hidden) PoverkaTS(hidden)",
                           "Результаты: ResultSearchTP SensorHistory ResultSearchByType(hidden)",
                           "Настройка: VerificationFacilities CommParams ProgramSettings",
                           "Помощь: HelpContents About"}));
}

TEST_F(MainWindowTest, ToolBarShowsIconsInItsOrderWithSeparators)
{
    createWindows();
    QStringList items;
    for (QAction *a : main().toolBar()->actions())
        items << (a->isSeparator() ? QStringLiteral("|") : a->objectName());
    EXPECT_EQ(items.join(' '), "SensorSetTP | PoverkaTP ContinuePoverka | ResultSearchTP | "
                               "ProgramSettings | HelpContents | FileExit1");
    EXPECT_EQ(main().toolBar()->toolButtonStyle(), Qt::ToolButtonIconOnly);
    for (QAction *a : main().toolBar()->actions()) {
        if (!a->isSeparator()) {
            EXPECT_FALSE(a->icon().isNull()) << a->objectName().toStdString();
        }
    }
}

TEST_F(MainWindowTest, PanelsChangeStateHelpTopicAndCommands)
{
    createWindows();
    EXPECT_EQ(main().state(), TFormMain::State::Idle);
    EXPECT_EQ(main().helpTopic(), 7);
    const struct {
        const char *action;
        TFormMain::State state;
        int topic;
    } cases[] = {
        {"ResultSearchTP", TFormMain::State::SearchPanel, 5},
        {"ResultSearchByType", TFormMain::State::SearchPanel, 5},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.action);
        trigger(c.action);
        EXPECT_EQ(main().state(), c.state);
        EXPECT_EQ(main().helpTopic(), c.topic);
        EXPECT_FALSE(main().menuBar()->isEnabled());
        EXPECT_FALSE(main().toolBar()->isEnabled());
        QWidget *panel = c.state == TFormMain::State::SearchPanel ? main().searchPanel()
                                                                  : main().unfinishedPanel();
        QPushButton *cancel = nullptr;
        for (QPushButton *b : panel->findChildren<QPushButton *>())
            if (b->text() == "Отмена")
                cancel = b;
        ASSERT_NE(cancel, nullptr);
        cancel->click();
        EXPECT_EQ(main().state(), TFormMain::State::Idle);
        EXPECT_EQ(main().helpTopic(), 7);
        EXPECT_TRUE(main().menuBar()->isEnabled());
        EXPECT_TRUE(main().toolBar()->isEnabled());
    }
}

TEST_F(MainWindowTest, UnfinishedListIsShownOnlyWithSomethingToContinue)
{
    createWindows();
    trigger("ContinuePoverka");
    EXPECT_EQ(main().state(), TFormMain::State::Idle);
    EXPECT_EQ(main().helpTopic(), 7);
    EXPECT_TRUE(main().menuBar()->isEnabled());
    ASSERT_FALSE(dialogs.shown.empty());
    EXPECT_EQ(dialogs.last().text, "Незавершенные поверки не найдены.");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Information);

    int prepared = 0;
    main().handlers().prepareUnfinishedList = [&] { return ++prepared > 0; };
    trigger("ContinuePoverka");
    EXPECT_EQ(prepared, 1);
    EXPECT_EQ(main().state(), TFormMain::State::UnfinishedList);
    EXPECT_EQ(main().helpTopic(), 3);
    EXPECT_FALSE(main().menuBar()->isEnabled());
    EXPECT_FALSE(main().toolBar()->isEnabled());
    QPushButton *cancel = main().unfinishedPanel()->findChild<QPushButton *>("ButtonCancel");
    ASSERT_NE(cancel, nullptr);
    cancel->click();
    EXPECT_EQ(main().state(), TFormMain::State::Idle);
    EXPECT_EQ(main().helpTopic(), 7);
}

TEST_F(MainWindowTest, ASearchPanelSetAgainIsTheOneShown)
{
    createWindows();
    int prepared = 0;
    main().handlers().prepareSearchPanel = [&] { ++prepared; };
    auto *panel = new QWidget;
    main().setSearchPanel(panel);
    trigger("ResultSearchTP");
    EXPECT_EQ(prepared, 1);
    EXPECT_EQ(main().searchPanel(), panel);
    EXPECT_TRUE(panel->isVisibleTo(&main()));
}

TEST_F(MainWindowTest, APanelCommandWithoutItsPanelKeepsTheIdlePicture)
{
    ChannelBunches bunches;
    CurrentVerification verification;
    TFormMain alone(dialogs, bunches, verification);
    int prepared = 0;
    alone.handlers().prepareUnfinishedList = [&] { return ++prepared > 0; };
    alone.handlers().prepareSearchPanel = [&] { ++prepared; };
    alone.ShowUnfinishedList();
    alone.ShowSearchPanel();
    EXPECT_EQ(alone.state(), TFormMain::State::Idle);
    EXPECT_EQ(prepared, 0);
    EXPECT_TRUE(alone.menuBar()->isEnabled());
}

TEST_F(MainWindowTest, AllBunchesIsEmptyUnlessASlotHasAVerifiedSensor)
{
    const struct {
        int sensors1; // -1: no bunch
        int sensors2;
        bool empty;
    } cases[] = {
        {-1, -1, true}, {0, -1, true}, {0, 0, true}, {-1, 1, false}, {2, 0, false}, {4, 4, false},
    };
    ChannelBunches bunches;
    for (const auto &c : cases) {
        SCOPED_TRACE(testing::Message() << c.sensors1 << " " << c.sensors2);
        bunches.releaseAll();
        if (c.sensors1 >= 0)
            bunches.set(1, bunch(1, c.sensors1));
        if (c.sensors2 >= 0)
            bunches.set(2, bunch(2, c.sensors2));
        EXPECT_EQ(bunches.AllBunchesIsEmpty(), c.empty);
    }
}

TEST_F(MainWindowTest, NewVerificationWithoutVerifiedSensorsOnlyWarns)
{
    createWindows();
    windows->bunches().set(1, bunch(1, 0));
    windows->bunches().set(2, bunch(2, 0));
    bool wizardShown = false;
    main().handlers().runPoverkaWizard = [&](TPoverka &, TBi1 &) { wizardShown = true; };
    trigger("PoverkaTP");
    EXPECT_FALSE(wizardShown);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().text, "Для выполнения поверки укажите параметры подключенных ТП!");
    EXPECT_EQ(dialogs.last().icon, Dialogs::Icon::Warning);
    EXPECT_EQ(dialogs.last().caption, "Программа автоматизации КРОНТ");
    EXPECT_FALSE(windows->verification().exists());
}

TEST_F(MainWindowTest, NewVerificationSharesTheBunchesWhileTheWizardIsOpen)
{
    test::FakeClock clock(QDateTime(QDate(2026, 12, 10), QTime(9, 15, 30)));
    createWindows();
    windows->bunches().set(2, bunch(2, 3));
    TBunch *second = windows->bunches().bunch(2);
    int shown = 0;
    main().handlers().runPoverkaWizard = [&](TPoverka &p, TBi1 &bi1) {
        ++shown;
        EXPECT_EQ(windows->verification().Poverka(), &p);
        EXPECT_EQ(windows->verification().Bi1(), &bi1);
        EXPECT_EQ(p.ChannelCount, 2);
        EXPECT_EQ(p.Started, clock.now());
        EXPECT_EQ(p.GOSTnum, "ГОСТ 8.338-2002");
        EXPECT_EQ(p.Bunches[1], nullptr);
        EXPECT_EQ(p.Bunches[2], second);
        EXPECT_TRUE(p.ChannelUnused[1]);
        EXPECT_FALSE(p.ChannelUnused[2]);
        EXPECT_EQ(p.Stage, stInitiation);
        EXPECT_FALSE(p.InstabilityDone);
        EXPECT_FALSE(second->PovTerminated);
        EXPECT_EQ(second->PovTermMeasPointNum, 0u);
    };
    trigger("PoverkaTP");
    EXPECT_EQ(shown, 1);
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(windows->verification().exists());
    EXPECT_EQ(windows->verification().Bi1(), nullptr);
    EXPECT_EQ(windows->bunches().bunch(2), second); // the bunch stays with the editor
}

TEST_F(MainWindowTest, ExitClosesHelpAndReleasesTheBunches)
{
    createWindows();
    main().show();
    trigger("HelpContents");
    ASSERT_TRUE(windows->Help()->isVisible());
    windows->bunches().set(1, bunch(1, 2));
    trigger("FileExit1");
    EXPECT_FALSE(windows->Help()->isVisible());
    EXPECT_FALSE(main().isVisible());
    EXPECT_EQ(windows->bunches().bunch(1), nullptr);
    EXPECT_TRUE(dialogs.shown.empty());

    // Closing again, and closing without bunches, is harmless.
    main().close();
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowTest, HelpOpensTheTopicOfTheFocusedWindow)
{
    createWindows();
    main().show();
    QApplication::setActiveWindow(&main());
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(&main(), &f1);
    HelpViewer &help = *windows->Help();
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(help.currentPage(), HelpViewer::pagePath(7));
    EXPECT_TRUE(help.browser()->toPlainText().contains("Главное окно"));

    trigger("ResultSearchTP");
    QApplication::sendEvent(main().searchPanel(), &f1);
    EXPECT_EQ(help.currentPage(), HelpViewer::pagePath(5));

    trigger("HelpContents");
    EXPECT_EQ(help.currentPage(), HelpViewer::contentsPath());
    help.showTopic(99);
    EXPECT_TRUE(help.browser()->toPlainText().contains("Раздел справки не найден"));
}

TEST_F(MainWindowTest, EveryHelpTopicHasItsPage)
{
    for (int topic : {1, 2, 3, 5, 7, 12, 13, 14, 19})
        EXPECT_TRUE(QFile::exists(HelpViewer::pagePath(topic))) << topic;
    EXPECT_TRUE(QFile::exists(HelpViewer::contentsPath()));
}

TEST_F(MainWindowTest, WindowsAreCreatedOnceInTheirOrder)
{
    ApplicationWindows &w = createWindows();
    const QStringList order = {"TFormMain",
                               "TFormSensorSet",
                               "TFormPoverkaTP",
                               "TFormDBSensors",
                               "TFormSelectEtalSensorType",
                               "TFormMKRONTSettings",
                               "TFormEtalTP",
                               "TFormProgress",
                               "TFormAbout",
                               "TFormSelectSensorsForSvid",
                               "TFormSensorHistory"};
    EXPECT_EQ(w.creationOrder(), order);
    w.create();
    EXPECT_EQ(w.creationOrder(), order);
}

TEST_F(MainWindowTest, StartOnAnEmptyHomeCreatesTheTablesSilently)
{
    createWindows();
    for (const char *table : {"Poverki", "EtalSens", "Sensors", "BunchesTP", "ResultsTP",
                              "Documents", "IzvReasons", "Conditions"})
        EXPECT_TRUE(QFile::exists(home.data(QString::fromLatin1(table) + ".cds"))) << table;
    EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join('\n').toStdString();
    EXPECT_TRUE(windows->settings().isLoaded());
    EXPECT_EQ(windows->settings().portName(), "/dev/ttyS0");
    EXPECT_FALSE(QFile::exists(home.config("kront.INI"))); // nothing written at start-up
}

TEST_F(MainWindowTest, SecondStartLeavesTheTableFilesAsTheyAre)
{
    createWindows();
    windows.reset();
    QMap<QString, QByteArray> before;
    for (const QString &name : QDir(home.path() + "/Data").entryList(QDir::Files)) {
        QFile f(home.data(name));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        before[name] = f.readAll();
    }
    ASSERT_EQ(before.size(), qsizetype(allTables().size() + addedTables().size()));
    createWindows();
    windows.reset();
    for (auto it = before.cbegin(); it != before.cend(); ++it) {
        QFile f(home.data(it.key()));
        ASSERT_TRUE(f.open(QIODevice::ReadOnly));
        EXPECT_EQ(f.readAll(), it.value()) << it.key().toStdString();
    }
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(MainWindowTest, HelpKeyInTheSettingsWindowOpensItsPage)
{
    ApplicationWindows &w = createWindows();
    TFormMKRONTSettings &settings = *w.FormMKRONTSettings();
    settings.pages()->setCurrentIndex(1);
    QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QApplication::sendEvent(settings.ComboBoxFoundPorts, &f1);
    EXPECT_EQ(w.Help()->currentPage(), HelpViewer::pagePath(13));
}

TEST_F(MainWindowTest, StartWithoutDataFolderReportsTheFirstTableOnly)
{
    ASSERT_TRUE(QDir(home.path() + "/Data").removeRecursively());
    createWindows();
    ASSERT_GE(dialogs.shown.size(), 1u);
    EXPECT_TRUE(dialogs.shown[0].text.contains("поверок")) << dialogs.shown[0].text.toStdString();
    EXPECT_EQ(dialogs.shown[0].icon, Dialogs::Icon::Error);
    EXPECT_FALSE(QDir(home.path() + "/Data").exists());
}

} // namespace
} // namespace kront
