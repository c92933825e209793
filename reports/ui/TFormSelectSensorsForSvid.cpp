#include "reports/ui/TFormSelectSensorsForSvid.h"

#include "common/ui/HelpContext.h"
#include "model/CodeTables.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace kront
{

namespace
{
const QString kSelectAll = QStringLiteral("Отметить все");
const QString kClearAll = QStringLiteral("Снять отметку");
} // namespace

TFormSelectSensorsForSvid::TFormSelectSensorsForSvid(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("TFormSelectSensorsForSvid"));
    setWindowTitle(QStringLiteral("Выбор ТП для печати документов"));
    setHelpTopic(this, 11);
    resize(520, 360);
    auto *layout = new QVBoxLayout(this);
    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("Выберите ТП, для которых нужно выдать документ:")),
                   1);
    ButtonSelectAll = new QPushButton(kSelectAll);
    ButtonSelectAll->setObjectName(QStringLiteral("ButtonSelectAll"));
    connect(ButtonSelectAll, &QPushButton::clicked, this,
            &TFormSelectSensorsForSvid::ButtonSelectAllClick);
    top->addWidget(ButtonSelectAll);
    layout->addLayout(top);

    ListViewSensors = new QTreeWidget;
    ListViewSensors->setObjectName(QStringLiteral("ListViewSensors"));
    ListViewSensors->setRootIsDecorated(false);
    ListViewSensors->setHeaderLabels({QString(), QStringLiteral("Тип"), QStringLiteral("Номер"),
                                      QStringLiteral("Класс"), QStringLiteral("Выдан документ №")});
    ListViewSensors->setColumnWidth(0, 60);
    ListViewSensors->setColumnWidth(1, 90);
    ListViewSensors->setColumnWidth(2, 110);
    ListViewSensors->setColumnWidth(3, 70);
    layout->addWidget(ListViewSensors, 1);

    auto *buttons = new QDialogButtonBox;
    QPushButton *ok = buttons->addButton(QStringLiteral("Выбрать"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("ButtonOk"));
    QPushButton *cancel =
        buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("ButtonCancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

void TFormSelectSensorsForSvid::setSensors(const std::vector<TSensOpts> &sensors)
{
    ListViewSensors->clear();
    for (const TSensOpts &s : sensors) {
        auto *item = new QTreeWidgetItem(ListViewSensors);
        item->setText(0, QString::number(s.SensorID));
        item->setText(1, NSHShortNameByCode(s.NSHType));
        item->setText(2, s.SerialNum);
        item->setText(3, s.Result);
        item->setText(4, s.DocNum);
        item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
        item->setCheckState(0, Qt::Unchecked);
    }
    ButtonSelectAll->setText(kSelectAll);
}

QList<int> TFormSelectSensorsForSvid::tickedSensorIDs() const
{
    QList<int> ids;
    for (int i = 0; i < ListViewSensors->topLevelItemCount(); ++i) {
        const QTreeWidgetItem *item = ListViewSensors->topLevelItem(i);
        if (item->checkState(0) == Qt::Checked)
            ids << item->text(0).toInt();
    }
    return ids;
}

void TFormSelectSensorsForSvid::ButtonSelectAllClick()
{
    const bool tick = ButtonSelectAll->text() == kSelectAll;
    for (int i = 0; i < ListViewSensors->topLevelItemCount(); ++i)
        ListViewSensors->topLevelItem(i)->setCheckState(0, tick ? Qt::Checked : Qt::Unchecked);
    ButtonSelectAll->setText(tick ? kClearAll : kSelectAll);
}

std::optional<QList<int>> TFormSelectSensorsForSvid::choose(const std::vector<TSensOpts> &sensors)
{
    setSensors(sensors);
    if (exec() != QDialog::Accepted)
        return std::nullopt;
    return tickedSensorIDs();
}

} // namespace kront
