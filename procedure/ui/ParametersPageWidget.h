#pragma once

#include "procedure/SetupPages.h"

#include <QWidget>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

namespace kront
{

class RadioGroup;

// Page 1 "Параметры поверки": number, point count, kind, instability check
// and method of the verification.
class ParametersPageWidget : public QWidget
{
    Q_OBJECT
public:
    explicit ParametersPageWidget(QWidget *parent = nullptr);

    // A fresh page: empty number, no kind or method chosen, the check box
    // hidden and clear, the point count as given, the verifiers offered with
    // the first of them chosen.
    void prepare(int pointsCount, const QStringList &verifiers = {});
    ParametersPage read() const;

    QLineEdit *EditPoverkaNumber;
    QSpinBox *JvSpinEditTemperaturePointsCount;
    RadioGroup *RadioGroupVidPoverki;
    QCheckBox *CheckBoxDoInstabilityCheck;
    RadioGroup *RadioGroupMetodPoverki;
    QComboBox *ComboBoxVerifier; // typed or chosen

private:
    void RadioGroupVidPoverkiClick(int index);
};

} // namespace kront
