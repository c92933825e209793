#pragma once

#include "sensors/EtalTPRegister.h"

#include <QObject>
#include <functional>

class QPushButton;
class QTableWidget;

namespace kront
{

class TFormEtalTP;

// The buttons "Добавить", "Изменить" and "Удалить" of the settings page
// "Эталонные ТП": they open the editor on a new or the selected entry, or
// delete the selected entry, and refresh the page's grid afterwards.
class EtalTPRegisterPage : public QObject
{
    Q_OBJECT
public:
    struct Controls {
        QTableWidget *grid;  // StringGridEtalTP: a header and one row per entry
        QPushButton *add;    // "Добавить"
        QPushButton *edit;   // "Изменить"
        QPushButton *remove; // "Удалить"
    };

    EtalTPRegisterPage(Controls controls, TFormEtalTP *editor, Database &database, Dialogs &dialogs,
                       std::function<void()> refreshGrid, QObject *parent = nullptr);

    // How the editor is shown; modal by default (tests replace it).
    void setEditorRunner(std::function<void(TFormEtalTP &)> runner);

    void ButtonAddClick();
    void ButtonEditClick();
    void ButtonDeleteClick();

private:
    QStringList selectedRow() const;

    Controls controls;
    TFormEtalTP *editor;
    EtalTPRegister reg;
    std::function<void()> refresh;
    std::function<void(TFormEtalTP &)> runEditor;
};

} // namespace kront
