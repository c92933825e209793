#include "reports/ui/OptionalDateEdit.h"

namespace kront
{

namespace
{
const QDate kNoDate(1900, 1, 1);
}

OptionalDateEdit::OptionalDateEdit(QWidget *parent) : QDateEdit(parent)
{
    setDisplayFormat(QStringLiteral("dd.MM.yyyy"));
    setCalendarPopup(true);
    setMinimumDate(kNoDate);
    setSpecialValueText(QStringLiteral(" "));
    setDate(kNoDate);
}

std::optional<QDate> OptionalDateEdit::optionalDate() const
{
    const QDate d = date();
    if (!d.isValid() || d == kNoDate)
        return std::nullopt;
    return d;
}

void OptionalDateEdit::setOptionalDate(const std::optional<QDate> &d)
{
    setDate(d && d->isValid() && *d > kNoDate ? *d : kNoDate);
}

} // namespace kront
