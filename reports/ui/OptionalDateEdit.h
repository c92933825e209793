#pragma once

#include <QDate>
#include <QDateEdit>
#include <optional>

namespace kront
{

// A date picker that may hold no date: the earliest date of its range stands
// for "no date" and is shown as an empty field.
class OptionalDateEdit : public QDateEdit
{
    Q_OBJECT
public:
    explicit OptionalDateEdit(QWidget *parent = nullptr);

    std::optional<QDate> optionalDate() const;
    void setOptionalDate(const std::optional<QDate> &date);
    void clearDate() { setOptionalDate(std::nullopt); }
    bool isEmpty() const { return !optionalDate().has_value(); }
};

} // namespace kront
