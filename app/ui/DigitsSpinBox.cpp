#include "app/ui/DigitsSpinBox.h"

#include <algorithm>

namespace kront
{

QValidator::State DigitsSpinBox::validate(QString &text, int &pos) const
{
    const bool digits =
        std::all_of(text.begin(), text.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    return digits ? QSpinBox::validate(text, pos) : QValidator::Invalid;
}

} // namespace kront
