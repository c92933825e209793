#pragma once

#include "sensors/EtalTPRegister.h"

#include <QDialog>

class QPushButton;
class QTabWidget;
class QTableWidget;

namespace kront
{

class CellComboBox;
class Database;
class Dialogs;

// "Эталонный ТП": edits one reference thermocouple of the register, its
// parameters on one page and its graduation (up to 17 temperature and
// thermo-EMF pairs) on the other.
class TFormEtalTP : public QDialog
{
    Q_OBJECT
public:
    TFormEtalTP(Dialogs &dialogs, Database &database, QWidget *parent = nullptr);

    // Prepares the editor for a new entry: not editing, ID -1, every cell
    // empty, the "Параметры" page shown, the drop-down hidden.
    void ClearData();
    // Prepares the editor for the entry `id` with its stored data.
    void EditExisting(int id, const EtalTPData &data);

    EtalTPData data() const;
    void setData(const EtalTPData &data);
    bool isEditing() const { return editing; }
    int editedID() const { return etalID; }

    // "Применить": the checks, then the entry is stored and the editor closes.
    void ButtonApplyClick();

    QTabWidget *PageControl;
    QTableWidget *StringGridParams;
    QTableWidget *StringGridGraduation;
    CellComboBox *ComboBoxType;
    QPushButton *ButtonApply;
    QPushButton *ButtonCancel;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    QWidget *createParamsPage();
    QWidget *createGraduationPage();
    void showTypeList();

    EtalTPRegister reg;
    bool editing = false;
    int etalID = -1;
};

} // namespace kront
