#include "sensors/CellInputRule.h"

#include "common/Cp1251.h"

namespace kront
{

bool IsAlwaysPassingKey(QChar ch)
{
    const char16_t c = ch.unicode();
    return c == 8 || c == 9 || c == 13 || c == 27;
}

namespace
{

bool isNumberChar(QChar ch)
{
    return (ch >= u'0' && ch <= u'9') || ch == u',' || ch == u'.' || ch == u'-' || ch == u'E' ||
           ch == u'e' || ch == u'Е' || ch == u'е';
}

bool matchesClass(const CellInputRule &rule, QChar ch)
{
    switch (rule.chars) {
    case CellInputRule::Chars::Any: return !ch.isNull();
    case CellInputRule::Chars::Text:
        return !ch.isNull() && ch != u'|' && Cp1251::canEncode(QString(ch));
    case CellInputRule::Chars::Digits: return ch >= u'0' && ch <= u'9';
    case CellInputRule::Chars::Set: return rule.set.contains(ch);
    case CellInputRule::Chars::Number: return isNumberChar(ch);
    case CellInputRule::Chars::None: return false;
    }
    return false;
}

} // namespace

bool AcceptsTypedChar(const CellInputRule &rule, const QString &kept, QChar ch)
{
    if (IsAlwaysPassingKey(ch))
        return true;
    if (!matchesClass(rule, ch))
        return false;
    return rule.maxLength <= 0 || kept.size() < rule.maxLength;
}

CellInputRule SensorCellRule(const SensorColumnInfo &column, bool referenceRow)
{
    using Chars = CellInputRule::Chars;
    switch (column.id) {
    case SensorColumn::Type: return {Chars::None, 0, {}};
    case SensorColumn::Year: return {Chars::Digits, column.maxLength, {}};
    case SensorColumn::Class:
        return {Chars::Set, 1, referenceRow ? QStringLiteral("0123") : QStringLiteral("123")};
    case SensorColumn::Rank: return {Chars::Set, 1, QStringLiteral("0123")};
    default: break;
    }
    if (IsSensorFloatColumn(column.id))
        return {Chars::Number, 0, {}};
    return {Chars::Text, column.maxLength, {}};
}

} // namespace kront
