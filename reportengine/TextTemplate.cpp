#include "reportengine/TextTemplate.h"

namespace kront::report
{

namespace
{

// Index of the "]" closing the bracket opened at `open`, skipping quoted
// texts; -1 when there is none.
int closingBracket(const QString &s, int open)
{
    bool inQuote = false;
    for (int i = open + 1; i < s.size(); ++i) {
        if (s[i] == u'\'')
            inQuote = !inQuote; // a doubled quote toggles twice
        else if (s[i] == u']' && !inQuote)
            return i;
    }
    return -1;
}

} // namespace

std::optional<TextTemplate> TextTemplate::parse(const QString &text, QString *error)
{
    TextTemplate t;
    t.text = text;
    QString literal;
    int i = 0;
    while (i < text.size()) {
        const int close = text[i] == u'[' ? closingBracket(text, i) : -1;
        if (close < 0) {
            literal += text[i++];
            continue;
        }
        const QString inner = text.mid(i + 1, close - i - 1);
        if (inner.trimmed().isEmpty()) {
            literal += text.mid(i, close - i + 1);
            i = close + 1;
            continue;
        }
        QString message;
        auto expr = Expression::parse(inner, &message);
        if (!expr) {
            if (error)
                *error = QStringLiteral("ошибка в выражении [%1]: %2").arg(inner, message);
            return std::nullopt;
        }
        if (!literal.isEmpty())
            t.segments.push_back({literal, std::nullopt});
        literal.clear();
        t.segments.push_back({QString(), std::move(expr)});
        i = close + 1;
    }
    if (!literal.isEmpty())
        t.segments.push_back({literal, std::nullopt});
    return t;
}

QString TextTemplate::evaluate(const NameResolver &resolve) const
{
    QString out;
    for (const Segment &s : segments)
        out += s.expression ? displayText(s.expression->evaluate(resolve)) : s.literal;
    return out;
}

QStringList TextTemplate::names() const
{
    QStringList out;
    for (const Segment &s : segments)
        if (s.expression)
            out << s.expression->names();
    return out;
}

} // namespace kront::report
