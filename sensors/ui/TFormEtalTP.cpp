#include "sensors/ui/TFormEtalTP.h"

#include "common/ui/HelpContext.h"
#include "common/ui/StringGrid.h"
#include "sensors/ui/CellComboBox.h"
#include "sensors/ui/CellRuleFilter.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTabWidget>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kront
{

namespace
{

constexpr int kTypeRow = EtalTPData::Type;

CellInputRule paramRule(int row)
{
    using Chars = CellInputRule::Chars;
    switch (row) {
    case EtalTPData::Serial: return {Chars::Any, 8, {}};
    case EtalTPData::Type: return {Chars::None, 0, {}};
    case EtalTPData::Name: return {Chars::Any, 20, {}};
    case EtalTPData::Year: return {Chars::Digits, 4, {}};
    case EtalTPData::Rank: return {Chars::Set, 1, QStringLiteral("0123")};
    default: return {Chars::Any, 40, {}};
    }
}

} // namespace

TFormEtalTP::TFormEtalTP(Dialogs &dialogs, Database &database, QWidget *parent)
    : QDialog(parent), reg(database, dialogs)
{
    setObjectName(QStringLiteral("TFormEtalTP"));
    setWindowTitle(QStringLiteral("Эталонный ТП"));
    setHelpTopic(this, 9);
    PageControl = new QTabWidget(this);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->addTab(createParamsPage(), QStringLiteral("Параметры"));
    PageControl->addTab(createGraduationPage(), QStringLiteral("Данные градуировки"));

    ButtonApply = new QPushButton(QStringLiteral("Применить"));
    ButtonApply->setObjectName(QStringLiteral("ButtonApply"));
    ButtonApply->setAutoDefault(false);
    ButtonCancel = new QPushButton(QStringLiteral("Отмена"));
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    ButtonCancel->setAutoDefault(false);
    connect(ButtonApply, &QPushButton::clicked, this, [this] { ButtonApplyClick(); });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] {
        ComboBoxType->finishEdit();
        reject();
    });
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonApply);
    buttons->addWidget(ButtonCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    ClearData();
}

QWidget *TFormEtalTP::createParamsPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetParams"));
    StringGridParams = new QTableWidget(page);
    StringGridParams->setObjectName(QStringLiteral("StringGridParams"));
    StringGrid::setup(StringGridParams, EtalTPData::kParamCount, 2);
    const QStringList labels = EtalTPData::paramLabels();
    int labelWidth = 0;
    for (int r = 0; r < EtalTPData::kParamCount; ++r) {
        StringGrid::setFixedCell(StringGridParams, r, 0, labels[r]);
        StringGrid::setCellText(StringGridParams, r, 1, QString());
        labelWidth =
            std::max(labelWidth, StringGrid::columnWidthFor(StringGridParams, labels[r], 0));
    }
    StringGridParams->setColumnWidth(0, labelWidth);
    StringGridParams->setColumnWidth(
        1, StringGrid::columnWidthFor(StringGridParams, QString(40, QLatin1Char('n')), 260));
    StringGrid::fitToContents(StringGridParams);
    StringGridParams->setEditTriggers(QAbstractItemView::AnyKeyPressed |
                                      QAbstractItemView::DoubleClicked |
                                      QAbstractItemView::EditKeyPressed);
    StringGridParams->setItemDelegate(cellRuleFilter(
        [](int row, int column) { return column == 1 ? paramRule(row) : CellInputRule{}; },
        StringGridParams));
    StringGridParams->installEventFilter(this);
    ComboBoxType = new CellComboBox(StringGridParams->viewport());
    ComboBoxType->setObjectName(QStringLiteral("ComboBoxType"));
    connect(StringGridParams, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (row == kTypeRow && column == 1)
            showTypeList();
    });
    connect(StringGridParams, &QTableWidget::currentCellChanged, this, [this](int row) {
        if (row == kTypeRow) {
            showTypeList();
            return;
        }
        ComboBoxType->finishEdit();
        StringGridParams->setEditTriggers(QAbstractItemView::AnyKeyPressed |
                                          QAbstractItemView::DoubleClicked |
                                          QAbstractItemView::EditKeyPressed);
    });
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(StringGridParams);
    layout->addStretch();
    return page;
}

QWidget *TFormEtalTP::createGraduationPage()
{
    auto *page = new QWidget;
    page->setObjectName(QStringLiteral("TabSheetGraduation"));
    StringGridGraduation = new QTableWidget(EtalTPData::kPointCount, 2, page);
    StringGridGraduation->setObjectName(QStringLiteral("StringGridGraduation"));
    StringGridGraduation->setHorizontalHeaderLabels(
        {QStringLiteral("Температура, °С"), QStringLiteral("Термо-ЭДС, мВ")});
    StringGridGraduation->verticalHeader()->setDefaultSectionSize(
        StringGrid::textRowHeight(StringGridGraduation));
    StringGridGraduation->horizontalHeader()->setSectionsClickable(false);
    StringGridGraduation->verticalHeader()->setSectionsClickable(false);
    for (int c = 0; c < 2; ++c) {
        StringGridGraduation->setColumnWidth(
            c,
            StringGrid::columnWidthFor(StringGridGraduation,
                                       StringGridGraduation->horizontalHeaderItem(c)->text(), 110));
    }
    StringGridGraduation->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGridGraduation->setTabKeyNavigation(true);
    StringGridGraduation->setEditTriggers(QAbstractItemView::AnyKeyPressed |
                                          QAbstractItemView::DoubleClicked |
                                          QAbstractItemView::EditKeyPressed);
    StringGridGraduation->setItemDelegate(cellRuleFilter(
        [](int, int column) {
            return CellInputRule{CellInputRule::Chars::Number, column == 0 ? 9 : 7, {}};
        },
        StringGridGraduation));
    // All 17 points at once, without scrolling.
    QTableWidget *g = StringGridGraduation;
    int width = 2 * g->frameWidth() + g->verticalHeader()->sizeHint().width();
    for (int c = 0; c < 2; ++c)
        width += g->columnWidth(c);
    const int height = 2 * g->frameWidth() + g->horizontalHeader()->sizeHint().height() +
                       EtalTPData::kPointCount * StringGrid::textRowHeight(g);
    g->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    g->setFixedSize(width, height);
    auto *layout = new QVBoxLayout(page);
    layout->addWidget(g, 0, Qt::AlignLeft | Qt::AlignTop);
    return page;
}

void TFormEtalTP::showTypeList()
{
    StringGridParams->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ComboBoxType->showOver(StringGridParams, kTypeRow, 1,
                           {QStringLiteral("ППО"), QStringLiteral("ПРО")}, 0);
}

bool TFormEtalTP::eventFilter(QObject *object, QEvent *event)
{
    if (object == StringGridParams && event->type() == QEvent::KeyPress &&
        StringGridParams->currentRow() == kTypeRow && StringGridParams->currentColumn() == 1) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            showTypeList();
            ComboBoxType->setFocus();
            return true;
        }
        const QString text = key->text();
        if (!text.isEmpty() && text[0].unicode() >= 32)
            return true; // the type is chosen from the list, not typed
    }
    return QDialog::eventFilter(object, event);
}

void TFormEtalTP::ClearData()
{
    editing = false;
    etalID = -1;
    setData(EtalTPData{});
    PageControl->setCurrentIndex(0);
    ComboBoxType->cancel();
    StringGridParams->setCurrentCell(0, 1);
}

void TFormEtalTP::EditExisting(int id, const EtalTPData &d)
{
    setData(d);
    editing = true;
    etalID = id;
    PageControl->setCurrentIndex(0);
    ComboBoxType->cancel();
}

EtalTPData TFormEtalTP::data() const
{
    EtalTPData d;
    for (int r = 0; r < EtalTPData::kParamCount; ++r)
        d.params[size_t(r)] = StringGrid::cellText(StringGridParams, r, 1);
    for (int i = 1; i <= EtalTPData::kPointCount; ++i) {
        d.temp[size_t(i)] = StringGrid::cellText(StringGridGraduation, i - 1, 0);
        d.emf[size_t(i)] = StringGrid::cellText(StringGridGraduation, i - 1, 1);
    }
    return d;
}

void TFormEtalTP::setData(const EtalTPData &d)
{
    for (int r = 0; r < EtalTPData::kParamCount; ++r)
        StringGrid::setCellText(StringGridParams, r, 1, d.params[size_t(r)]);
    for (int i = 1; i <= EtalTPData::kPointCount; ++i) {
        StringGrid::setCellText(StringGridGraduation, i - 1, 0, d.temp[size_t(i)]);
        StringGrid::setCellText(StringGridGraduation, i - 1, 1, d.emf[size_t(i)]);
    }
}

void TFormEtalTP::ButtonApplyClick()
{
    ComboBoxType->finishEdit();
    EtalTPData d = data();
    const bool stored = reg.storeEntry(d, editing, etalID);
    setData(d); // the graduation cells in their normalised form
    if (stored)
        accept();
}

} // namespace kront
