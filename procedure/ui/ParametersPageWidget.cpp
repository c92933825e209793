#include "procedure/ui/ParametersPageWidget.h"

#include "procedure/ui/RadioGroup.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSpinBox>

namespace kront
{

namespace
{
constexpr int kMaxPoints = 8;
}

ParametersPageWidget::ParametersPageWidget(QWidget *parent)
    : QWidget(parent), EditPoverkaNumber(new QLineEdit),
      JvSpinEditTemperaturePointsCount(new QSpinBox),
      RadioGroupVidPoverki(
          new RadioGroup(QStringLiteral("RadioGroupVidPoverki"), QStringLiteral("Вид поверки"),
                         {QStringLiteral("Первичная"), QStringLiteral("Периодическая")})),
      CheckBoxDoInstabilityCheck(
          new QCheckBox(QStringLiteral("Выполнить проверку нестабильности"))),
      RadioGroupMetodPoverki(new RadioGroup(QStringLiteral("RadioGroupMetodPoverki"),
                                            QStringLiteral("Метод поверки"),
                                            {QStringLiteral("Метод прямых измерений"),
                                             QStringLiteral("Метод поэлектродного сличения")})),
      ComboBoxVerifier(new QComboBox)
{
    setObjectName(QStringLiteral("JvWizardInteriorPage1"));
    EditPoverkaNumber->setObjectName(QStringLiteral("EditPoverkaNumber"));
    EditPoverkaNumber->setMaxLength(kPovNumMaxLength);
    EditPoverkaNumber->setMaximumWidth(120);
    JvSpinEditTemperaturePointsCount->setObjectName(
        QStringLiteral("JvSpinEditTemperaturePointsCount"));
    JvSpinEditTemperaturePointsCount->setRange(1, kMaxPoints);
    JvSpinEditTemperaturePointsCount->setMaximumWidth(60);
    CheckBoxDoInstabilityCheck->setObjectName(QStringLiteral("CheckBoxDoInstabilityCheck"));
    ComboBoxVerifier->setObjectName(QStringLiteral("ComboBoxVerifier"));
    ComboBoxVerifier->setEditable(true);
    ComboBoxVerifier->setInsertPolicy(QComboBox::NoInsert);
    ComboBoxVerifier->lineEdit()->setMaxLength(kVerifierMaxLength);
    ComboBoxVerifier->setMinimumWidth(320);

    auto *numberLabel = new QLabel(QStringLiteral("Поверка №:"));
    numberLabel->setObjectName(QStringLiteral("LabelPoverkaNumber"));
    numberLabel->setBuddy(EditPoverkaNumber);
    auto *pointsLabel = new QLabel(QStringLiteral("Количество значений температуры\n"
                                                  "определения ТЭДС:"));
    pointsLabel->setObjectName(QStringLiteral("LabelTemperaturePointsCount"));
    pointsLabel->setBuddy(JvSpinEditTemperaturePointsCount);

    auto *layout = new QGridLayout(this);
    layout->addWidget(numberLabel, 0, 0);
    layout->addWidget(EditPoverkaNumber, 0, 1, Qt::AlignLeft);
    layout->addWidget(pointsLabel, 1, 0);
    layout->addWidget(JvSpinEditTemperaturePointsCount, 1, 1, Qt::AlignLeft);
    layout->addWidget(RadioGroupVidPoverki, 2, 0);
    layout->addWidget(CheckBoxDoInstabilityCheck, 2, 1, Qt::AlignLeft | Qt::AlignTop);
    layout->addWidget(RadioGroupMetodPoverki, 3, 0, 1, 2);
    auto *verifierLabel = new QLabel(QStringLiteral("Поверитель:"));
    verifierLabel->setObjectName(QStringLiteral("LabelVerifier"));
    verifierLabel->setBuddy(ComboBoxVerifier);
    layout->addWidget(verifierLabel, 4, 0);
    layout->addWidget(ComboBoxVerifier, 4, 1, Qt::AlignLeft);
    layout->setColumnStretch(2, 1);
    layout->setRowStretch(5, 1);

    connect(RadioGroupVidPoverki, &RadioGroup::itemChosen, this,
            &ParametersPageWidget::RadioGroupVidPoverkiClick);
}

void ParametersPageWidget::prepare(int pointsCount, const QStringList &verifiers)
{
    ComboBoxVerifier->clear();
    ComboBoxVerifier->addItems(verifiers);
    ComboBoxVerifier->setCurrentIndex(verifiers.isEmpty() ? -1 : 0);
    ComboBoxVerifier->setEditText(verifiers.value(0));
    EditPoverkaNumber->clear();
    RadioGroupVidPoverki->setItemIndex(-1);
    RadioGroupMetodPoverki->setItemIndex(-1);
    CheckBoxDoInstabilityCheck->setChecked(false);
    CheckBoxDoInstabilityCheck->setVisible(false);
    JvSpinEditTemperaturePointsCount->setValue(pointsCount);
}

ParametersPage ParametersPageWidget::read() const
{
    ParametersPage p;
    p.number = EditPoverkaNumber->text();
    p.pointsCount = JvSpinEditTemperaturePointsCount->value();
    p.kindIndex = RadioGroupVidPoverki->itemIndex();
    p.instabilityCheck = CheckBoxDoInstabilityCheck->isChecked();
    p.methodIndex = RadioGroupMetodPoverki->itemIndex();
    p.verifier = ComboBoxVerifier->currentText();
    return p;
}

void ParametersPageWidget::RadioGroupVidPoverkiClick(int index)
{
    // The instability check belongs to a primary verification only.
    CheckBoxDoInstabilityCheck->setVisible(index == 0);
}

} // namespace kront
