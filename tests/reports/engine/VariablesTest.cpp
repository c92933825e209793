#include "EngineTestSupport.h"
#include "reportengine/Report.h"

#include <gtest/gtest.h>

using namespace kront::report;
using kront::test::pageXml;
using kront::test::sheetTexts;

namespace
{

const QString kVariables = "<variables>"
                           "<variable name='PovName' value=\"''\"/>"
                           "<variable name='NUM_SVID' value=\"'0007'\"/>"
                           "<variable name='PRINTED' value='False'/>"
                           "<variable name='TITLE' value=\"'№ ' + NUM_SVID\"/>"
                           "<variable name='LOOP' value='LOOP'/>"
                           "</variables>";

const QString kMemo = "<band name='B' type='title' height='10'>"
                      "<text left='0' top='0' width='150' height='6'>[PovName]|[TITLE]|[ZAV_NUM]"
                      "</text></band>";

} // namespace

TEST(ReportVariables, ExpressionsRoundTripAndEvaluate)
{
    Report report;
    ASSERT_TRUE(report.loadFromData(pageXml(kMemo, {}, kVariables)));

    const struct {
        const char *name;
        QString expression;
        QString value; // as printed
    } cases[] = {
        {"PovName", quoted("О'Брайен А.Б."), "О'Брайен А.Б."},
        {"NUM_SVID", quoted("12А"), "12А"},
        {"num_svid", quoted(" 0015 "), " 0015 "},
        {"PRINTED", "True", "True"},
        {"PRINTED", "false", "False"},
        {"TITLE", "NUM_SVID + ' от ' + '01.02.2026'", " 0015  от 01.02.2026"},
        // set without doubling the inner quote: taken as the text inside the quotes
        {"PovName", "'О'Брайен'", "О'Брайен"},
        {"PovName", "Петров", ""}, // a name nobody answers
    };
    for (const auto &c : cases) {
        report.setVariable(c.name, c.expression);
        EXPECT_EQ(report.variableExpression(c.name).value_or("<none>"), c.expression) << c.name;
        EXPECT_EQ(displayText(report.variableValue(c.name)), c.value) << c.name;
    }
    EXPECT_EQ(report.variableNames().size(), 5); // set by any case, no duplicates

    report.setVariable("PRINTED", true);
    EXPECT_EQ(report.variableExpression("printed"), QString("True"));
    EXPECT_TRUE(truthValue(report.variableValue("PRINTED")));

    EXPECT_FALSE(report.hasVariable("NEW_ONE"));
    report.setVariable("NEW_ONE", quoted("x"));
    EXPECT_TRUE(report.hasVariable("new_one"));
    EXPECT_FALSE(report.variableExpression("NOT_DECLARED").has_value());
    EXPECT_FALSE(report.variableValue("NOT_DECLARED").isValid());

    EXPECT_EQ(displayText(report.variableValue("LOOP")), QString()); // refers to itself
}

TEST(ReportVariables, CallbackIsAskedFirstThenTheTemplateVariable)
{
    Report report;
    QStringList asked;
    bool answerPovName = false;
    report.setValueCallback([&](const QString &name) -> QVariant {
        asked << name;
        if (name == "ZAV_NUM")
            return QString("123/45");
        if (name == "PovName" && answerPovName)
            return QString("из программы");
        return {};
    });
    ASSERT_TRUE(report.loadFromData(pageXml(kMemo, {}, kVariables)));
    report.setVariable("PovName", quoted("Иванов И.И."));

    ASSERT_TRUE(report.prepare());
    EXPECT_EQ(sheetTexts(report), QString("Иванов И.И.|№ 0007|123/45\n\f"));
    for (const char *name : {"PovName", "TITLE", "NUM_SVID", "ZAV_NUM"})
        EXPECT_TRUE(asked.contains(name)) << name;
    EXPECT_TRUE(report.unknownNames().isEmpty());

    answerPovName = true;
    ASSERT_TRUE(report.prepare());
    EXPECT_TRUE(sheetTexts(report).startsWith("из программы|"));
}

TEST(ReportVariables, UnansweredUndeclaredNamesPrintEmptyAndAreListed)
{
    Report report;
    ASSERT_TRUE(report.loadFromData(pageXml(kMemo)));
    ASSERT_TRUE(report.prepare());
    EXPECT_EQ(sheetTexts(report), QString("||\n\f"));
    EXPECT_EQ(report.unknownNames(), QStringList({"PovName", "TITLE", "ZAV_NUM"}));
}

TEST(ReportVariables, ResetKeepsTheProgramsCallbackAndDataSets)
{
    Report report;
    report.setValueCallback([](const QString &n) -> QVariant {
        return n == "ZAV_NUM" ? QVariant(QString("7")) : QVariant();
    });
    report.userDataSet("frxUserDataSet1").setRecordCount(4);
    ASSERT_TRUE(report.loadFromData(pageXml(kMemo, {}, kVariables)));
    report.reset();
    EXPECT_FALSE(report.isLoaded());
    EXPECT_EQ(report.userDataSet("FRXUSERDATASET1").recordCount(), 4);
    ASSERT_TRUE(report.loadFromData(pageXml(kMemo)));
    ASSERT_TRUE(report.prepare());
    EXPECT_EQ(sheetTexts(report), QString("||7\n\f"));
}

TEST(ReportVariables, PrintActionsRunOnlyWhenNotified)
{
    Report report;
    ASSERT_TRUE(report.loadFromData(pageXml(
        kMemo, {}, kVariables + "<onPrint><set variable='PRINTED' value='True'/></onPrint>")));
    report.setVariable("PRINTED", false);
    ASSERT_TRUE(report.prepare());
    EXPECT_FALSE(truthValue(report.variableValue("PRINTED")));
    report.notifyPrinted();
    EXPECT_TRUE(truthValue(report.variableValue("PRINTED")));
}
