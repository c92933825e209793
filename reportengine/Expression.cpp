#include "reportengine/Expression.h"

#include <cmath>
#include <vector>

namespace kront::report
{

struct Expression::Node {
    enum class Kind { Literal, Name, Not, Add, Equal, NotEqual, And, Or };
    Kind kind = Kind::Literal;
    QVariant value; // Literal
    QString name;   // Name
    std::shared_ptr<const Node> left, right;
};

namespace
{

using Node = Expression::Node;
using NodePtr = std::shared_ptr<const Node>;

struct Token {
    enum class Type { End, Text, Number, Name, Plus, Equal, NotEqual, Open, Close };
    Type type = Type::End;
    QString text;
    double number = 0;
};

bool isNameStart(QChar c)
{
    return c.isLetter() || c == u'_' || c == u'#';
}
bool isNameChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

class Parser
{
public:
    explicit Parser(const QString &s) : src(s) {}

    NodePtr parseAll(QString *error)
    {
        if (!tokenize()) {
            *error = message;
            return nullptr;
        }
        if (tokens.front().type == Token::Type::End)
            return literal(QString());
        NodePtr n = parseOr();
        if (n && peek().type != Token::Type::End)
            fail(QStringLiteral("лишний текст после выражения"));
        if (!message.isEmpty()) {
            *error = message;
            return nullptr;
        }
        return n;
    }

private:
    bool tokenize()
    {
        int i = 0;
        const int n = src.size();
        while (i < n) {
            const QChar c = src[i];
            if (c.isSpace()) {
                ++i;
            } else if (c == u'\'') {
                QString text;
                ++i;
                bool closed = false;
                while (i < n) {
                    if (src[i] == u'\'') {
                        if (i + 1 < n && src[i + 1] == u'\'') {
                            text += u'\'';
                            i += 2;
                            continue;
                        }
                        closed = true;
                        ++i;
                        break;
                    }
                    text += src[i++];
                }
                if (!closed)
                    return fail(QStringLiteral("не закрыта кавычка"));
                tokens.push_back({Token::Type::Text, text, 0});
            } else if (c.isDigit()) {
                const int start = i;
                while (i < n && src[i].isDigit())
                    ++i;
                if (i < n && src[i] == u'.') {
                    ++i;
                    while (i < n && src[i].isDigit())
                        ++i;
                }
                tokens.push_back({Token::Type::Number, {}, src.mid(start, i - start).toDouble()});
            } else if (isNameStart(c)) {
                const int start = i++;
                while (i < n && isNameChar(src[i]))
                    ++i;
                tokens.push_back({Token::Type::Name, src.mid(start, i - start), 0});
            } else if (c == u'+') {
                tokens.push_back({Token::Type::Plus, {}, 0});
                ++i;
            } else if (c == u'=') {
                tokens.push_back({Token::Type::Equal, {}, 0});
                ++i;
            } else if (c == u'<' && i + 1 < n && src[i + 1] == u'>') {
                tokens.push_back({Token::Type::NotEqual, {}, 0});
                i += 2;
            } else if (c == u'(') {
                tokens.push_back({Token::Type::Open, {}, 0});
                ++i;
            } else if (c == u')') {
                tokens.push_back({Token::Type::Close, {}, 0});
                ++i;
            } else {
                return fail(QStringLiteral("недопустимый символ '%1'").arg(c));
            }
        }
        tokens.push_back({});
        return true;
    }

    bool fail(const QString &text)
    {
        if (message.isEmpty())
            message = text;
        return false;
    }

    const Token &peek() const { return tokens[pos]; }
    bool isKeyword(const char *word) const
    {
        return peek().type == Token::Type::Name &&
               peek().text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
    }

    static NodePtr literal(const QVariant &v)
    {
        auto n = std::make_shared<Node>();
        n->value = v;
        return n;
    }
    static NodePtr binary(Node::Kind kind, NodePtr l, NodePtr r)
    {
        auto n = std::make_shared<Node>();
        n->kind = kind;
        n->left = std::move(l);
        n->right = std::move(r);
        return n;
    }

    NodePtr parseOr()
    {
        NodePtr l = parseAnd();
        while (l && isKeyword("or")) {
            ++pos;
            l = binary(Node::Kind::Or, l, parseAnd());
        }
        return l;
    }
    NodePtr parseAnd()
    {
        NodePtr l = parseCompare();
        while (l && isKeyword("and")) {
            ++pos;
            l = binary(Node::Kind::And, l, parseCompare());
        }
        return l;
    }
    NodePtr parseCompare()
    {
        NodePtr l = parseSum();
        while (l && (peek().type == Token::Type::Equal || peek().type == Token::Type::NotEqual)) {
            const auto kind =
                peek().type == Token::Type::Equal ? Node::Kind::Equal : Node::Kind::NotEqual;
            ++pos;
            l = binary(kind, l, parseSum());
        }
        return l;
    }
    NodePtr parseSum()
    {
        NodePtr l = parseUnary();
        while (l && peek().type == Token::Type::Plus) {
            ++pos;
            l = binary(Node::Kind::Add, l, parseUnary());
        }
        return l;
    }
    NodePtr parseUnary()
    {
        // Nesting is bounded so that no template text can exhaust the stack.
        if (++depth > kMaxDepth) {
            fail(QStringLiteral("слишком глубокая вложенность"));
            return nullptr;
        }
        NodePtr n = parseUnaryInner();
        --depth;
        return n;
    }
    NodePtr parseUnaryInner()
    {
        if (isKeyword("not")) {
            ++pos;
            NodePtr child = parseUnary();
            if (!child)
                return nullptr;
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::Not;
            n->left = child;
            return n;
        }
        return parsePrimary();
    }
    NodePtr parsePrimary()
    {
        const Token t = peek();
        switch (t.type) {
        case Token::Type::Text: ++pos; return literal(t.text);
        case Token::Type::Number: ++pos; return literal(t.number);
        case Token::Type::Open: {
            ++pos;
            NodePtr inner = parseOr();
            if (!inner)
                return nullptr;
            if (peek().type != Token::Type::Close) {
                fail(QStringLiteral("не закрыта скобка"));
                return nullptr;
            }
            ++pos;
            return inner;
        }
        case Token::Type::Name: {
            ++pos;
            if (t.text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
                return literal(true);
            if (t.text.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
                return literal(false);
            static const char *const reserved[] = {"and", "or", "not"};
            for (const char *word : reserved)
                if (t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0) {
                    fail(QStringLiteral("ожидалось значение перед '%1'").arg(t.text));
                    return nullptr;
                }
            auto n = std::make_shared<Node>();
            n->kind = Node::Kind::Name;
            n->name = t.text;
            return n;
        }
        case Token::Type::End: fail(QStringLiteral("выражение не закончено")); return nullptr;
        default: fail(QStringLiteral("ожидалось значение")); return nullptr;
        }
    }

    static constexpr int kMaxDepth = 200;
    QString src;
    std::vector<Token> tokens;
    size_t pos = 0;
    int depth = 0;
    QString message;
};

bool isNumber(const QVariant &v)
{
    const auto id = v.typeId();
    return id == QMetaType::Double || id == QMetaType::Int || id == QMetaType::LongLong ||
           id == QMetaType::UInt || id == QMetaType::ULongLong;
}

QVariant evaluateNode(const Node &n, const NameResolver &resolve)
{
    switch (n.kind) {
    case Node::Kind::Literal: return n.value;
    case Node::Kind::Name: {
        const QVariant v = resolve ? resolve(n.name) : QVariant();
        return v.isValid() ? v : QVariant(QString());
    }
    case Node::Kind::Not: return !truthValue(evaluateNode(*n.left, resolve));
    case Node::Kind::And:
        return truthValue(evaluateNode(*n.left, resolve)) &&
               truthValue(evaluateNode(*n.right, resolve));
    case Node::Kind::Or:
        return truthValue(evaluateNode(*n.left, resolve)) ||
               truthValue(evaluateNode(*n.right, resolve));
    case Node::Kind::Add: {
        const QVariant l = evaluateNode(*n.left, resolve);
        const QVariant r = evaluateNode(*n.right, resolve);
        if (isNumber(l) && isNumber(r))
            return l.toDouble() + r.toDouble();
        return displayText(l) + displayText(r);
    }
    case Node::Kind::Equal:
    case Node::Kind::NotEqual: {
        const QVariant l = evaluateNode(*n.left, resolve);
        const QVariant r = evaluateNode(*n.right, resolve);
        bool same;
        if (isNumber(l) && isNumber(r))
            same = l.toDouble() == r.toDouble();
        else if (l.typeId() == QMetaType::Bool || r.typeId() == QMetaType::Bool)
            same = truthValue(l) == truthValue(r);
        else
            same = displayText(l) == displayText(r);
        return n.kind == Node::Kind::Equal ? same : !same;
    }
    }
    return {};
}

void collectNames(const Node *n, QStringList &out)
{
    if (!n)
        return;
    if (n->kind == Node::Kind::Name)
        out << n->name;
    collectNames(n->left.get(), out);
    collectNames(n->right.get(), out);
}

} // namespace

std::optional<Expression> Expression::parse(const QString &text, QString *error)
{
    QString message;
    Parser parser(text);
    NodePtr root = parser.parseAll(&message);
    if (!root) {
        if (error)
            *error = message;
        return std::nullopt;
    }
    Expression e;
    e.text = text;
    e.root = std::move(root);
    return e;
}

QVariant Expression::evaluate(const NameResolver &resolve) const
{
    return root ? evaluateNode(*root, resolve) : QVariant(QString());
}

QStringList Expression::names() const
{
    QStringList out;
    collectNames(root.get(), out);
    return out;
}

QString quoted(const QString &text)
{
    QString inner = text;
    inner.replace(u'\'', QStringLiteral("''"));
    return u'\'' + inner + u'\'';
}

QString unquoted(const QString &expression)
{
    QString s = expression.trimmed();
    if (s.size() >= 2 && s.startsWith(u'\'') && s.endsWith(u'\'')) {
        s = s.mid(1, s.size() - 2);
        s.replace(QStringLiteral("''"), QStringLiteral("'"));
    }
    return s;
}

QString displayText(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Bool: return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        if (!std::isfinite(d))
            return {};
        return QString::number(d, 'g', 15).replace(u'.', u',');
    }
    default: return value.toString();
    }
}

bool truthValue(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return false;
    if (value.typeId() == QMetaType::Bool)
        return value.toBool();
    if (isNumber(value))
        return value.toDouble() != 0;
    const QString s = value.toString().trimmed();
    return !s.isEmpty() && s.compare(QLatin1String("false"), Qt::CaseInsensitive) != 0 &&
           s != QLatin1String("0");
}

} // namespace kront::report
