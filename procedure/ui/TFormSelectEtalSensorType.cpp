#include "procedure/ui/TFormSelectEtalSensorType.h"

#include "common/ui/HelpContext.h"
#include "procedure/ui/RadioGroup.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace kront
{

namespace
{
QStringList thermometerItems()
{
    return {QStringLiteral("Эталонный ртутный стеклянный термометр"),
            QStringLiteral("Эталонный ТП типа ППО/ПРО")};
}
} // namespace

TFormSelectEtalSensorType::TFormSelectEtalSensorType(QWidget *parent)
    : QDialog(parent), group1(new RadioGroup(QStringLiteral("RadioGroupEtalSensorTypeCh1"),
                                             QStringLiteral("Тип эталонного термометра канала 1"),
                                             thermometerItems())),
      group2(new RadioGroup(QStringLiteral("RadioGroupEtalSensorTypeCh2"),
                            QStringLiteral("Тип эталонного термометра канала 2"),
                            thermometerItems())),
      buttonOk(new QPushButton(QStringLiteral("Выбрать"))),
      buttonCancel(new QPushButton(QStringLiteral("Отмена")))
{
    setObjectName(QStringLiteral("TFormSelectEtalSensorType"));
    setWindowTitle(QStringLiteral("Выбор типа эталонного термометра"));
    setHelpTopic(this, 8);
    setModal(true);
    buttonOk->setObjectName(QStringLiteral("ButtonOk"));
    buttonCancel->setObjectName(QStringLiteral("ButtonCancel"));
    buttonOk->setDefault(true);

    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(
        QStringLiteral("Укажите тип эталонного термометра для следующего значения температуры"));
    label->setObjectName(QStringLiteral("Label1"));
    layout->addWidget(label);
    layout->addWidget(group1);
    layout->addWidget(group2);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(buttonOk);
    buttons->addWidget(buttonCancel);
    layout->addLayout(buttons);

    connect(buttonOk, &QPushButton::clicked, this, &TFormSelectEtalSensorType::ButtonOkClick);
    connect(buttonCancel, &QPushButton::clicked, this,
            &TFormSelectEtalSensorType::ButtonCancelClick);
}

EtalChoice TFormSelectEtalSensorType::currentChoice() const
{
    return {-1, group1->itemIndex(), group2->itemIndex()};
}

std::optional<EtalChoice>
TFormSelectEtalSensorType::choose(const EtalChooserSetup &setup,
                                  std::function<bool(const EtalChoice &)> accept)
{
    for (int c = 1; c <= 2; ++c) {
        group(c)->setItemIndex(setup.selected[c]);
        group(c)->setEnabled(setup.enabled[c]);
    }
    acceptChoice = std::move(accept);
    const int result = exec();
    acceptChoice = nullptr;
    if (result != QDialog::Accepted)
        return std::nullopt;
    return currentChoice();
}

void TFormSelectEtalSensorType::ButtonOkClick()
{
    if (acceptChoice && !acceptChoice(currentChoice()))
        return; // the engine has said why; the window stays open
    accept();
}

void TFormSelectEtalSensorType::ButtonCancelClick()
{
    reject();
}

} // namespace kront
