#include "db/FilterSyntax.h"

#include <QLocale>

#include <optional>
#include <vector>

namespace kront
{

QString FilterError::text() const
{
    return QStringLiteral("Ошибка в условии отбора записей, позиция %1: %2")
        .arg(position)
        .arg(message);
}

namespace filter
{

namespace
{

struct Token {
    enum class Type { Ident, Number, Text, Op, LParen, RParen, Minus, End };
    Type type = Type::End;
    QString text; // identifier, text literal value, operator, number text
    int position = 0;
};

class Lexer
{
public:
    explicit Lexer(const QString &s) : src(s) {}

    std::variant<std::vector<Token>, FilterError> run()
    {
        std::vector<Token> out;
        qsizetype i = 0;
        while (true) {
            while (i < src.size() && src[i].isSpace())
                ++i;
            const int pos = int(i) + 1;
            if (i >= src.size()) {
                out.push_back({Token::Type::End, QString(), pos});
                return out;
            }
            const QChar c = src[i];
            if (c.isLetter() || c == u'_') {
                qsizetype j = i;
                while (j < src.size() && (src[j].isLetterOrNumber() || src[j] == u'_'))
                    ++j;
                out.push_back({Token::Type::Ident, src.mid(i, j - i), pos});
                i = j;
            } else if (c.isDigit() || (c == u'.' && i + 1 < src.size() && src[i + 1].isDigit())) {
                qsizetype j = i;
                while (j < src.size() && src[j].isDigit())
                    ++j;
                if (j + 1 < src.size() && (src[j] == u'.' || src[j] == u',') &&
                    src[j + 1].isDigit()) {
                    ++j;
                    while (j < src.size() && src[j].isDigit())
                        ++j;
                }
                if (j < src.size() && (src[j].isLetter() || src[j] == u'_'))
                    return FilterError{int(j) + 1, QStringLiteral("неверно записано число")};
                out.push_back({Token::Type::Number, src.mid(i, j - i), pos});
                i = j;
            } else if (c == u'\'') {
                QString value;
                qsizetype j = i + 1;
                while (true) {
                    if (j >= src.size())
                        return FilterError{pos, QStringLiteral("не закрыта кавычка текста")};
                    if (src[j] == u'\'') {
                        if (j + 1 < src.size() && src[j + 1] == u'\'') {
                            value += u'\'';
                            j += 2;
                            continue;
                        }
                        break;
                    }
                    value += src[j++];
                }
                out.push_back({Token::Type::Text, value, pos});
                i = j + 1;
            } else if (c == u'(' || c == u')') {
                out.push_back(
                    {c == u'(' ? Token::Type::LParen : Token::Type::RParen, QString(c), pos});
                ++i;
            } else if (c == u'-') {
                out.push_back({Token::Type::Minus, QStringLiteral("-"), pos});
                ++i;
            } else if (c == u'=' || c == u'<' || c == u'>') {
                QString op(c);
                if (i + 1 < src.size() &&
                    ((c == u'<' && (src[i + 1] == u'>' || src[i + 1] == u'=')) ||
                     (c == u'>' && src[i + 1] == u'=')))
                    op += src[i + 1];
                out.push_back({Token::Type::Op, op, pos});
                i += op.size();
            } else {
                return FilterError{pos, QStringLiteral("недопустимый знак «%1»").arg(c)};
            }
        }
    }

private:
    const QString &src;
};

bool isKeyword(const Token &t, const char *word)
{
    return t.type == Token::Type::Ident &&
           t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

class Parser
{
public:
    explicit Parser(std::vector<Token> t) : tokens(std::move(t)) {}

    std::variant<NodePtr, FilterError> run()
    {
        NodePtr root = parseOr();
        if (!error && peek().type != Token::Type::End)
            fail(peek().position, QStringLiteral("лишний текст после условия"));
        if (error)
            return *error;
        return root;
    }

private:
    const Token &peek(int ahead = 0) const
    {
        const std::size_t k = std::min(pos + std::size_t(ahead), tokens.size() - 1);
        return tokens[k];
    }
    const Token &next() { return tokens[std::min(pos++, tokens.size() - 1)]; }

    NodePtr fail(int position, const QString &message)
    {
        if (!error)
            error = FilterError{position, message};
        return nullptr;
    }

    // Counts a NOT, a parenthesis, a Date( or an and/or. A filter holds at
    // most kMaxNesting of them: the parser and the compiler recurse along
    // them, and the SQL store refuses conditions nested much deeper.
    bool nest(const Token &t)
    {
        if (++nesting <= kMaxNesting)
            return true;
        fail(t.position, QStringLiteral("условие слишком сложное (более %1 скобок, NOT, Date и "
                                        "связок and/or)")
                             .arg(kMaxNesting));
        return false;
    }

    NodePtr binary(Node::Kind kind, const char *keyword, NodePtr (Parser::*sub)())
    {
        NodePtr left = (this->*sub)();
        while (!error && isKeyword(peek(), keyword)) {
            if (!nest(peek()))
                return nullptr;
            auto node = std::make_unique<Node>();
            node->kind = kind;
            node->position = next().position;
            node->left = std::move(left);
            node->right = (this->*sub)();
            left = std::move(node);
        }
        return error ? nullptr : std::move(left);
    }

    NodePtr parseOr() { return binary(Node::Kind::Or, "or", &Parser::parseAnd); }
    NodePtr parseAnd() { return binary(Node::Kind::And, "and", &Parser::parseNot); }

    NodePtr parseNot()
    {
        if (isKeyword(peek(), "not")) {
            if (!nest(peek()))
                return nullptr;
            auto node = std::make_unique<Node>();
            node->kind = Node::Kind::Not;
            node->position = next().position;
            node->left = parseNot();
            return error ? nullptr : std::move(node);
        }
        return parseCondition();
    }

    NodePtr parseCondition()
    {
        if (peek().type == Token::Type::LParen) {
            if (!nest(peek()))
                return nullptr;
            next();
            NodePtr inner = parseOr();
            if (error)
                return nullptr;
            if (peek().type != Token::Type::RParen)
                return fail(peek().position, QStringLiteral("ожидается «)»"));
            next();
            return inner;
        }
        auto node = std::make_unique<Node>();
        node->position = peek().position;
        if (!parseOperand(node->a))
            return nullptr;
        const Token &t = peek();
        if (t.type == Token::Type::Op) {
            node->kind = Node::Kind::Compare;
            node->op = compareOp(next().text);
            node->position = t.position;
            if (!parseOperand(node->b))
                return nullptr;
        } else if (isKeyword(t, "is")) {
            node->kind = Node::Kind::IsNull;
            node->position = next().position;
            if (isKeyword(peek(), "not")) {
                next();
                node->negated = true;
            }
            if (!isKeyword(peek(), "null"))
                return fail(peek().position, QStringLiteral("ожидается NULL"));
            next();
        } else if (isKeyword(t, "like") || (isKeyword(t, "not") && isKeyword(peek(1), "like"))) {
            node->kind = Node::Kind::Like;
            node->position = t.position;
            if (isKeyword(next(), "not")) {
                node->negated = true;
                next();
            }
            if (!parseOperand(node->b))
                return nullptr;
        } else {
            node->kind = Node::Kind::Single;
        }
        return node;
    }

    static CompareOp compareOp(const QString &op)
    {
        if (op == QLatin1String("<>"))
            return CompareOp::Ne;
        if (op == QLatin1String("<"))
            return CompareOp::Lt;
        if (op == QLatin1String("<="))
            return CompareOp::Le;
        if (op == QLatin1String(">"))
            return CompareOp::Gt;
        if (op == QLatin1String(">="))
            return CompareOp::Ge;
        return CompareOp::Eq;
    }

    bool parseNumber(Operand &out, bool negative)
    {
        const Token &t = next();
        QString s = t.text;
        s.replace(QLatin1Char(','), QLatin1Char('.'));
        if (negative)
            s.prepend(QLatin1Char('-'));
        bool ok = false;
        out.kind = Operand::Kind::Number;
        out.integer = s.toLongLong(&ok);
        out.isInteger = ok;
        out.number = QLocale::c().toDouble(s, &ok);
        if (!ok) {
            fail(t.position, QStringLiteral("неверно записано число"));
            return false;
        }
        return true;
    }

    bool parseOperand(Operand &out)
    {
        const Token &t = peek();
        out.position = t.position;
        switch (t.type) {
        case Token::Type::Number: return parseNumber(out, false);
        case Token::Type::Minus:
            next();
            if (peek().type != Token::Type::Number) {
                fail(peek().position, QStringLiteral("ожидается число"));
                return false;
            }
            return parseNumber(out, true);
        case Token::Type::Text:
            out.kind = Operand::Kind::Text;
            out.text = next().text;
            return true;
        case Token::Type::Ident: return parseNamedOperand(out);
        case Token::Type::End:
            fail(t.position, QStringLiteral("условие не закончено"));
            return false;
        default: fail(t.position, QStringLiteral("ожидается поле, число или текст")); return false;
        }
    }

    bool parseNamedOperand(Operand &out)
    {
        const Token &t = next();
        if (isKeyword(t, "true") || isKeyword(t, "false")) {
            out.kind = Operand::Kind::Boolean;
            out.boolean = isKeyword(t, "true");
            return true;
        }
        for (const char *reserved : {"and", "or", "not", "is", "null", "like"}) {
            if (isKeyword(t, reserved)) {
                fail(t.position, QStringLiteral("ожидается поле, число или текст"));
                return false;
            }
        }
        if (peek().type != Token::Type::LParen) {
            out.kind = Operand::Kind::Field;
            out.text = t.text;
            return true;
        }
        next(); // (
        if (isKeyword(t, "getdate")) {
            out.kind = Operand::Kind::GetDate;
        } else if (isKeyword(t, "date")) {
            if (!nest(t))
                return false;
            out.kind = Operand::Kind::DateOf;
            out.argument = std::make_shared<Operand>();
            if (!parseOperand(*out.argument))
                return false;
        } else {
            fail(t.position, QStringLiteral("неизвестная функция «%1»").arg(t.text));
            return false;
        }
        if (peek().type != Token::Type::RParen) {
            fail(peek().position, QStringLiteral("ожидается «)»"));
            return false;
        }
        next();
        return true;
    }

    static constexpr int kMaxNesting = 32;

    std::vector<Token> tokens;
    std::size_t pos = 0;
    int nesting = 0;
    std::optional<FilterError> error;
};

} // namespace

std::variant<NodePtr, FilterError> parse(const QString &filter)
{
    if (filter.trimmed().isEmpty())
        return NodePtr{};
    auto lexed = Lexer(filter).run();
    if (auto *err = std::get_if<FilterError>(&lexed))
        return *err;
    return Parser(std::move(std::get<std::vector<Token>>(lexed))).run();
}

} // namespace filter
} // namespace kront
