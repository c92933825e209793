#pragma once

#include <QString>

#include <memory>
#include <variant>

// Syntax tree of the filter dialect, the query language of the record
// operations: comparisons of fields, literals and the functions Date() and
// GetDate(), IS [NOT] NULL, LIKE with %, NOT, and/or (and binds tighter),
// parentheses.
namespace kront
{

// A filter that cannot be read: 1-based character position and reason.
struct FilterError {
    int position = 0;
    QString message;
    QString text() const;
};

namespace filter
{

struct Operand {
    enum class Kind { Field, Number, Text, Boolean, GetDate, DateOf };
    Kind kind = Kind::Number;
    int position = 0; // 1-based
    QString text;     // field name or text literal
    double number = 0;
    bool isInteger = false;
    qint64 integer = 0;
    bool boolean = false;
    std::shared_ptr<Operand> argument; // of Date(...)
};

enum class CompareOp { Eq, Ne, Lt, Le, Gt, Ge };

struct Node {
    enum class Kind { Or, And, Not, Compare, Like, IsNull, Single };
    Kind kind = Kind::Single;
    int position = 0;
    std::unique_ptr<Node> left, right; // Or, And; Not uses left
    CompareOp op = CompareOp::Eq;
    Operand a, b;         // Compare, Like (a LIKE b), IsNull (a), Single (a)
    bool negated = false; // IS NOT NULL, NOT LIKE
};

using NodePtr = std::unique_ptr<Node>;

// Parses a filter; an empty or blank filter gives a null tree (every row passes).
std::variant<NodePtr, FilterError> parse(const QString &filter);

} // namespace filter
} // namespace kront
