#pragma once

#include <QSpinBox>

namespace kront
{

// A number box that takes digits only. A plain spin box with a large maximum
// also takes the locale's group separator and reads "1,5" as 15.
class DigitsSpinBox : public QSpinBox
{
    Q_OBJECT
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString &text, int &pos) const override;
};

} // namespace kront
