#include "sensors/ui/TFormDBSensors.h"

#include "common/ui/HelpContext.h"
#include "common/ui/StringGrid.h"
#include "sensors/FoundSensors.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QScrollBar>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kront
{

namespace
{
constexpr int kVisibleRows = 10; // data rows shown before the grid scrolls
}

TFormDBSensors::TFormDBSensors(Database &database, QWidget *parent) : QDialog(parent), db(database)
{
    setObjectName(QStringLiteral("TFormDBSensors"));
    setWindowTitle(QStringLiteral("Найденные датчики"));
    setHelpTopic(this, 6);
    StringGridFoundSensors = new QTableWidget(this);
    StringGridFoundSensors->setObjectName(QStringLiteral("StringGridFoundSensors"));
    StringGridFoundSensors->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGridFoundSensors->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGridFoundSensors->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGridFoundSensors->verticalHeader()->hide();
    StringGridFoundSensors->verticalHeader()->setDefaultSectionSize(
        StringGrid::textRowHeight(StringGridFoundSensors));
    StringGridFoundSensors->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    StringGridFoundSensors->setTabKeyNavigation(false);
    connect(StringGridFoundSensors, &QTableWidget::cellDoubleClicked, this,
            [this] { ButtonApplyClick(); });

    ButtonApply = new QPushButton(QStringLiteral("Выбрать"));
    ButtonApply->setObjectName(QStringLiteral("ButtonApply"));
    ButtonApply->setDefault(true);
    ButtonCancel = new QPushButton(QStringLiteral("Отмена"));
    ButtonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(ButtonApply, &QPushButton::clicked, this, [this] { ButtonApplyClick(); });
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });

    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonApply);
    buttons->addWidget(ButtonCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(StringGridFoundSensors);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

bool TFormDBSensors::Prepare(const QString &filter, int editorGrid, bool reference, int editorRow)
{
    askingGrid = editorGrid;
    askingRow = editorRow;
    const auto rows = FindSensors(db, filter, reference);
    if (!rows)
        return false;
    const std::vector<FoundSensorsColumn> &columns = FoundSensorsColumns(reference);
    QTableWidget *g = StringGridFoundSensors;
    g->clear();
    g->setColumnCount(int(columns.size()));
    g->setRowCount(int(rows->size()));
    QStringList headers;
    for (size_t c = 0; c < columns.size(); ++c) {
        headers << columns[c].header;
        g->setColumnWidth(int(c),
                          StringGrid::columnWidthFor(g, columns[c].header, columns[c].width));
    }
    g->setHorizontalHeaderLabels(headers);
    for (size_t r = 0; r < rows->size(); ++r) {
        for (int c = 0; c < (*rows)[r].size(); ++c)
            g->setItem(int(r), c, new QTableWidgetItem((*rows)[r][c]));
    }
    fitToRows(int(rows->size()));
    if (!rows->empty())
        g->setCurrentCell(0, 0);
    g->setFocus();
    return true;
}

void TFormDBSensors::fitToRows(int rows)
{
    QTableWidget *g = StringGridFoundSensors;
    const bool scrolls = rows > kVisibleRows;
    int width = 2 * g->frameWidth();
    for (int c = 0; c < g->columnCount(); ++c)
        width += g->columnWidth(c);
    if (scrolls)
        width += g->verticalScrollBar()->sizeHint().width();
    const int height = 2 * g->frameWidth() + g->horizontalHeader()->sizeHint().height() +
                       std::min(std::max(rows, 1), kVisibleRows) * StringGrid::textRowHeight(g);
    g->setVerticalScrollBarPolicy(scrolls ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    g->setFixedSize(width, height);
}

void TFormDBSensors::ButtonApplyClick()
{
    QTableWidget *g = StringGridFoundSensors;
    const int row = g->currentRow();
    if (row < 0)
        return;
    QStringList cells;
    for (int c = 0; c < g->columnCount(); ++c)
        cells << StringGrid::cellText(g, row, c);
    Q_EMIT sensorChosen(askingGrid, askingRow, cells);
    accept();
}

void TFormDBSensors::ButtonCancelClick()
{
    reject();
}

} // namespace kront
