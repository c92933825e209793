#include "reports/ui/PanelSearch.h"

#include "common/Clock.h"
#include "reports/ui/OptionalDateEdit.h"
#include "reports/ui/SearchResultsModel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>

namespace kront
{

namespace
{

QCheckBox *checkBox(const char *name, const QString &caption)
{
    auto *box = new QCheckBox(caption);
    box->setObjectName(QLatin1String(name));
    return box;
}

template <class W> W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

} // namespace

PanelSearch::PanelSearch(Database &database, Actions handlers, QWidget *parent)
    : QWidget(parent), db(database), actions(std::move(handlers))
{
    setObjectName(QStringLiteral("PanelSearch"));
    auto *top = new QHBoxLayout;
    top->addWidget(buildConditions(), 1);
    top->addWidget(buildButtons());
    StringGridSearch = named(new QTableView, "StringGridSearch");
    results = new SearchResultsModel(this);
    StringGridSearch->setModel(results);
    StringGridSearch->setSelectionBehavior(QAbstractItemView::SelectRows);
    // Several rows may be selected for the export to the registry.
    StringGridSearch->setSelectionMode(QAbstractItemView::ExtendedSelection);
    StringGridSearch->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGridSearch->verticalHeader()->setVisible(false);
    StringGridSearch->verticalHeader()->setDefaultSectionSize(18);
    connect(StringGridSearch, &QTableView::doubleClicked, this,
            [this] { ButtonPrintProtocolClick(); });
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(StringGridSearch, 1);
    ButtonSearchResetClick();
    setEmptyGrid();
}

QWidget *PanelSearch::buildConditions()
{
    auto *group = named(new QGroupBox(QStringLiteral("Параметры поиска")), "GroupBoxSearch");
    auto *grid = new QGridLayout(group);
    CheckBoxPovNum = checkBox("CheckBoxPovNum", QStringLiteral("Номер поверки:"));
    EditPovNum = named(new QLineEdit, "EditPovNum");
    EditPovNum->setMaxLength(8);
    CheckBoxDateFrom = checkBox("CheckBoxDateFrom", QStringLiteral("Дата \"от\":"));
    JvDatePickerEditDateFrom = named(new OptionalDateEdit, "JvDatePickerEditDateFrom");
    CheckBoxDateTo = checkBox("CheckBoxDateTo", QStringLiteral("Дата \"до\":"));
    JvDatePickerEditDateTo = named(new OptionalDateEdit, "JvDatePickerEditDateTo");
    CheckBoxPovKind = checkBox("CheckBoxPovKind", QStringLiteral("Вид поверки:"));
    ComboBoxPovKind = named(new QComboBox, "ComboBoxPovKind");
    ComboBoxPovKind->addItems({QStringLiteral("Первичная"), QStringLiteral("Периодическая")});
    CheckBoxMethodic = checkBox("CheckBoxMethodic", QStringLiteral("Метод поверки:"));
    ComboBoxMethodic = named(new QComboBox, "ComboBoxMethodic");
    ComboBoxMethodic->addItems(
        {QStringLiteral("Прямые измерения"), QStringLiteral("Поэлектродное сличение")});
    const std::pair<QCheckBox *, QWidget *> rows[] = {{CheckBoxPovNum, EditPovNum},
                                                      {CheckBoxDateFrom, JvDatePickerEditDateFrom},
                                                      {CheckBoxDateTo, JvDatePickerEditDateTo},
                                                      {CheckBoxPovKind, ComboBoxPovKind},
                                                      {CheckBoxMethodic, ComboBoxMethodic}};
    int row = 0;
    for (const auto &[box, input] : rows) {
        grid->addWidget(box, row, 0);
        grid->addWidget(input, row, 1);
        ++row;
    }
    grid->setColumnStretch(2, 1);
    connect(CheckBoxPovNum, &QCheckBox::clicked, this, &PanelSearch::CheckBoxPovNumClick);
    connect(CheckBoxDateFrom, &QCheckBox::clicked, this, &PanelSearch::CheckBoxDateFromClick);
    connect(CheckBoxDateTo, &QCheckBox::clicked, this, &PanelSearch::CheckBoxDateToClick);
    connect(CheckBoxPovKind, &QCheckBox::clicked, this, &PanelSearch::CheckBoxPovKindClick);
    connect(CheckBoxMethodic, &QCheckBox::clicked, this, &PanelSearch::CheckBoxMethodicClick);
    connect(EditPovNum, &QLineEdit::returnPressed, this, &PanelSearch::ButtonSearchStartClick);
    return group;
}

QWidget *PanelSearch::buildButtons()
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    const std::tuple<const char *, QString, void (PanelSearch::*)()> buttons[] = {
        {"ButtonSearchStart", QStringLiteral("Найти"), &PanelSearch::ButtonSearchStartClick},
        {"ButtonSearchReset", QStringLiteral("Очистить"), &PanelSearch::ButtonSearchResetClick},
        {"ButtonPrintProtocol", QStringLiteral("Протокол"), &PanelSearch::ButtonPrintProtocolClick},
        {"ButtonSvid", QStringLiteral("Свидетельство/извещение"), &PanelSearch::ButtonSvidClick},
        {"ButtonSensorHistory", QStringLiteral("История датчика"),
         &PanelSearch::ButtonSensorHistoryClick},
        {"ButtonRegistryExport", QStringLiteral("Выгрузка во ФГИС…"),
         &PanelSearch::ButtonRegistryExportClick},
        {"ButtonResultCancel", QStringLiteral("Отмена"), &PanelSearch::ButtonResultCancelClick}};
    for (const auto &[name, caption, slot] : buttons) {
        auto *b = named(new QPushButton(caption), name);
        connect(b, &QPushButton::clicked, this, slot);
        if (std::string_view(name) == "ButtonResultCancel")
            layout->addStretch();
        layout->addWidget(b);
    }
    return box;
}

void PanelSearch::prepareForShow()
{
    setEmptyGrid();
}

void PanelSearch::setEmptyGrid()
{
    results->setResult(std::nullopt);
    QTableView *g = StringGridSearch;
    const int widths[] = {90, 150, 170, 110, 220};
    for (int c = 0; c < 5; ++c)
        g->setColumnWidth(c, widths[c]);
    g->horizontalHeader()->setSectionResizeMode(scInstability, QHeaderView::Stretch);
    g->setColumnHidden(scID, true);
}

void PanelSearch::ButtonSearchStartClick()
{
    setEmptyGrid();
    auto found = SearchResultPages::open(db, conditions(), programClock().now().date());
    if (found && found->size() > 0) {
        refreshExportMarks();
        results->setResult(std::move(found));
        StringGridSearch->selectRow(0);
    }
}

void PanelSearch::setRegistryExport(RegistryExport exportActions)
{
    registryExport = std::move(exportActions);
}

void PanelSearch::refreshExportMarks()
{
    results->setMarked(registryExport.exportedPoverkaIDs ? registryExport.exportedPoverkaIDs()
                                                         : QSet<int>());
}

void PanelSearch::ButtonRegistryExportClick()
{
    if (!registryExport.run)
        return;
    const std::vector<int> ids = poverkaIDsToExport();
    if (ids.empty())
        return;
    registryExport.run(ids);
    refreshExportMarks();
}

void PanelSearch::ButtonSearchResetClick()
{
    for (QCheckBox *box :
         {CheckBoxPovNum, CheckBoxDateFrom, CheckBoxDateTo, CheckBoxPovKind, CheckBoxMethodic})
        box->setChecked(false);
    EditPovNum->clear();
    ComboBoxPovKind->setCurrentIndex(-1);
    ComboBoxMethodic->setCurrentIndex(-1);
    JvDatePickerEditDateFrom->clearDate();
    JvDatePickerEditDateTo->clearDate();
    for (QWidget *w : std::initializer_list<QWidget *>{EditPovNum, JvDatePickerEditDateFrom,
                                                       JvDatePickerEditDateTo, ComboBoxPovKind,
                                                       ComboBoxMethodic})
        w->setEnabled(false);
}

void PanelSearch::ButtonPrintProtocolClick()
{
    if (const int id = selectedPoverkaID(); id > 0 && actions.printProtocol)
        actions.printProtocol(id);
}

void PanelSearch::ButtonSvidClick()
{
    if (const int id = selectedPoverkaID(); id > 0 && actions.issueDocuments)
        actions.issueDocuments(id);
}

void PanelSearch::ButtonSensorHistoryClick()
{
    if (const int id = selectedPoverkaID(); id > 0 && sensorHistory)
        sensorHistory(id);
}

void PanelSearch::ButtonResultCancelClick()
{
    if (actions.close)
        actions.close();
}

void PanelSearch::CheckBoxPovNumClick()
{
    EditPovNum->setEnabled(CheckBoxPovNum->isChecked());
}

void PanelSearch::dateChecked(QCheckBox *box, OptionalDateEdit *edit)
{
    edit->setEnabled(box->isChecked());
    // A ticked condition searches today when the picker holds no date; the
    // picker shows that date so the operator sees what is searched for.
    if (box->isChecked() && edit->isEmpty())
        edit->setOptionalDate(programClock().now().date());
}

void PanelSearch::CheckBoxDateFromClick()
{
    dateChecked(CheckBoxDateFrom, JvDatePickerEditDateFrom);
}

void PanelSearch::CheckBoxDateToClick()
{
    dateChecked(CheckBoxDateTo, JvDatePickerEditDateTo);
}

void PanelSearch::CheckBoxPovKindClick()
{
    ComboBoxPovKind->setEnabled(CheckBoxPovKind->isChecked());
}

void PanelSearch::CheckBoxMethodicClick()
{
    ComboBoxMethodic->setEnabled(CheckBoxMethodic->isChecked());
}

SearchConditions PanelSearch::conditions() const
{
    SearchConditions c;
    c.povNumChecked = CheckBoxPovNum->isChecked();
    c.povNum = EditPovNum->text();
    c.dateFromChecked = CheckBoxDateFrom->isChecked();
    c.dateFrom = JvDatePickerEditDateFrom->optionalDate();
    c.dateToChecked = CheckBoxDateTo->isChecked();
    c.dateTo = JvDatePickerEditDateTo->optionalDate();
    c.povKindChecked = CheckBoxPovKind->isChecked();
    c.povKindIndex = ComboBoxPovKind->currentIndex();
    c.methodicChecked = CheckBoxMethodic->isChecked();
    c.methodicIndex = ComboBoxMethodic->currentIndex();
    return c;
}

int PanelSearch::selectedPoverkaID() const
{
    const int row = StringGridSearch->currentIndex().row();
    return row < 0 ? 0 : SelectedPoverkaID(results->row(row)[scID]);
}

std::vector<int> PanelSearch::poverkaIDsToExport() const
{
    std::vector<int> rows;
    const QModelIndexList selected = StringGridSearch->selectionModel()->selectedRows();
    if (selected.size() > 1) {
        for (const QModelIndex &index : selected)
            rows.push_back(index.row());
        std::sort(rows.begin(), rows.end());
    } else {
        for (int r = 0; r < results->rowCount(); ++r)
            rows.push_back(r);
    }
    std::vector<int> ids;
    for (int r : rows)
        if (const int id = SelectedPoverkaID(results->row(r)[scID]); id > 0)
            ids.push_back(id);
    return ids;
}

} // namespace kront
