#include "registry/ui/RegistrySettingsPage.h"

#include "common/Dialogs.h"
#include "db/Database.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace kront
{

namespace
{

template <class W> W *named(W *w, const char *name)
{
    w->setObjectName(QLatin1String(name));
    return w;
}

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = named(new QPushButton(caption), name);
    b->setAutoDefault(false);
    return b;
}

QTableWidget *grid(const char *name, const QStringList &headers, const std::vector<int> &widths)
{
    auto *g = named(new QTableWidget(0, int(headers.size())), name);
    g->setHorizontalHeaderLabels(headers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->setSelectionMode(QAbstractItemView::SingleSelection);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(20);
    g->horizontalHeader()->setStretchLastSection(true);
    for (int c = 0; c < int(widths.size()); ++c)
        g->setColumnWidth(c, widths[size_t(c)]);
    return g;
}

// A grid with "Добавить" and "Удалить" under it: a new row is appended and edited, the
// selected row is removed.
QGroupBox *editableGroup(const char *name, const QString &title, QTableWidget *g, QPushButton *add,
                         QPushButton *remove)
{
    auto *group = named(new QGroupBox(title), name);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(add);
    buttons->addWidget(remove);
    buttons->addStretch();
    auto *layout = new QVBoxLayout(group);
    layout->addWidget(g);
    layout->addLayout(buttons);
    QObject::connect(add, &QPushButton::clicked, g, [g] {
        g->setRowCount(g->rowCount() + 1);
        g->setCurrentCell(g->rowCount() - 1, 0);
        g->editItem(g->currentItem());
    });
    QObject::connect(remove, &QPushButton::clicked, g, [g] {
        if (g->currentRow() >= 0)
            g->removeRow(g->currentRow());
    });
    return group;
}

void appendRow(QTableWidget *g, const QStringList &cells)
{
    const int row = g->rowCount();
    g->setRowCount(row + 1);
    for (int c = 0; c < cells.size(); ++c)
        g->setItem(row, c, new QTableWidgetItem(cells[c]));
}

void readOnly(QTableWidgetItem *item)
{
    item->setFlags(item->flags() & ~Qt::ItemIsEditable);
}

QString cell(const QTableWidget *g, int row, int col)
{
    const QTableWidgetItem *item = g->item(row, col);
    return item ? item->text().trimmed() : QString();
}

// A grid's message names the grid.
QString inGrid(const QString &grid, const QString &error)
{
    return error.isEmpty() ? error
                           : QStringLiteral("Таблица «") + grid + QStringLiteral("». ") + error;
}

} // namespace

RegistrySettingsPage::RegistrySettingsPage(Database &database, Dialogs &dialogSet, QWidget *parent)
    : QWidget(parent), db(database), dialogs(dialogSet)
{
    setObjectName(QStringLiteral("TabSheetRegistry"));
    ButtonApplyRegistry = button("ButtonApplyRegistry", QStringLiteral("Применить"));
    connect(ButtonApplyRegistry, &QPushButton::clicked, this,
            &RegistrySettingsPage::ButtonApplyRegistryClick);

    auto *right = new QVBoxLayout;
    right->addWidget(createMeansGroup());
    right->addWidget(createEtalGroup());
    auto *tables = new QHBoxLayout;
    tables->addWidget(createTypesGroup(), 1);
    tables->addLayout(right, 1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createLabGroup());
    layout->addLayout(tables, 1);
    layout->addWidget(ButtonApplyRegistry, 0, Qt::AlignRight);
}

QWidget *RegistrySettingsPage::createLabGroup()
{
    auto *group = named(new QGroupBox(QStringLiteral("Сведения о лаборатории")), "GroupBoxLab");
    EditSignCipher = named(new QLineEdit, "EditSignCipher");
    EditSignCipher->setMaximumWidth(60);
    EditSignCipher->setMaxLength(3);
    EditVerifier = named(new QLineEdit, "EditVerifier");
    EditVerifier->setMaxLength(kMaxVerifierLength);
    EditOwner = named(new QLineEdit, "EditOwner");
    EditOwner->setMaxLength(kMaxOwnerLength);
    ComboBoxTimeZone = named(new QComboBox, "ComboBoxTimeZone");
    CheckBoxSignPass =
        named(new QCheckBox(QStringLiteral("Знак поверки в паспорте")), "CheckBoxSignPass");
    CheckBoxSignMi = named(new QCheckBox(QStringLiteral("Знак поверки на СИ")), "CheckBoxSignMi");

    auto *g = new QGridLayout(group);
    const std::pair<const char *, QWidget *> left[] = {
        {"Условный шифр знака поверки:", EditSignCipher},
        {"Поверитель по умолчанию:", EditVerifier},
        {"Владелец СИ по умолчанию:", EditOwner}};
    int row = 0;
    for (const auto &[caption, edit] : left) {
        auto *label = new QLabel(QString::fromUtf8(caption));
        label->setBuddy(edit);
        g->addWidget(label, row, 0);
        g->addWidget(edit, row, 1, row == 0 ? Qt::AlignLeft : Qt::Alignment());
        ++row;
    }
    auto *zoneLabel = new QLabel(QStringLiteral("Часовой пояс дат:"));
    zoneLabel->setBuddy(ComboBoxTimeZone);
    g->addWidget(zoneLabel, 0, 2);
    g->addWidget(ComboBoxTimeZone, 0, 3);
    g->addWidget(CheckBoxSignPass, 1, 2, 1, 2);
    g->addWidget(CheckBoxSignMi, 2, 2, 1, 2);
    g->setColumnStretch(1, 1);
    return group;
}

QWidget *RegistrySettingsPage::createTypesGroup()
{
    StringGridSensorTypes = grid("StringGridSensorTypes",
                                 {QStringLiteral("Наименование"), QStringLiteral("№ в ГРСИ"),
                                  QStringLiteral("Модификация"), QStringLiteral("МПИ, мес.")},
                                 {150, 90, 120});
    ButtonAddSensorType = button("ButtonAddSensorType", QStringLiteral("Добавить"));
    ButtonDeleteSensorType = button("ButtonDeleteSensorType", QStringLiteral("Удалить"));
    return editableGroup("GroupBoxSensorTypes", QStringLiteral("Типы поверяемых ТП"),
                         StringGridSensorTypes, ButtonAddSensorType, ButtonDeleteSensorType);
}

QWidget *RegistrySettingsPage::createMeansGroup()
{
    StringGridMeans =
        grid("StringGridMeans",
             {QStringLiteral("Средство"), QStringLiteral("№ в ГРСИ"), QStringLiteral("Зав. №")},
             {180, 90});
    ButtonAddMeans = button("ButtonAddMeans", QStringLiteral("Добавить"));
    ButtonDeleteMeans = button("ButtonDeleteMeans", QStringLiteral("Удалить"));
    return editableGroup("GroupBoxMeans", QStringLiteral("Вспомогательные средства поверки"),
                         StringGridMeans, ButtonAddMeans, ButtonDeleteMeans);
}

QWidget *RegistrySettingsPage::createEtalGroup()
{
    auto *group =
        named(new QGroupBox(QStringLiteral("Эталонные ТП в ФИФ ОЕИ")), "GroupBoxEtalMieta");
    StringGridEtalMieta = grid("StringGridEtalMieta",
                               {QStringLiteral("Сер. №"), QStringLiteral("Наименование"),
                                QStringLiteral("Год вып."), QStringLiteral("Рег. № эталона")},
                               {80, 130, 60});
    (new QVBoxLayout(group))->addWidget(StringGridEtalMieta);
    return group;
}

void RegistrySettingsPage::load()
{
    const RegistrySettings r = loadRegistrySettings();
    EditSignCipher->setText(r.signCipher);
    EditVerifier->setText(r.defaultVerifier);
    EditOwner->setText(r.defaultOwner);
    fillTimeZones(r.timeZoneOffsetMinutes);
    CheckBoxSignPass->setChecked(r.signPass);
    CheckBoxSignMi->setChecked(r.signMi);

    if (const auto types = LoadSensorTypes(db)) {
        StringGridSensorTypes->setRowCount(0);
        for (const SensorTypeEntry &t : *types)
            appendRow(StringGridSensorTypes, {t.typeName, t.typeNumber, t.modification,
                                              QString::number(t.intervalMonths)});
    }
    const auto means = LoadInstallationMeans(db);
    if (means) {
        StringGridMeans->setRowCount(0);
        for (const AuxiliaryInstrument &i : means->instruments)
            appendRow(StringGridMeans, {i.kind, i.typeNumber, i.serialNum});
    }
    fillReferences(means ? *means : InstallationMeans{});
}

void RegistrySettingsPage::fillTimeZones(int minutes)
{
    ComboBoxTimeZone->clear();
    for (int hours = -12; hours <= 14; ++hours)
        ComboBoxTimeZone->addItem(timeZoneOffsetText(60 * hours), 60 * hours);
    if (ComboBoxTimeZone->findData(minutes) < 0 && timeZoneOffsetError(minutes).isEmpty())
        ComboBoxTimeZone->addItem(timeZoneOffsetText(minutes), minutes);
    ComboBoxTimeZone->setCurrentIndex(ComboBoxTimeZone->findData(minutes));
}

void RegistrySettingsPage::fillReferences(const InstallationMeans &means)
{
    StringGridEtalMieta->setRowCount(0);
    const auto rows = db.select(tables::EtalSens, QString(), QStringLiteral("ID"));
    if (!rows)
        return;
    for (const QVariantMap &row : *rows) {
        const int id = row.value(QStringLiteral("ID")).toInt();
        appendRow(StringGridEtalMieta,
                  {row.value(QStringLiteral("SerialNum")).toString(),
                   row.value(QStringLiteral("TypeName")).toString(),
                   row.value(QStringLiteral("ProdYear")).toString(), means.regNumberOf(id)});
        for (int c = 0; c < 3; ++c)
            readOnly(StringGridEtalMieta->item(StringGridEtalMieta->rowCount() - 1, c));
        StringGridEtalMieta->item(StringGridEtalMieta->rowCount() - 1, 0)
            ->setData(Qt::UserRole, id);
    }
}

RegistrySettings RegistrySettingsPage::typedSettings() const
{
    RegistrySettings r;
    r.signCipher = EditSignCipher->text().trimmed();
    r.defaultVerifier = EditVerifier->text().trimmed();
    r.defaultOwner = EditOwner->text().trimmed();
    r.timeZoneOffsetMinutes = ComboBoxTimeZone->currentData().toInt();
    r.signPass = CheckBoxSignPass->isChecked();
    r.signMi = CheckBoxSignMi->isChecked();
    return r;
}

std::vector<SensorTypeEntry> RegistrySettingsPage::typedSensorTypes() const
{
    std::vector<SensorTypeEntry> types;
    const QTableWidget *g = StringGridSensorTypes;
    for (int r = 0; r < g->rowCount(); ++r) {
        SensorTypeEntry t{cell(g, r, 0), cell(g, r, 1), cell(g, r, 2)};
        bool number = false;
        t.intervalMonths = cell(g, r, 3).toInt(&number);
        if (!number)
            t.intervalMonths = 0; // the check names the row
        if (!t.typeName.isEmpty() || !t.typeNumber.isEmpty() || !t.modification.isEmpty() ||
            !cell(g, r, 3).isEmpty())
            types.push_back(t);
    }
    return types;
}

InstallationMeans RegistrySettingsPage::typedMeans() const
{
    InstallationMeans means;
    const QTableWidget *g = StringGridMeans;
    for (int r = 0; r < g->rowCount(); ++r) {
        AuxiliaryInstrument i{cell(g, r, 0), cell(g, r, 1), cell(g, r, 2)};
        if (!i.kind.isEmpty() || !i.typeNumber.isEmpty() || !i.serialNum.isEmpty())
            means.instruments.push_back(i);
    }
    const QTableWidget *e = StringGridEtalMieta;
    for (int r = 0; r < e->rowCount(); ++r)
        if (const QString number = cell(e, r, 3); !number.isEmpty())
            means.references.push_back({e->item(r, 0)->data(Qt::UserRole).toInt(), number});
    return means;
}

bool RegistrySettingsPage::ButtonApplyRegistryClick()
{
    const RegistrySettings r = typedSettings();
    const std::vector<SensorTypeEntry> types = typedSensorTypes();
    const InstallationMeans means = typedMeans();
    const QString error[] = {registrySettingsError(r),
                             inGrid(QStringLiteral("Типы поверяемых ТП"), sensorTypesError(types)),
                             inGrid(QStringLiteral("Вспомогательные средства поверки"),
                                    installationMeansError({means.instruments, {}})),
                             inGrid(QStringLiteral("Эталонные ТП в ФИФ ОЕИ"),
                                    installationMeansError({{}, means.references}))};
    for (const QString &e : error) {
        if (!e.isEmpty()) {
            dialogs.warning(e);
            return false;
        }
    }
    if (!saveRegistrySettings(r, dialogs) || !SaveSensorTypes(db, dialogs, types) ||
        !SaveInstallationMeans(db, dialogs, means))
        return false;
    Q_EMIT applied();
    return true;
}

} // namespace kront
