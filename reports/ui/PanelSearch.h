#pragma once

#include "reports/ResultsSearch.h"

#include <QSet>
#include <QWidget>
#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTableView;

namespace kront
{

class Database;
class OptionalDateEdit;
class SearchResultsModel;

// The search panel of finished verifications, shown in the main window by
// the command "Результаты поверок ТП". The conditions keep their values for
// the whole run; only "Очистить" (and the start-up) resets them.
class PanelSearch : public QWidget
{
    Q_OBJECT
public:
    struct Actions {
        std::function<void(int poverkaID)> printProtocol; // "Протокол"
        std::function<void(int poverkaID)> issueDocuments; // "Свидетельство/извещение"
        std::function<void()> close;                       // "Отмена"
    };

    PanelSearch(Database &db, Actions actions, QWidget *parent = nullptr);

    // Opening the panel: the grid laid out with its header and one empty row.
    void prepareForShow();

    void ButtonSearchStartClick();
    void ButtonSearchResetClick();
    void ButtonPrintProtocolClick();
    void ButtonSvidClick();
    // "История датчика": the history window with the selected verification's thermocouples.
    void ButtonSensorHistoryClick();
    void setSensorHistoryAction(std::function<void(int poverkaID)> action)
    {
        sensorHistory = std::move(action);
    }
    // "Выгрузка во ФГИС…": the verifications to export go to the export's action.
    void ButtonRegistryExportClick();
    // The export to the state registry: what it is given and how the grid learns which
    // verifications were exported already (read at each search and after each export).
    struct RegistryExport {
        std::function<void(const std::vector<int> &poverkaIDs)> run;
        std::function<QSet<int>()> exportedPoverkaIDs;
    };
    void setRegistryExport(RegistryExport exportActions);
    // Reads the marks of the exported verifications again.
    void refreshExportMarks();
    void ButtonResultCancelClick();
    void CheckBoxPovNumClick();
    void CheckBoxDateFromClick();
    void CheckBoxDateToClick();
    void CheckBoxPovKindClick();
    void CheckBoxMethodicClick();

    SearchConditions conditions() const;
    // The verification of the selected grid row; 0 when none.
    int selectedPoverkaID() const;
    // What "Выгрузка во ФГИС…" exports: the selected rows when more than one is selected,
    // otherwise every verification found.
    std::vector<int> poverkaIDsToExport() const;
    QTableView *grid() const { return StringGridSearch; }

private:
    QWidget *buildConditions();
    QWidget *buildButtons();
    void setEmptyGrid();
    void dateChecked(QCheckBox *box, OptionalDateEdit *edit);

    Database &db;
    Actions actions;
    std::function<void(int poverkaID)> sensorHistory;
    RegistryExport registryExport;
    QCheckBox *CheckBoxPovNum = nullptr;
    QLineEdit *EditPovNum = nullptr;
    QCheckBox *CheckBoxDateFrom = nullptr;
    OptionalDateEdit *JvDatePickerEditDateFrom = nullptr;
    QCheckBox *CheckBoxDateTo = nullptr;
    OptionalDateEdit *JvDatePickerEditDateTo = nullptr;
    QCheckBox *CheckBoxPovKind = nullptr;
    QComboBox *ComboBoxPovKind = nullptr;
    QCheckBox *CheckBoxMethodic = nullptr;
    QComboBox *ComboBoxMethodic = nullptr;
    QTableView *StringGridSearch = nullptr;
    SearchResultsModel *results = nullptr;
};

} // namespace kront
