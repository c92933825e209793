#pragma once

#include "procedure/UnfinishedVerifications.h"

#include <QWidget>
#include <functional>
#include <vector>

class QPushButton;

namespace kront
{

class CurrentVerification;
class StringGrid;
class TFormPoverkaTP;

// PanelUnfinished of the main window: the list of unfinished verifications
// with "Выбрать" (continue at the stored step), "Удалить" and "Отмена".
class UnfinishedPanel : public QWidget
{
    Q_OBJECT
public:
    // verification: where a continued verification lives while the wizard runs.
    UnfinishedPanel(Database &db, Dialogs &dialogs, CurrentVerification &verification,
                    QWidget *parent = nullptr);

    // The wizard that continues a chosen verification (not owned).
    void setWizard(TFormPoverkaTP *form) { wizard = form; }
    // Leaves the panel: menu and tool bar enabled, panel hidden, help topic 7.
    void setLeaveHandler(std::function<void()> handler) { leave = std::move(handler); }

    // Fills the list. False when no list can be shown (table not opened, or
    // no unfinished verification: the message was shown).
    bool ShowList();

    const std::vector<UnfinishedRow> &rows() const { return listed; }
    int selectedRow() const; // index into rows(), -1 when none
    void selectRow(int index);

    void ButtonSelectPovClick();
    void ButtonDeletePovClick();
    void ButtonCancelClick();

    StringGrid *StringGrid1;
    QPushButton *ButtonSelectPov;
    QPushButton *ButtonDeletePov;
    QPushButton *ButtonCancel;

private:
    void setUpGrid(int dataRows);

    UnfinishedVerifications unfinished;
    CurrentVerification &current;
    TFormPoverkaTP *wizard = nullptr;
    std::function<void()> leave;
    std::vector<UnfinishedRow> listed;
};

} // namespace kront
