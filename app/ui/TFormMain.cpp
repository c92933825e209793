#include "app/ui/TFormMain.h"

#include "app/ui/MainWindowLogo.h"
#include "common/Clock.h"
#include "common/Dialogs.h"
#include "common/ui/HelpContext.h"
#include "model/ChannelBunches.h"
#include "model/CodeTables.h"
#include "model/CurrentVerification.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <utility>

namespace kront
{

namespace
{

// Help topics of the main window's states.
constexpr int kTopicIdle = 7;
constexpr int kTopicUnfinished = 3;
constexpr int kTopicSearch = 5;

struct ActionSpec {
    const char *name;
    const char16_t *caption;
    const char16_t *hint;
};

// Every command of the main window, with its caption and hint.
const ActionSpec kActions[] = {
    {"FileExit1", u"Выход", u"Завершить работу с программой"},
    {"SensorSetTP", u"Рабочие ТП", u"Параметры подключенных рабочих ТП"},
    {"SensorSetPPO", u"ППО", u"Параметры подключенных ППО"},
    {"SensorSetPRO", u"ПРО", u"Параметры подключенных ПРО"},
    {"SensorSetTS", u"ТС", u"Параметры подключенных рабочих ТС"},
    {"PoverkaTP", u"Поверка ТП (ГОСТ &8.338-2002)", u"Запустить поверку ТП (ГОСТ 8.338-2002)"},
    {"ContinuePoverka", u"Продолжить поверку", u"Продолжить незавершенную поверку"},
    {"PoverkaPPO", u"Поверка ППО (ГОСТ Р 8.611-2005)", u"Поверка ППО (ГОСТ Р 8.611-2005)"},
    {"PoverkaPRO", u"Поверка ПРО (МИ 1746-87)", u"Поверка ПРО (МИ 1746-87)"},
    {"PoverkaTS", u"Поверка ТС (ГОСТ Р 8.624-2006)", u"Поверка ТС (ГОСТ Р 8.624-2006)"},
    {"ResultSearchTP", u"Результаты поверок ТП", u"Результаты поверок ТП"},
    {"ResultSearchByType", u"Поиск по типу", u"Поиск по типу"},
    {"SensorHistory", u"История датчика", u"История датчика по всем его поверкам"},
    {"VerificationFacilities", u"Средства поверки", u"Средства поверки"},
    {"CommParams", u"Параметры подключения", u"Параметры подключения"},
    {"ProgramSettings", u"Настройки программы", u"Настройки программы"},
    {"HelpContents", u"&Содержание", u"Содержание справки по программе"},
    {"About", u"О программе...", u"О программе..."},
    {"ActionCopySensorString", u"Копировать строку", u"Копировать строку"},
    {"ActionPasteSensorString", u"Вставить строку", u"Вставить строку"},
    {"ActionClearSensorString", u"Очистить строку", u"Очистить строку"},
};

struct MenuSpec {
    const char16_t *title;
    std::initializer_list<const char *> visible;
    std::initializer_list<const char *> hidden; // invisible menu items
};

const MenuSpec kMenus[] = {
    {u"Файл", {"FileExit1"}, {}},
    {u"Подключенные датчики", {"SensorSetTP"}, {"SensorSetPPO", "SensorSetPRO", "SensorSetTS"}},
    {u"Поверка", {"PoverkaTP", "ContinuePoverka"}, {"PoverkaPPO", "PoverkaPRO", "PoverkaTS"}},
    {u"Результаты", {"ResultSearchTP", "SensorHistory"}, {"ResultSearchByType"}},
    {u"Настройка", {"VerificationFacilities", "CommParams", "ProgramSettings"}, {}},
    {u"Помощь", {"HelpContents", "About"}, {}},
};

// The tool bar; nullptr stands for a separator.
const char *const kToolBar[] = {"SensorSetTP", nullptr,          "PoverkaTP", "ContinuePoverka",
                                nullptr,       "ResultSearchTP", nullptr,     "ProgramSettings",
                                nullptr,       "HelpContents",   nullptr,     "FileExit1"};

QStyle::StandardPixmap iconOf(const QString &name)
{
    if (name == u"SensorSetTP")
        return QStyle::SP_FileDialogDetailedView;
    if (name == u"PoverkaTP")
        return QStyle::SP_MediaPlay;
    if (name == u"ContinuePoverka")
        return QStyle::SP_MediaSeekForward;
    if (name == u"ResultSearchTP")
        return QStyle::SP_FileDialogContentsView;
    if (name == u"ProgramSettings")
        return QStyle::SP_ComputerIcon;
    if (name == u"HelpContents")
        return QStyle::SP_DialogHelpButton;
    return QStyle::SP_DialogCloseButton;
}

} // namespace

TFormMain::TFormMain(Dialogs &dialogSet, ChannelBunches &channelBunches,
                     CurrentVerification &currentVerification, QWidget *parent)
    : QMainWindow(parent), dialogs(dialogSet), bunches(channelBunches),
      verification(currentVerification), pages(new QStackedWidget), idlePage(new MainWindowLogo),
      tools(new QToolBar)
{
    setObjectName(QStringLiteral("TFormMain"));
    setWindowTitle(kProgramTitle);
    resize(900, 640);
    pages->addWidget(idlePage);
    setCentralWidget(pages);
    statusBar();
    createActions();
    createMenus();
    createToolBar();
    connectActions();
    ShowIdle();
}

QAction *TFormMain::addAction(const QString &name, const QString &caption, const QString &hint)
{
    auto *a = new QAction(caption, this);
    a->setObjectName(name);
    a->setToolTip(hint);
    a->setStatusTip(hint);
    return a;
}

void TFormMain::createActions()
{
    for (const ActionSpec &spec : kActions) {
        QAction *a = addAction(QLatin1String(spec.name), QString::fromUtf16(spec.caption),
                               QString::fromUtf16(spec.hint));
        a->setIcon(style()->standardIcon(iconOf(a->objectName())));
    }
    action(QStringLiteral("SensorSetTP"))->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
}

void TFormMain::createMenus()
{
    for (const MenuSpec &spec : kMenus) {
        QMenu *menu = menuBar()->addMenu(QString::fromUtf16(spec.title));
        for (const char *name : spec.visible)
            menu->addAction(action(QLatin1String(name)));
        for (const char *name : spec.hidden) {
            QAction *a = action(QLatin1String(name));
            a->setVisible(false);
            menu->addAction(a);
        }
    }
}

void TFormMain::createToolBar()
{
    tools->setObjectName(QStringLiteral("ToolBar1"));
    tools->setToolButtonStyle(Qt::ToolButtonIconOnly);
    tools->setMovable(false);
    for (const char *name : kToolBar) {
        if (name)
            tools->addAction(action(QLatin1String(name)));
        else
            tools->addSeparator();
    }
    addToolBar(tools);
}

void TFormMain::connectActions()
{
    auto on = [this](const char *name, std::function<void()> f) {
        connect(action(QLatin1String(name)), &QAction::triggered, this, std::move(f));
    };
    auto sensorSet = [this](int kind) {
        if (hooks.showSensorSet)
            hooks.showSensorSet(kind);
    };
    auto settings = [this](int page) {
        if (hooks.showSettings)
            hooks.showSettings(page);
    };
    on("FileExit1", [this] {
        if (hooks.closeHelp)
            hooks.closeHelp();
        close();
    });
    on("SensorSetTP", [=] { sensorSet(skTP); });
    on("SensorSetPPO", [=] { sensorSet(skTP_PPO); });
    on("SensorSetPRO", [=] { sensorSet(skTP_PRO); });
    on("SensorSetTS", [=] { sensorSet(skTS); });
    on("PoverkaTP", [this] { PoverkaTPExecute(); });
    on("ContinuePoverka", [this] { ShowUnfinishedList(); });
    on("ResultSearchTP", [this] { ShowSearchPanel(); });
    on("ResultSearchByType", [this] { ShowSearchPanel(); });
    on("SensorHistory", [this] {
        if (hooks.showSensorHistory)
            hooks.showSensorHistory();
    });
    on("VerificationFacilities", [=] { settings(0); });
    on("CommParams", [=] { settings(1); });
    on("ProgramSettings", [=] { settings(2); });
    on("HelpContents", [this] {
        if (hooks.showHelpContents)
            hooks.showHelpContents();
    });
    on("About", [this] {
        if (hooks.showAbout)
            hooks.showAbout();
    });
}

QAction *TFormMain::action(const QString &name) const
{
    return findChild<QAction *>(name, Qt::FindDirectChildrenOnly);
}

void TFormMain::installPanel(QWidget *&slot, QWidget *panel)
{
    QWidget *old = std::exchange(slot, panel);
    pages->addWidget(panel);
    if (!old)
        return;
    if (pages->currentWidget() == old)
        pages->setCurrentWidget(panel);
    pages->removeWidget(old);
    old->deleteLater();
}

void TFormMain::setUnfinishedPanel(QWidget *panel)
{
    installPanel(panelUnfinished, panel);
}
void TFormMain::setSearchPanel(QWidget *panel)
{
    installPanel(panelSearch, panel);
}

void TFormMain::setState(State state, QWidget *page, int topic, bool commandsEnabled)
{
    current = state;
    pages->setCurrentWidget(page);
    menuBar()->setEnabled(commandsEnabled);
    tools->setEnabled(commandsEnabled);
    setHelpTopic(this, topic);
}

void TFormMain::ShowIdle()
{
    setState(State::Idle, idlePage, kTopicIdle, true);
}

void TFormMain::ShowUnfinishedList()
{
    if (!panelUnfinished)
        return;
    if (hooks.prepareUnfinishedList && !hooks.prepareUnfinishedList())
        return;
    setState(State::UnfinishedList, panelUnfinished, kTopicUnfinished, false);
}

void TFormMain::ShowSearchPanel()
{
    if (!panelSearch)
        return;
    if (hooks.prepareSearchPanel)
        hooks.prepareSearchPanel();
    setState(State::SearchPanel, panelSearch, kTopicSearch, false);
}

int TFormMain::helpTopic() const
{
    return helpTopicOf(this);
}

void TFormMain::FormCreate()
{
    if (hooks.resetSearchPanel)
        hooks.resetSearchPanel();
    if (hooks.checkTables)
        hooks.checkTables();
}

void TFormMain::PoverkaTPExecute()
{
    if (bunches.AllBunchesIsEmpty()) {
        dialogs.warning(
            QStringLiteral("Для выполнения поверки укажите параметры подключенных ТП!"));
        return;
    }
    TPoverka &poverka = verification.beginNew(bunches, programClock().now());
    if (hooks.runPoverkaWizard)
        hooks.runPoverkaWizard(poverka, *verification.Bi1());
    verification.end();
}

void TFormMain::FormClose()
{
    if (closed)
        return;
    closed = true;
    bunches.releaseAll();
}

void TFormMain::closeEvent(QCloseEvent *event)
{
    FormClose();
    QMainWindow::closeEvent(event);
}

} // namespace kront
