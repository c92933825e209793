#pragma once

#include "reportengine/Expression.h"

#include <QString>
#include <optional>
#include <vector>

namespace kront::report
{

// The text of a memo: literal text with [expression] parts, each replaced by
// the text of its value when the report is prepared ("№ [NUM_SVID]"). A "["
// without a closing "]" is literal text; a literal bracket inside a memo is
// written as the expression ['['].
class TextTemplate
{
public:
    static std::optional<TextTemplate> parse(const QString &text, QString *error = nullptr);

    QString evaluate(const NameResolver &resolve) const;
    QStringList names() const;
    const QString &source() const { return text; }
    bool isEmpty() const { return text.isEmpty(); }

private:
    struct Segment {
        QString literal;
        std::optional<Expression> expression;
    };
    QString text;
    std::vector<Segment> segments;
};

} // namespace kront::report
