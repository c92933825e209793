#include "sensors/ui/EtalTPRegisterPage.h"

#include "common/ui/StringGrid.h"
#include "sensors/ui/TFormEtalTP.h"

#include <QPushButton>
#include <QTableWidget>

namespace kront
{

EtalTPRegisterPage::EtalTPRegisterPage(Controls buttons, TFormEtalTP *etalEditor,
                                       Database &database, Dialogs &dialogs,
                                       std::function<void()> refreshGrid, QObject *parent)
    : QObject(parent), controls(buttons), editor(etalEditor), reg(database, dialogs),
      refresh(std::move(refreshGrid)), runEditor([](TFormEtalTP &form) { form.exec(); })
{
    connect(controls.add, &QPushButton::clicked, this, [this] { ButtonAddClick(); });
    connect(controls.edit, &QPushButton::clicked, this, [this] { ButtonEditClick(); });
    connect(controls.remove, &QPushButton::clicked, this, [this] { ButtonDeleteClick(); });
}

void EtalTPRegisterPage::setEditorRunner(std::function<void(TFormEtalTP &)> runner)
{
    runEditor = std::move(runner);
}

QStringList EtalTPRegisterPage::selectedRow() const
{
    QStringList cells;
    const int row = controls.grid->currentRow();
    if (row < 0)
        return cells;
    for (int c = 0; c < controls.grid->columnCount(); ++c)
        cells << StringGrid::cellText(controls.grid, row, c);
    return cells;
}

void EtalTPRegisterPage::ButtonAddClick()
{
    editor->ClearData();
    runEditor(*editor);
    if (refresh)
        refresh();
}

void EtalTPRegisterPage::ButtonEditClick()
{
    const QStringList row = selectedRow();
    if (!EtalTPRegister::RowHasType(row))
        return;
    const int id = reg.FindGridRowID(row);
    if (id < 0)
        return;
    const std::optional<EtalTPData> data = reg.ReadByID(id);
    if (!data)
        return;
    editor->EditExisting(id, *data);
    runEditor(*editor);
    if (refresh)
        refresh();
}

void EtalTPRegisterPage::ButtonDeleteClick()
{
    const QStringList row = selectedRow();
    if (!EtalTPRegister::RowHasType(row))
        return;
    if (reg.DeleteGridRow(row) && refresh)
        refresh();
}

} // namespace kront
