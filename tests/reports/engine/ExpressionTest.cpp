#include "reportengine/Expression.h"
#include "reportengine/TextTemplate.h"

#include <QMap>
#include <gtest/gtest.h>

using namespace kront::report;

namespace
{

QVariant lookup(const QString &name)
{
    static const QMap<QString, QVariant> values = {
        {"NUM", QString("0007")}, {"FLAG", true}, {"N", 2.5}, {"EMPTY", QString()}};
    return values.value(name);
}

QString eval(const QString &text)
{
    QString error;
    const auto e = Expression::parse(text, &error);
    EXPECT_TRUE(e.has_value()) << text.toStdString() << ": " << error.toStdString();
    return e ? displayText(e->evaluate(lookup)) : QString();
}

} // namespace

TEST(ReportExpression, EvaluatesLiteralsNamesAndOperators)
{
    const struct {
        const char *expr;
        const char *shown;
    } cases[] = {
        {"'текст'", "текст"},
        {"'О''Брайен'", "О'Брайен"},
        {"''", ""},
        {"", ""},
        {"True", "True"},
        {"false", "False"},
        {"12.5", "12,5"},
        {"NUM", "0007"},
        {"num", ""}, // names are passed to the resolver as written; this one answers upper case
        {"UNKNOWN", ""},
        {"'№ ' + NUM", "№ 0007"},
        {"N + 1", "3,5"},
        {"NUM + 1", "00071"},
        {"NUM = '0007'", "True"},
        {"N = 2.5", "True"},
        {"N <> 2.5", "False"},
        {"not FLAG", "False"},
        {"FLAG and EMPTY", "False"},
        {"FLAG or EMPTY", "True"},
        {"not (FLAG and not FLAG)", "True"},
        {"FLAG = True", "True"},
        {"'a]b'", "a]b"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(eval(QString::fromUtf8(c.expr)), QString::fromUtf8(c.shown)) << c.expr;
}

TEST(ReportExpression, RejectsMalformedTexts)
{
    for (const char *bad : {"'open", "1 +", "(1", "a b", "and", "'x' 'y'", "a $ b", "NUM = "}) {
        QString error;
        EXPECT_FALSE(Expression::parse(QString::fromUtf8(bad), &error).has_value()) << bad;
        EXPECT_FALSE(error.isEmpty()) << bad;
    }
    const QString deep = QString(100000, u'(') + "1" + QString(100000, u')');
    EXPECT_FALSE(Expression::parse(deep).has_value());
    EXPECT_FALSE(Expression::parse(QString(100000, u'+')).has_value());
    EXPECT_FALSE(Expression::parse("not " + QString("not ").repeated(50000) + "True").has_value());
}

TEST(ReportExpression, QuotingRoundTripsAnyText)
{
    for (const char *text : {"", "0007", "12А", "О'Брайен", "''", " пробелы "}) {
        const QString s = QString::fromUtf8(text);
        const QString q = quoted(s);
        EXPECT_EQ(eval(q), s) << text;
        EXPECT_EQ(unquoted(q), s) << text;
    }
    EXPECT_EQ(unquoted("  '0015'  "), "0015");
    EXPECT_EQ(unquoted("plain"), "plain");
}

TEST(ReportExpression, TruthOfValues)
{
    EXPECT_TRUE(truthValue(true));
    EXPECT_FALSE(truthValue(QString("False")));
    EXPECT_FALSE(truthValue(QString("0")));
    EXPECT_FALSE(truthValue(QString()));
    EXPECT_FALSE(truthValue(QVariant()));
    EXPECT_TRUE(truthValue(QString("ДО")));
    EXPECT_TRUE(truthValue(2.0));
    EXPECT_FALSE(truthValue(0.0));
}

TEST(ReportTextTemplate, ReplacesBracketsAndKeepsLooseBrackets)
{
    const struct {
        const char *text;
        const char *printed;
    } cases[] = {
        {"№ [NUM]", "№ 0007"},
        {"[NUM][NUM]", "00070007"},
        {"[ 'a' + NUM ]", "a0007"},
        {"без выражений", "без выражений"},
        {"открытая [скобка", "открытая [скобка"},
        {"пустые [] скобки", "пустые [] скобки"},
        {"['[']x]", "[x]"},
        {"[N] мм", "2,5 мм"},
    };
    for (const auto &c : cases) {
        QString error;
        const auto t = TextTemplate::parse(QString::fromUtf8(c.text), &error);
        ASSERT_TRUE(t.has_value()) << c.text << error.toStdString();
        EXPECT_EQ(t->evaluate(lookup), QString::fromUtf8(c.printed)) << c.text;
    }
    QString error;
    EXPECT_FALSE(TextTemplate::parse("Итог [1 +]", &error).has_value());
    EXPECT_TRUE(error.contains("[1 +]"));
}
