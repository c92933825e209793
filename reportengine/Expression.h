#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

namespace kront::report
{

// Answers the value of a name used in an expression; an invalid QVariant
// means the name is unknown.
using NameResolver = std::function<QVariant(const QString &name)>;

// A small expression language for template variables, memo texts and
// visibility conditions:
//   'text' (a quote inside doubled: 'O''Neil'), numbers (12, 4.5), True, False,
//   names (letters, digits, "_"; built-ins start with "#"), parentheses,
//   + (numbers add, otherwise texts concatenate), = and <> (numeric when both
//   sides are numbers, else text), not, and, or (case-insensitive keywords).
// An empty expression is the empty text.
class Expression
{
public:
    struct Node;

    // Parses the text; std::nullopt with a description in *error on failure.
    static std::optional<Expression> parse(const QString &text, QString *error = nullptr);

    QVariant evaluate(const NameResolver &resolve) const;

    // Every name the expression refers to, in order of appearance.
    QStringList names() const;

    const QString &source() const { return text; }

private:
    QString text;
    std::shared_ptr<const Node> root;
};

// 'text' with every quote inside doubled: an expression that evaluates to text.
QString quoted(const QString &text);

// The reverse of quoted(): blanks trimmed, enclosing quotes removed and doubled
// quotes made single. A text without enclosing quotes comes back trimmed.
QString unquoted(const QString &expression);

// The text a value prints as: numbers in general notation with a decimal
// comma, booleans as True/False, an invalid value as empty text.
QString displayText(const QVariant &value);

// Truth of a condition: booleans as they are, numbers when not zero, texts when
// not empty and not "false" or "0" (any case).
bool truthValue(const QVariant &value);

} // namespace kront::report
