#include "sensors/ui/TFormSensorSet.h"

#include "common/Dialogs.h"
#include "common/ui/HelpContext.h"
#include "common/ui/StringGrid.h"
#include "db/Database.h"
#include "sensors/CellInputRule.h"
#include "sensors/ChannelBunchBuilder.h"
#include "sensors/FoundSensors.h"
#include "sensors/SensorFilters.h"
#include "sensors/SensorSetCommit.h"
#include "sensors/SensorSetFiles.h"
#include "sensors/ui/CellComboBox.h"
#include "sensors/ui/CellRuleFilter.h"
#include "sensors/ui/TFormDBSensors.h"

#include <QAction>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kront
{

namespace
{
constexpr int kHelpTopic = 2;

QPushButton *button(const QString &name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}
} // namespace

TFormSensorSet::TFormSensorSet(Dialogs &dialogSet, Database &database, ChannelBunches &channels,
                               QWidget *parent)
    : QDialog(parent), dialogs(dialogSet), db(database), bunches(channels)
{
    setObjectName(QStringLiteral("TFormSensorSet"));
    setWindowTitle(QStringLiteral("Подключенные датчики"));
    setHelpTopic(this, kHelpTopic);
    runChooser = [](TFormDBSensors &form) { form.exec(); };

    StringGrid1 = new QTableWidget(this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid2 = new QTableWidget(this);
    StringGrid2->setObjectName(QStringLiteral("StringGrid2"));
    for (QTableWidget *g : {StringGrid1, StringGrid2}) {
        g->setItemDelegate(cellRuleFilter(
            [this](int row, int column) {
                const SensorColumnInfo *info = SensorLayoutForKind(currentKind)->column(column);
                return row >= 1 && info ? SensorCellRule(*info, row == 1) : CellInputRule{};
            },
            g));
        g->installEventFilter(this);
        g->viewport()->installEventFilter(this);
        connect(g, &QTableWidget::currentCellChanged, this,
                [this, g](int row, int column) { currentCellChanged(g, row, column); });
        connect(g, &QTableWidget::cellClicked, this, [this, g](int row, int column) {
            if (column == typeColumn() && row >= 1)
                showTypeCombo(g, row);
        });
    }
    ComboBoxNSH = new CellComboBox(StringGrid1->viewport());
    ComboBoxNSH->setObjectName(QStringLiteral("ComboBoxNSH"));

    PopupMenuSensors = new QMenu(this);
    PopupMenuSensors->setObjectName(QStringLiteral("PopupMenuSensors"));

    BtnLoadFromFile =
        button(QStringLiteral("BtnLoadFromFile"), QStringLiteral("Загрузить из файла"));
    BtnSaveToFile = button(QStringLiteral("BtnSaveToFile"), QStringLiteral("Сохранить в файл"));
    BtnCommit = button(QStringLiteral("BtnCommit"), QStringLiteral("Принять"));
    BtnCancel = button(QStringLiteral("BtnCancel"), QStringLiteral("Отменить"));
    connect(BtnLoadFromFile, &QPushButton::clicked, this, [this] { BtnLoadFromFileClick(); });
    connect(BtnSaveToFile, &QPushButton::clicked, this, [this] { BtnSaveToFileClick(); });
    connect(BtnCommit, &QPushButton::clicked, this, [this] { BtnCommitClick(); });
    connect(BtnCancel, &QPushButton::clicked, this, [this] { BtnCancelClick(); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(BtnLoadFromFile);
    buttons->addWidget(BtnSaveToFile);
    buttons->addStretch();
    buttons->addWidget(BtnCommit);
    buttons->addWidget(BtnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(StringGrid1);
    layout->addWidget(StringGrid2);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    setTabOrder(StringGrid1, StringGrid2);

    setRowActions(nullptr, nullptr, nullptr);
    Prepare(currentKind);
}

TFormSensorSet::~TFormSensorSet() = default;

void TFormSensorSet::setChooser(TFormDBSensors *form)
{
    chooser = form;
    if (chooser) {
        connect(chooser, &TFormDBSensors::sensorChosen, this,
                [this](int grid, int row, const QStringList &cells) {
                    applyFoundSensor(grid, row, cells);
                });
    }
}

void TFormSensorSet::setChooserRunner(std::function<void(TFormDBSensors &)> runner)
{
    runChooser = std::move(runner);
}

void TFormSensorSet::setRowActions(QAction *copy, QAction *paste, QAction *clear)
{
    // Without the main window's actions the menu carries its own.
    auto own = [this](QAction *given, const QString &name, const QString &caption,
                      void (TFormSensorSet::*slot)()) {
        QAction *a = given;
        if (!a) {
            a = new QAction(caption, this);
            a->setObjectName(name);
        }
        connect(a, &QAction::triggered, this, slot, Qt::UniqueConnection);
        return a;
    };
    copyAction = own(copy, QStringLiteral("ActionCopySensorString"),
                     QStringLiteral("Копировать строку"), &TFormSensorSet::CopySensorString);
    pasteAction = own(paste, QStringLiteral("ActionPasteSensorString"),
                      QStringLiteral("Вставить строку"), &TFormSensorSet::PasteSensorString);
    clearAction = own(clear, QStringLiteral("ActionClearSensorString"),
                      QStringLiteral("Очистить строку"), &TFormSensorSet::ClearSensorString);
    PopupMenuSensors->clear();
    PopupMenuSensors->addAction(copyAction);
    PopupMenuSensors->addAction(pasteAction);
    PopupMenuSensors->addAction(clearAction);
}

int TFormSensorSet::typeColumn() const
{
    return SensorLayoutForKind(currentKind)->columnOf(SensorColumn::Type);
}

void TFormSensorSet::layoutGrid(QTableWidget *g, int number)
{
    const SensorGridLayout &layout = *SensorLayoutForKind(currentKind);
    g->clear();
    StringGrid::setup(g, layout.rowCount(), layout.columnCount());
    StringGrid::setFixedCell(g, 0, 0, layout.cornerHeader(number));
    g->setColumnWidth(
        0, StringGrid::columnWidthFor(g, layout.cornerHeader(number), kSensorLabelColumnWidth));
    for (int c = 1; c < layout.columnCount(); ++c) {
        const SensorColumnInfo &info = *layout.column(c);
        StringGrid::setFixedCell(g, 0, c, info.header);
        // Wide enough for the header and for the typical content of the column.
        int width = StringGrid::columnWidthFor(g, info.header, info.width);
        if (info.id == SensorColumn::Serial)
            width = StringGrid::columnWidthFor(g, QStringLiteral("00000000"), width);
        if (info.id == SensorColumn::Type) {
            for (int r = 1; r < layout.rowCount(); ++r) {
                for (const QString &choice : SensorTypeChoices(currentKind, r))
                    width = std::max(width, g->fontMetrics().horizontalAdvance(choice) + 32);
            }
        }
        g->setColumnWidth(c, width);
    }
    for (int r = 1; r < layout.rowCount(); ++r) {
        StringGrid::setFixedCell(g, r, 0, layout.rowLabel(r));
        for (int c = 1; c < layout.columnCount(); ++c)
            StringGrid::setCellText(g, r, c, QString());
    }
    StringGrid::fitToContents(g);
    g->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                       QAbstractItemView::EditKeyPressed);
    g->setCurrentCell(1, 1);
}

void TFormSensorSet::Prepare(int kind)
{
    if (!SensorLayoutForKind(kind))
        return;
    ComboBoxNSH->cancel();
    currentKind = kind;
    const SensorGridLayout &layout = *SensorLayoutForKind(kind);
    setWindowTitle(layout.caption);
    layoutGrid(StringGrid1, 1);
    layoutGrid(StringGrid2, 2);
    StringGrid2->setVisible(layout.gridCount == 2);
    SensorSet set(kind);
    FillFromBunches(set, bunches);
    setSensorSet(set);
    lastGrid = 1;
    StringGrid1->setFocus();
}

int TFormSensorSet::showForKind(int kind)
{
    Prepare(kind);
    return exec();
}

SensorSet TFormSensorSet::sensorSet() const
{
    SensorSet set(currentKind);
    const SensorGridLayout &layout = set.layout();
    for (int g = 1; g <= layout.gridCount; ++g) {
        for (int r = 1; r < layout.rowCount(); ++r) {
            for (int c = 1; c < layout.columnCount(); ++c)
                set.grid(g).setCell(r, c, StringGrid::cellText(grid(g), r, c));
        }
    }
    return set;
}

void TFormSensorSet::setSensorSet(const SensorSet &set)
{
    const SensorGridLayout &layout = *SensorLayoutForKind(currentKind);
    for (int g = 1; g <= layout.gridCount; ++g) {
        for (int r = 1; r < layout.rowCount(); ++r) {
            for (int c = 1; c < layout.columnCount(); ++c)
                StringGrid::setCellText(grid(g), r, c, set.grid(g).cell(r, c));
        }
    }
}

QStringList TFormSensorSet::rowCells(int g, int row) const
{
    QStringList cells;
    for (int c = 0; c < grid(g)->columnCount(); ++c)
        cells << (c == 0 ? QString() : StringGrid::cellText(grid(g), row, c));
    return cells;
}

void TFormSensorSet::setRowCells(int g, int row, const QStringList &cells)
{
    for (int c = 1; c < grid(g)->columnCount() && c < cells.size(); ++c)
        StringGrid::setCellText(grid(g), row, c, cells[c]);
}

void TFormSensorSet::BtnLoadFromFileClick()
{
    ComboBoxNSH->finishEdit();
    SensorSet set = sensorSet();
    if (SensorSetFiles(dialogs).loadFromFile(set))
        setSensorSet(set);
}

void TFormSensorSet::BtnSaveToFileClick()
{
    ComboBoxNSH->finishEdit();
    SensorSetFiles(dialogs).saveToFile(sensorSet());
}

void TFormSensorSet::BtnCommitClick()
{
    ComboBoxNSH->finishEdit();
    if (SensorSetCommit(db, dialogs).commitToBunches(sensorSet(), bunches))
        accept();
}

void TFormSensorSet::BtnCancelClick()
{
    ComboBoxNSH->cancel();
    reject();
}

void TFormSensorSet::CopySensorString()
{
    const int row = grid(lastGrid)->currentRow();
    if (row >= 1)
        buffer = CopyRowText(rowCells(lastGrid, row));
}

void TFormSensorSet::PasteSensorString()
{
    const int row = grid(lastGrid)->currentRow();
    if (row < 1)
        return;
    QStringList cells = rowCells(lastGrid, row);
    PasteRowText(cells, buffer);
    setRowCells(lastGrid, row, cells);
}

void TFormSensorSet::ClearSensorString()
{
    const int row = grid(lastGrid)->currentRow();
    if (row < 1)
        return;
    QStringList cells = rowCells(lastGrid, row);
    ClearRowText(cells);
    setRowCells(lastGrid, row, cells);
}

void TFormSensorSet::LookupSensor(int g, int row)
{
    const QString filter = SensorLookupFilter(sensorSet(), g, row);
    if (filter.isEmpty() || !chooser)
        return;
    if (db.DBGetRecordsCount(SensorLookupTable(row), filter) <= 0)
        return;
    if (chooser->Prepare(filter, g, row == 1, row))
        runChooser(*chooser);
}

void TFormSensorSet::applyFoundSensor(int g, int row, const QStringList &cells)
{
    SensorSet set = sensorSet();
    ApplyFoundSensor(set, g, row, cells);
    setSensorSet(set);
}

void TFormSensorSet::currentCellChanged(QTableWidget *g, int row, int column)
{
    if (column == typeColumn() && row >= 1) {
        showTypeCombo(g, row);
    } else {
        if (ComboBoxNSH->grid() == g)
            ComboBoxNSH->cancel();
        g->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked |
                           QAbstractItemView::EditKeyPressed);
    }
}

void TFormSensorSet::showTypeCombo(QTableWidget *g, int row)
{
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ComboBoxNSH->showOver(g, row, typeColumn(), SensorTypeChoices(currentKind, row), 2);
}

int TFormSensorSet::gridNumber(const QObject *object) const
{
    if (object == StringGrid1 || object == StringGrid1->viewport())
        return 1;
    if (object == StringGrid2 || object == StringGrid2->viewport())
        return 2;
    return 0;
}

bool TFormSensorSet::gridKeyPress(QTableWidget *g, QKeyEvent *event)
{
    if (g->currentColumn() != typeColumn())
        return false;
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        if (g->currentRow() >= 1) {
            if (!ComboBoxNSH->isVisible() || ComboBoxNSH->grid() != g)
                showTypeCombo(g, g->currentRow());
            ComboBoxNSH->setFocus();
        }
        return true;
    }
    // In the "Тип" column every typed character is swallowed.
    const QString text = event->text();
    return !text.isEmpty() && !IsAlwaysPassingKey(text[0]) && text[0].unicode() >= 32;
}

bool TFormSensorSet::gridMouse(QTableWidget *g, QMouseEvent *event, bool press)
{
    const int number = g == StringGrid2 ? 2 : 1;
    const QModelIndex index = g->indexAt(event->position().toPoint());
    if (press) {
        lastGrid = number;
        if (event->button() != Qt::RightButton)
            return false;
        if (!index.isValid() || index.row() < 1)
            return true; // no menu on the header row
        g->setCurrentCell(index.row(), std::max(1, g->currentColumn()));
        PopupMenuSensors->popup(event->globalPosition().toPoint());
        return true;
    }
    if (event->button() != Qt::RightButton && index.isValid() && index.column() == 0 &&
        index.row() >= 1) {
        LookupSensor(number, index.row());
        return true;
    }
    return false;
}

bool TFormSensorSet::eventFilter(QObject *object, QEvent *event)
{
    const int number = gridNumber(object);
    if (number == 0)
        return QDialog::eventFilter(object, event);
    QTableWidget *g = grid(number);
    switch (event->type()) {
    case QEvent::KeyPress:
        if (object == g && gridKeyPress(g, static_cast<QKeyEvent *>(event)))
            return true;
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
        if (object == g->viewport() && gridMouse(g, static_cast<QMouseEvent *>(event),
                                                 event->type() == QEvent::MouseButtonPress))
            return true;
        break;
    default: break;
    }
    return QDialog::eventFilter(object, event);
}

} // namespace kront
