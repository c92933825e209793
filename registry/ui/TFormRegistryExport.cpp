#include "registry/ui/TFormRegistryExport.h"

#include "common/Dialogs.h"
#include "common/ui/HelpContext.h"

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

QTableWidget *grid(const char *name, const QStringList &headers)
{
    auto *g = new QTableWidget(0, int(headers.size()));
    g->setObjectName(QLatin1String(name));
    g->setHorizontalHeaderLabels(headers);
    g->setEditTriggers(QAbstractItemView::NoEditTriggers);
    g->setSelectionBehavior(QAbstractItemView::SelectRows);
    g->verticalHeader()->hide();
    g->verticalHeader()->setDefaultSectionSize(20);
    g->horizontalHeader()->setStretchLastSection(true);
    return g;
}

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

void setRow(QTableWidget *g, int row, const QStringList &cells)
{
    for (int c = 0; c < cells.size(); ++c)
        g->setItem(row, c, new QTableWidgetItem(cells[c]));
}

} // namespace

TFormRegistryExport::TFormRegistryExport(Dialogs &dialogSet, QWidget *parent)
    : QDialog(parent), LabelSummary(new QLabel), EditFileName(new QLineEdit),
      ButtonBrowse(button("ButtonBrowse", QStringLiteral("Обзор…"))),
      ButtonExport(button("ButtonExport", QStringLiteral("Выгрузить"))),
      ButtonCancel(button("ButtonCancel", QStringLiteral("Отмена"))), dialogs(dialogSet)
{
    setObjectName(QStringLiteral("TFormRegistryExport"));
    setWindowTitle(QStringLiteral("Выгрузка во ФГИС «Аршин»"));
    setHelpTopic(this, 20);
    setModal(true);
    LabelSummary->setObjectName(QStringLiteral("LabelSummary"));
    LabelSummary->setWordWrap(true);
    EditFileName->setObjectName(QStringLiteral("EditFileName"));

    auto *file = new QHBoxLayout;
    auto *fileLabel = new QLabel(QStringLiteral("Файл:"));
    fileLabel->setBuddy(EditFileName);
    file->addWidget(fileLabel);
    file->addWidget(EditFileName, 1);
    file->addWidget(ButtonBrowse);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ButtonExport);
    buttons->addWidget(ButtonCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(LabelSummary);
    layout->addWidget(createResults(), 3);
    layout->addWidget(createRefusals(), 2);
    layout->addLayout(file);
    layout->addLayout(buttons);

    connect(ButtonBrowse, &QPushButton::clicked, this, &TFormRegistryExport::ButtonBrowseClick);
    connect(ButtonExport, &QPushButton::clicked, this, &TFormRegistryExport::ButtonExportClick);
    connect(ButtonCancel, &QPushButton::clicked, this, &QDialog::reject);
    resize(1000, 620);
}

QWidget *TFormRegistryExport::createResults()
{
    auto *group = new QGroupBox(QStringLiteral("Будут выгружены"));
    group->setObjectName(QStringLiteral("GroupBoxResults"));
    StringGridResults =
        grid("StringGridResults",
             {QStringLiteral("Поверка №"), QStringLiteral("Дата"), QStringLiteral("Зав. №"),
              QStringLiteral("Тип"), QStringLiteral("№ в ГРСИ"), QStringLiteral("Результат"),
              QStringLiteral("Выгружен ранее")});
    const int widths[] = {90, 90, 110, 220, 100, 110};
    for (int c = 0; c < 6; ++c)
        StringGridResults->setColumnWidth(c, widths[c]);
    (new QVBoxLayout(group))->addWidget(StringGridResults);
    return group;
}

QWidget *TFormRegistryExport::createRefusals()
{
    auto *group = new QGroupBox(QStringLiteral("Не могут быть выгружены"));
    group->setObjectName(QStringLiteral("GroupBoxRefusals"));
    StringGridRefusals =
        grid("StringGridRefusals", {QStringLiteral("Поверка №"), QStringLiteral("Зав. №"),
                                    QStringLiteral("Тип"), QStringLiteral("Причина")});
    const int widths[] = {90, 110, 220};
    for (int c = 0; c < 3; ++c)
        StringGridRefusals->setColumnWidth(c, widths[c]);
    (new QVBoxLayout(group))->addWidget(StringGridRefusals);
    return group;
}

void TFormRegistryExport::showPreview(const RegistryPreview &preview, const QString &file)
{
    StringGridResults->setRowCount(int(preview.results.size()));
    int row = 0;
    for (const RegistryPreview::Result &r : preview.results)
        setRow(StringGridResults, row++,
               {r.povNum, r.date, r.serial, r.typeName, r.typeNumber,
                r.fit ? QStringLiteral("годен") : QStringLiteral("не годен"),
                r.exportedBefore ? QStringLiteral("да") : QString()});
    StringGridRefusals->setRowCount(int(preview.refusals.size()));
    row = 0;
    for (const RegistryPreview::Refusal &r : preview.refusals)
        setRow(StringGridRefusals, row++, {r.povNum, r.serial, r.typeName, r.reason});
    StringGridRefusals->resizeRowsToContents();

    QString summary =
        QStringLiteral("Результатов поверки к выгрузке: %1").arg(preview.results.size());
    if (preview.fileCount > 1)
        summary += QStringLiteral(" (в %1 файлах)").arg(preview.fileCount);
    summary += QStringLiteral(". Не могут быть выгружены: %1.").arg(preview.refusals.size());
    if (const int before = preview.exportedBeforeCount(); before > 0)
        summary += QStringLiteral(" Выгружены ранее: %1.").arg(before);
    LabelSummary->setText(summary);
    EditFileName->setText(file);
    ButtonExport->setEnabled(!preview.results.empty());
}

QString TFormRegistryExport::fileName() const
{
    return EditFileName->text().trimmed();
}

void TFormRegistryExport::ButtonBrowseClick()
{
    const QString chosen =
        dialogs.saveFileName(QStringLiteral("Файл выгрузки во ФГИС «Аршин»"), fileName(),
                             QStringLiteral("Файлы XML (*.xml)"), QStringLiteral("xml"));
    if (!chosen.isEmpty())
        EditFileName->setText(chosen);
}

void TFormRegistryExport::ButtonExportClick()
{
    if (fileName().isEmpty()) {
        dialogs.warning(QStringLiteral("Укажите файл выгрузки!"));
        return;
    }
    accept();
}

} // namespace kront
