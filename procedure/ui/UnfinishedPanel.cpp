#include "procedure/ui/UnfinishedPanel.h"

#include "common/ui/StringGrid.h"
#include "model/CurrentVerification.h"
#include "model/TPoverka.h"
#include "procedure/ui/TFormPoverkaTP.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kront
{

namespace
{
constexpr int kColumns = 6;
constexpr int kStageColumn = 4;
constexpr int kIDColumn = 5;
const int kColWidths[kColumns] = {90, 130, 170, 110, 300, 0}; // pixels; the stage column stretches

QPushButton *panelButton(const QString &name, const QString &text)
{
    auto *b = new QPushButton(text);
    b->setObjectName(name);
    return b;
}
} // namespace

UnfinishedPanel::UnfinishedPanel(Database &db, Dialogs &dialogs, CurrentVerification &verification,
                                 QWidget *parent)
    : QWidget(parent),
      StringGrid1(new StringGrid(QStringLiteral("StringGrid1"), kColumns, 1, 0, 1)),
      ButtonSelectPov(panelButton(QStringLiteral("ButtonSelectPov"), QStringLiteral("Выбрать"))),
      ButtonDeletePov(panelButton(QStringLiteral("ButtonDeletePov"), QStringLiteral("Удалить"))),
      ButtonCancel(panelButton(QStringLiteral("ButtonCancel"), QStringLiteral("Отмена"))),
      unfinished(db, dialogs), current(verification)
{
    setObjectName(QStringLiteral("PanelUnfinished"));
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->horizontalHeader()->setStretchLastSection(false);

    auto *label = new QLabel(QStringLiteral("Незавершённые поверки:"));
    label->setObjectName(QStringLiteral("LabelUnfinished"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    for (QPushButton *b : {ButtonSelectPov, ButtonDeletePov, ButtonCancel})
        buttons->addWidget(b);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(StringGrid1, 1);
    layout->addLayout(buttons);

    connect(ButtonSelectPov, &QPushButton::clicked, this, &UnfinishedPanel::ButtonSelectPovClick);
    connect(ButtonDeletePov, &QPushButton::clicked, this, &UnfinishedPanel::ButtonDeletePovClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &UnfinishedPanel::ButtonCancelClick);
    setUpGrid(0);
}

void UnfinishedPanel::setUpGrid(int dataRows)
{
    StringGrid1->clearContents();
    StringGrid1->setRowCount(1 + dataRows);
    for (int r = 0; r <= dataRows; ++r)
        for (int c = 0; c < kColumns; ++c)
            if (!StringGrid1->item(r, c))
                StringGrid1->setItem(r, c, new QTableWidgetItem);
    const auto &headers = UnfinishedVerifications::Headers();
    for (int c = 0; c < kColumns; ++c) {
        StringGrid1->setCell(c, 0, headers[c]);
        StringGrid1->setColWidth(c, kColWidths[c]);
    }
    QHeaderView *h = StringGrid1->horizontalHeader();
    h->setMinimumSectionSize(0);
    h->setSectionResizeMode(kStageColumn, QHeaderView::Stretch);
    StringGrid1->setColumnHidden(kIDColumn, true); // zero width
    StringGrid1->refreshFlags();
}

bool UnfinishedPanel::ShowList()
{
    const std::optional<std::vector<UnfinishedRow>> found = unfinished.List();
    listed = found ? *found : std::vector<UnfinishedRow>{};
    setUpGrid(int(listed.size()));
    for (int r = 0; r < int(listed.size()); ++r)
        for (int c = 0; c < kColumns; ++c)
            StringGrid1->setCell(c, r + 1, listed[r].cells[c]);
    StringGrid1->refreshFlags();
    if (!listed.empty())
        selectRow(0);
    return !listed.empty();
}

int UnfinishedPanel::selectedRow() const
{
    const int row = StringGrid1->currentRow();
    if (row < 1 || row > int(listed.size()))
        return -1;
    return row - 1;
}

void UnfinishedPanel::selectRow(int index)
{
    if (index >= 0 && index < int(listed.size()))
        StringGrid1->setCurrentCell(index + 1, 0);
}

void UnfinishedPanel::ButtonDeletePovClick()
{
    const int index = selectedRow();
    if (index < 0)
        return;
    unfinished.Delete(listed[index]);
    ShowList();
}

void UnfinishedPanel::ButtonCancelClick()
{
    if (leave)
        leave();
}

void UnfinishedPanel::ButtonSelectPovClick()
{
    const int index = selectedRow();
    if (index < 0)
        return;
    std::unique_ptr<TPoverka> poverka = unfinished.Resume(listed[index]);
    if (!poverka)
        return; // No, or a table or sensor could not be read: the list stays
    if (leave)
        leave();
    TPoverka &resumed = current.adopt(std::move(poverka));
    if (wizard)
        wizard->ExecuteResumed(resumed, *current.Bi1());
    // The resumed verification owns its bunches; they go with it.
    current.end();
}

} // namespace kront
