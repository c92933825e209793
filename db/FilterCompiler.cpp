#include "db/FilterCompiler.h"

#include "db/FieldValue.h"

#include <optional>

namespace kront
{

namespace
{

using filter::CompareOp;
using filter::Node;
using filter::Operand;

struct Term {
    enum class Type {
        TextField,
        NumField,
        BoolField,
        DateTimeField,
        DateOfField, // Date(<date-time field>)
        TextConst,
        NumConst,
        BoolConst,
        DateTimeConst,
        DateConst
    };
    Type type = Type::NumConst;
    int position = 0;
    QString column;      // quoted column name of a field
    bool isReal = false; // a floating-point field
    QString text;
    double number = 0;
    bool isInteger = false;
    qint64 integer = 0;
    QDateTime dateTime;
    QDate date;

    bool isField() const { return type <= Type::DateOfField; }
    bool isNumeric() const
    {
        return type == Type::NumField || type == Type::BoolField || type == Type::NumConst ||
               type == Type::BoolConst;
    }
};

CompareOp mirrored(CompareOp op)
{
    switch (op) {
    case CompareOp::Lt: return CompareOp::Gt;
    case CompareOp::Le: return CompareOp::Ge;
    case CompareOp::Gt: return CompareOp::Lt;
    case CompareOp::Ge: return CompareOp::Le;
    default: return op;
    }
}

const char *sqlOp(CompareOp op)
{
    switch (op) {
    case CompareOp::Eq: return "=";
    case CompareOp::Ne: return "<>";
    case CompareOp::Lt: return "<";
    case CompareOp::Le: return "<=";
    case CompareOp::Gt: return ">";
    case CompareOp::Ge: return ">=";
    }
    return "=";
}

template <typename V> bool holds(CompareOp op, const V &a, const V &b)
{
    switch (op) {
    case CompareOp::Eq: return a == b;
    case CompareOp::Ne: return a != b;
    case CompareOp::Lt: return a < b;
    case CompareOp::Le: return a <= b;
    case CompareOp::Gt: return a > b;
    case CompareOp::Ge: return a >= b;
    }
    return false;
}

std::optional<QDate> dateInText(const QString &text)
{
    const QDate d = QDate::fromString(text.trimmed(), QStringLiteral("dd.MM.yyyy"));
    return d.isValid() ? std::optional<QDate>(d) : std::nullopt;
}

std::optional<QDateTime> dateTimeInText(const QString &text)
{
    const QString s = text.trimmed();
    for (const char *f : {"dd.MM.yyyy HH:mm:ss", "dd.MM.yyyy HH:mm", "dd.MM.yyyy"}) {
        const QDateTime dt = QDateTime::fromString(s, QString::fromLatin1(f));
        if (dt.isValid())
            return dt;
    }
    return std::nullopt;
}

// "%" of LIKE becomes "*" of GLOB (case-sensitive); GLOB's own special
// characters are taken literally.
QString globPattern(const QString &like)
{
    QString out;
    for (const QChar c : like) {
        if (c == u'%')
            out += u'*';
        else if (c == u'*' || c == u'?' || c == u'[')
            out += QLatin1Char('[') + c + QLatin1Char(']');
        else
            out += c;
    }
    return out;
}

// The escape character of the server's LIKE patterns.
constexpr char16_t kLikeEscape = u'\\';

// The same pattern for the server's LIKE (case-sensitive there): "%" keeps
// its meaning, "_" and the escape character itself are taken literally.
QString serverLikePattern(const QString &like)
{
    QString out;
    for (const QChar c : like) {
        if (c == u'_' || c == kLikeEscape)
            out += QChar(kLikeEscape);
        out += c;
    }
    return out;
}

class Compiler
{
public:
    Compiler(const TableSchema &s, const QDateTime &n, SqlDialect d) : schema(s), now(n), dialect(d)
    {
    }

    std::optional<FilterError> error;
    std::vector<sqlite::Value> params;

    QString node(const Node &n)
    {
        if (error)
            return {};
        switch (n.kind) {
        case Node::Kind::Or: return QStringLiteral("(%1 OR %2)").arg(node(*n.left), node(*n.right));
        case Node::Kind::And:
            return QStringLiteral("(%1 AND %2)").arg(node(*n.left), node(*n.right));
        case Node::Kind::Not: return QStringLiteral("(NOT %1)").arg(node(*n.left));
        case Node::Kind::Compare: return compare(n);
        case Node::Kind::Like: return like(n);
        case Node::Kind::IsNull: return isNull(n);
        case Node::Kind::Single: return single(n);
        }
        return {};
    }

private:
    const TableSchema &schema;
    QDateTime now;
    SqlDialect dialect;

    bool server() const { return dialect == SqlDialect::Server; }

    QString fail(int position, const QString &message)
    {
        if (!error)
            error = FilterError{position, message};
        return QStringLiteral("0");
    }

    QString bind(sqlite::Value v)
    {
        params.push_back(std::move(v));
        return QStringLiteral("?%1").arg(params.size());
    }

    QString bindNumber(const Term &t)
    {
        if (t.type == Term::Type::BoolConst)
            return bind(qint64(t.integer));
        return t.isInteger ? bind(t.integer) : bind(t.number);
    }

    std::optional<Term> term(const Operand &o)
    {
        Term t;
        t.position = o.position;
        switch (o.kind) {
        case Operand::Kind::Field: return fieldTerm(o);
        case Operand::Kind::Number:
            t.type = Term::Type::NumConst;
            t.number = o.number;
            t.isInteger = o.isInteger;
            t.integer = o.integer;
            return t;
        case Operand::Kind::Text:
            t.type = Term::Type::TextConst;
            t.text = o.text;
            return t;
        case Operand::Kind::Boolean:
            t.type = Term::Type::BoolConst;
            t.integer = o.boolean ? 1 : 0;
            t.number = double(t.integer);
            t.isInteger = true;
            return t;
        case Operand::Kind::GetDate:
            t.type = Term::Type::DateTimeConst;
            t.dateTime = now;
            return t;
        case Operand::Kind::DateOf: return dateOfTerm(o);
        }
        return std::nullopt;
    }

    std::optional<Term> fieldTerm(const Operand &o)
    {
        const int index = schema.fieldIndex(o.text);
        if (index < 0) {
            fail(o.position,
                 QStringLiteral("в таблице %1 нет поля «%2»").arg(schema.tableName(), o.text));
            return std::nullopt;
        }
        Term t;
        t.position = o.position;
        t.column = sqlite::quoteIdentifier(schema.fieldName(index));
        switch (schema.fields[index].type) {
        case FieldType::Text:
        case FieldType::Memo: t.type = Term::Type::TextField; break;
        case FieldType::Boolean: t.type = Term::Type::BoolField; break;
        case FieldType::DateTime: t.type = Term::Type::DateTimeField; break;
        default:
            t.type = Term::Type::NumField;
            t.isReal = schema.fields[index].type == FieldType::Float;
            break;
        }
        return t;
    }

    std::optional<Term> dateOfTerm(const Operand &o)
    {
        auto inner = term(*o.argument);
        if (!inner)
            return std::nullopt;
        Term t = *inner;
        t.position = o.position;
        if (inner->type == Term::Type::DateTimeField) {
            t.type = Term::Type::DateOfField;
            return t;
        }
        t.type = Term::Type::DateConst;
        if (inner->type == Term::Type::DateTimeConst) {
            t.date = inner->dateTime.date();
            return t;
        }
        if (inner->type == Term::Type::TextConst) {
            if (const auto d = dateInText(inner->text)) {
                t.date = *d;
                return t;
            }
        }
        fail(o.argument->position,
             QStringLiteral("Date() принимает поле даты и времени, GetDate() или дату дд.мм.гггг"));
        return std::nullopt;
    }

    QString mismatch(const Term &at)
    {
        return fail(at.position, QStringLiteral("несравнимые значения"));
    }

    QString compare(const Node &n)
    {
        auto a = term(n.a);
        auto b = a ? term(n.b) : std::nullopt;
        if (!a || !b)
            return QStringLiteral("0");
        CompareOp op = n.op;
        if (!a->isField() && b->isField()) {
            std::swap(*a, *b);
            op = mirrored(op);
        }
        if (!a->isField())
            return constants(*a, op, *b);
        switch (a->type) {
        case Term::Type::TextField: return textField(*a, op, *b);
        case Term::Type::NumField:
        case Term::Type::BoolField: return numField(*a, op, *b);
        case Term::Type::DateTimeField: return dateTimeField(*a, op, *b);
        default: return dateOfField(*a, op, *b);
        }
    }

    QString plain(const Term &a, CompareOp op, const QString &rhs)
    {
        return QStringLiteral("(%1 %2 %3)").arg(a.column, QLatin1String(sqlOp(op)), rhs);
    }

    // Text against a number: numeric when the text is a number, otherwise
    // unequal (so "<>" holds and every other comparison fails); null stays null.
    QString textAgainstNumber(const QString &textExpr, CompareOp op, const QString &numberExpr,
                              bool numberIsBound)
    {
        if (server() && numberIsBound) {
            // A bound number is never null: a null comparison means the text
            // holds no number, and the server reads the text once per row.
            return QStringLiteral("(CASE WHEN %1 IS NULL THEN NULL ELSE COALESCE(kront_num(%1) %2 "
                                  "%3, %4) END)")
                .arg(textExpr, QLatin1String(sqlOp(op)), numberExpr, truth(op == CompareOp::Ne));
        }
        const QString num = QStringLiteral("kront_num(%1)").arg(textExpr);
        return QStringLiteral("(CASE WHEN %1 IS NULL THEN NULL WHEN %2 IS NULL THEN %3 ELSE %2 "
                              "%4 %5 END)")
            .arg(textExpr, num, truth(op == CompareOp::Ne), QLatin1String(sqlOp(op)), numberExpr);
    }

    QString textField(const Term &a, CompareOp op, const Term &b)
    {
        switch (b.type) {
        case Term::Type::TextConst: return plain(a, op, bind(b.text));
        case Term::Type::TextField: return plain(a, op, b.column);
        case Term::Type::NumConst: return textAgainstNumber(a.column, op, bindNumber(b), true);
        case Term::Type::NumField:
        case Term::Type::BoolField: return textAgainstNumber(a.column, op, b.column, false);
        default: return mismatch(b);
        }
    }

    QString numField(const Term &a, CompareOp op, const Term &b)
    {
        switch (b.type) {
        case Term::Type::NumConst:
        case Term::Type::BoolConst: return plain(a, op, bindNumber(b));
        case Term::Type::NumField:
        case Term::Type::BoolField: return plain(a, op, b.column);
        case Term::Type::TextField:
            return textAgainstNumber(b.column, mirrored(op), a.column, false);
        case Term::Type::TextConst: {
            if (a.type == Term::Type::BoolField) {
                const QString s = b.text.trimmed().toLower();
                if (s == QLatin1String("true") || s == QLatin1String("false"))
                    return plain(a, op, bind(qint64(s == QLatin1String("true") ? 1 : 0)));
            }
            if (const auto v = numberInText(b.text))
                return plain(a, op, bind(*v));
            return QStringLiteral("(CASE WHEN %1 IS NULL THEN NULL ELSE %2 END)")
                .arg(a.column, truth(op == CompareOp::Ne));
        }
        default: return mismatch(b);
        }
    }

    QString dateTimeField(const Term &a, CompareOp op, const Term &b)
    {
        switch (b.type) {
        case Term::Type::DateTimeField: return plain(a, op, b.column);
        case Term::Type::DateTimeConst: return plain(a, op, bind(storedDateTimeText(b.dateTime)));
        case Term::Type::DateConst:
            return plain(a, op, bind(storedDateTimeText(b.date.startOfDay())));
        case Term::Type::TextConst: {
            const auto dt = dateTimeInText(b.text);
            if (!dt)
                return fail(b.position, QStringLiteral("ожидается дата дд.мм.гггг"));
            return plain(a, op, bind(storedDateTimeText(*dt)));
        }
        default: return mismatch(b);
        }
    }

    QString dateOfField(const Term &a, CompareOp op, const Term &b)
    {
        QDate d;
        switch (b.type) {
        case Term::Type::DateOfField:
            return QStringLiteral("(substr(%1, 1, 10) %2 substr(%3, 1, 10))")
                .arg(a.column, QLatin1String(sqlOp(op)), b.column);
        case Term::Type::DateConst: d = b.date; break;
        case Term::Type::DateTimeConst: d = b.dateTime.date(); break;
        case Term::Type::TextConst: {
            const auto parsed = dateInText(b.text);
            if (!parsed)
                return fail(b.position, QStringLiteral("ожидается дата дд.мм.гггг"));
            d = *parsed;
            break;
        }
        default: return mismatch(b);
        }
        return dateRange(a.column, op, d);
    }

    // Date(field) against a calendar date as a range on the stored text, so
    // that the field's index serves the query.
    QString dateRange(const QString &column, CompareOp op, const QDate &d)
    {
        const QString day = d.toString(QStringLiteral("yyyy-MM-dd"));
        const QString nextDay = d.addDays(1).toString(QStringLiteral("yyyy-MM-dd"));
        switch (op) {
        case CompareOp::Eq:
            return QStringLiteral("(%1 >= %2 AND %1 < %3)").arg(column, bind(day), bind(nextDay));
        case CompareOp::Ne:
            return QStringLiteral("(%1 < %2 OR %1 >= %3)").arg(column, bind(day), bind(nextDay));
        case CompareOp::Lt: return QStringLiteral("(%1 < %2)").arg(column, bind(day));
        case CompareOp::Le: return QStringLiteral("(%1 < %2)").arg(column, bind(nextDay));
        case CompareOp::Gt: return QStringLiteral("(%1 >= %2)").arg(column, bind(nextDay));
        case CompareOp::Ge: return QStringLiteral("(%1 >= %2)").arg(column, bind(day));
        }
        return truth(false);
    }

    QString truth(bool v) const
    {
        if (server())
            return v ? QStringLiteral("TRUE") : QStringLiteral("FALSE");
        return v ? QStringLiteral("1") : QStringLiteral("0");
    }

    QString constants(const Term &a, CompareOp op, const Term &b)
    {
        using Ty = Term::Type;
        if (a.isNumeric() && b.isNumeric())
            return truth(holds(op, a.number, b.number));
        if (a.type == Ty::TextConst && b.type == Ty::TextConst)
            return truth(holds(op, a.text, b.text));
        if ((a.type == Ty::TextConst && b.type == Ty::NumConst) ||
            (a.type == Ty::NumConst && b.type == Ty::TextConst)) {
            const Term &t = a.type == Ty::TextConst ? a : b;
            const Term &n = a.type == Ty::NumConst ? a : b;
            const CompareOp o = a.type == Ty::TextConst ? op : mirrored(op);
            const auto v = numberInText(t.text);
            if (!v)
                return truth(o == CompareOp::Ne);
            return truth(holds(o, *v, n.number));
        }
        const auto asDate = [](const Term &t) -> std::optional<QDate> {
            if (t.type == Ty::DateConst)
                return t.date;
            if (t.type == Ty::DateTimeConst)
                return t.dateTime.date();
            if (t.type == Ty::TextConst)
                return dateInText(t.text);
            return std::nullopt;
        };
        if (a.type == Ty::DateConst || b.type == Ty::DateConst) {
            const auto da = asDate(a), db = asDate(b);
            if (!da)
                return fail(a.position, QStringLiteral("ожидается дата дд.мм.гггг"));
            if (!db)
                return fail(b.position, QStringLiteral("ожидается дата дд.мм.гггг"));
            return truth(holds(op, *da, *db));
        }
        if (a.type == Ty::DateTimeConst || b.type == Ty::DateTimeConst) {
            const Term &other = a.type == Ty::DateTimeConst ? b : a;
            std::optional<QDateTime> dt =
                other.type == Ty::DateTimeConst
                    ? std::optional<QDateTime>(other.dateTime)
                    : (other.type == Ty::TextConst ? dateTimeInText(other.text) : std::nullopt);
            if (!dt)
                return mismatch(other);
            const QDateTime &l = a.type == Ty::DateTimeConst ? a.dateTime : *dt;
            const QDateTime &r = a.type == Ty::DateTimeConst ? *dt : b.dateTime;
            return truth(holds(op, l, r));
        }
        return mismatch(b);
    }

    QString like(const Node &n)
    {
        auto a = term(n.a);
        auto b = a ? term(n.b) : std::nullopt;
        if (!a || !b)
            return QStringLiteral("0");
        if (!a->isField() || a->type == Term::Type::DateOfField)
            return fail(a->position, QStringLiteral("слева от LIKE ожидается поле"));
        if (b->type != Term::Type::TextConst)
            return fail(b->position, QStringLiteral("справа от LIKE ожидается текст в кавычках"));
        const QString negation = n.negated ? QStringLiteral("NOT ") : QString();
        if (!server())
            return QStringLiteral("(%1 %2GLOB %3)")
                .arg(a->column, negation, bind(globPattern(b->text)));
        const QString pattern = bind(serverLikePattern(b->text));
        return QStringLiteral("(%1 %2LIKE %3 ESCAPE %4)")
            .arg(serverText(*a), negation, pattern, bind(QString(QChar(kLikeEscape))));
    }

    // A field as the text LIKE matches on the server: the text the embedded
    // store makes of the same value (integers and 0/1 as digits, floating
    // values as it writes them).
    QString serverText(const Term &field) const
    {
        if (field.type != Term::Type::NumField && field.type != Term::Type::BoolField)
            return field.column;
        if (field.isReal)
            return QStringLiteral("kront_real_text(%1)").arg(field.column);
        return QStringLiteral("CAST(%1 AS text)").arg(field.column);
    }

    QString isNull(const Node &n)
    {
        auto a = term(n.a);
        if (!a)
            return QStringLiteral("0");
        if (!a->isField())
            return truth(n.negated); // a literal is never null
        return QStringLiteral("(%1 IS %2NULL)")
            .arg(a->column, n.negated ? QStringLiteral("NOT ") : QString());
    }

    QString single(const Node &n)
    {
        auto a = term(n.a);
        if (!a)
            return QStringLiteral("0");
        if (a->type == Term::Type::BoolConst)
            return truth(a->integer != 0);
        if (a->type == Term::Type::BoolField)
            return QStringLiteral("(%1 <> 0)").arg(a->column);
        return fail(n.position, QStringLiteral("ожидается сравнение"));
    }
};

} // namespace

std::variant<SqlFilter, FilterError> compileFilter(const QString &filter, const TableSchema &schema,
                                                   const QDateTime &now, SqlDialect dialect)
{
    auto parsed = filter::parse(filter);
    if (auto *err = std::get_if<FilterError>(&parsed))
        return *err;
    const auto &root = std::get<filter::NodePtr>(parsed);
    SqlFilter out;
    if (!root)
        return out;
    Compiler c(schema, now, dialect);
    QString where = c.node(*root);
    if (c.error)
        return *c.error;
    out.where = std::move(where);
    out.params = std::move(c.params);
    return out;
}

} // namespace kront
