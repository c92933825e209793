#pragma once

#include <QMainWindow>
#include <functional>

class QAction;
class QMenu;
class QStackedWidget;
class QToolBar;

namespace kront
{

class ChannelBunches;
class CurrentVerification;
class Dialogs;
class TPoverka;
class TBi1;

// The main window: the menu and tool bar with every command, the idle
// picture and the two panels that replace it on request (the unfinished
// verifications and the search of finished ones).
class TFormMain : public QMainWindow
{
    Q_OBJECT
public:
    enum class State { Idle, UnfinishedList, SearchPanel };

    // What the commands hand over to other windows. A hook left empty (a
    // window under test alone) makes its command do only what the main
    // window itself does.
    struct Handlers {
        std::function<void(int sensorKind)> showSensorSet;        // connected-sensors editor
        std::function<void(TPoverka &, TBi1 &)> runPoverkaWizard; // prepare and show modally
        std::function<void(int page)> showSettings;               // pages 0, 1, 2
        std::function<void()> showAbout;
        std::function<void()> showHelpContents;
        std::function<void()> closeHelp;
        std::function<bool()> checkTables;      // start-up table check; false stops it
        std::function<void()> resetSearchPanel; // as the search panel's "Очистить"
        // Fills the list before it is shown; false keeps the main window as it
        // is (nothing to list, or the table could not be read).
        std::function<bool()> prepareUnfinishedList;
        std::function<void()> prepareSearchPanel; // lay out the grid before it is shown
        std::function<void()> showSensorHistory;  // "История датчика"
    };

    // bunches: the channel bunches the new-verification command verifies and
    // the shut-down releases; verification: where that verification lives
    // while the wizard runs.
    TFormMain(Dialogs &dialogs, ChannelBunches &bunches, CurrentVerification &verification,
              QWidget *parent = nullptr);

    Handlers &handlers() { return hooks; }

    // The creation handler: help, search panel reset, table check.
    void FormCreate();

    // Actions by their names (FileExit1, SensorSetTP, ...); nullptr if unknown.
    QAction *action(const QString &name) const;
    QToolBar *toolBar() const { return tools; }

    // The two panels, made by the windows that fill them; a panel set again
    // replaces the one before. A command whose panel is not set does nothing.
    void setUnfinishedPanel(QWidget *panel);
    void setSearchPanel(QWidget *panel);
    QWidget *unfinishedPanel() const { return panelUnfinished; }
    QWidget *searchPanel() const { return panelSearch; }

    // The three states; leaving a panel by its "Отмена" is ShowIdle(). While
    // either panel is shown the menu bar and the tool bar are disabled.
    void ShowIdle();
    void ShowUnfinishedList();
    void ShowSearchPanel();
    State state() const { return current; }
    int helpTopic() const;

    // A new verification over the channel bunches (the new-verification
    // command): the warning when no channel has a verified sensor; otherwise
    // the current verification and switching unit exist while the wizard
    // hook runs.
    void PoverkaTPExecute();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QAction *addAction(const QString &name, const QString &caption, const QString &hint);
    void createActions();
    void createMenus();
    void createToolBar();
    void connectActions();
    void installPanel(QWidget *&slot, QWidget *panel);
    void setState(State state, QWidget *page, int topic, bool commandsEnabled);
    // Shut-down: releases the channel bunches (once).
    void FormClose();

    Dialogs &dialogs;
    ChannelBunches &bunches;
    CurrentVerification &verification;
    Handlers hooks;
    QStackedWidget *pages;
    QWidget *idlePage;
    QWidget *panelUnfinished = nullptr;
    QWidget *panelSearch = nullptr;
    QToolBar *tools;
    State current = State::Idle;
    bool closed = false;
};

} // namespace kront
