#include "metrology/NSHCalculator.h"

#include <gtest/gtest.h>

namespace kront
{
namespace
{

struct CommandRun {
    int code;
    QString out;
    QString err;
};

CommandRun run(int (*command)(const QStringList &, QTextStream &, QTextStream &), QStringList args)
{
    CommandRun r;
    QTextStream out(&r.out);
    QTextStream err(&r.err);
    r.code = command(args, out, err);
    out.flush();
    err.flush();
    return r;
}

TEST(NSHCalculator, TypeByIndexOrLetter)
{
    const struct {
        const char *text;
        int index;
    } cases[] = {{"0", 0},    {"12", 12},  {"R", 0},    {"k", 6},   {"A-1", 8},
                 {"a-3", 10}, {"M", 12},   {" L ", 11}, {"13", -1}, {"-1", -1},
                 {"A", -1},   {"ТХА", -1}, {"", -1}};
    for (const auto &c : cases)
        EXPECT_EQ(CharacteristicIndexFromArgument(QString::fromUtf8(c.text)), c.index) << c.text;
}

TEST(NSHCalculator, NshPrintsOneLinePerTemperatureWithSixDecimals)
{
    const CommandRun r = run(NshCalculatorCommand, {"K", "0", "100", "1372,5", "-270"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.toStdString(), "0,000000\n4,096230\n-300,000000\n-6,457738\n");
    EXPECT_TRUE(r.err.isEmpty());
}

TEST(NSHCalculator, DotOptionAnywhere)
{
    EXPECT_EQ(run(NshCalculatorCommand, {"--dot", "S", "1064.18"}).out.toStdString(),
              "10.334204\n");
    EXPECT_EQ(run(NshCalculatorCommand, {"S", "1064,18", "--dot"}).out.toStdString(),
              "10.334204\n");
    EXPECT_EQ(run(NshCalculatorCommand, {"13"}).code, 2);
}

TEST(NSHCalculator, TolerancePrintsDegreesThenMillivolts)
{
    const CommandRun r = run(ToleranceCalculatorCommand, {"K", "2", "500"});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out.toStdString(), "3,750000\n0,159856\n");
    EXPECT_EQ(run(ToleranceCalculatorCommand, {"J", "2", "-20", "--dot"}).out.toStdString(),
              "0.000000\n0.000000\n");
}

TEST(NSHCalculator, WrongArgumentsAreExplainedAndGiveCode2)
{
    const QList<QStringList> nsh = {{}, {"K"}, {"X", "100"}, {"K", "сто"}, {"K", "1e"}};
    for (const QStringList &args : nsh) {
        const CommandRun r = run(NshCalculatorCommand, args);
        EXPECT_EQ(r.code, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty());
        EXPECT_FALSE(r.err.isEmpty());
    }
    const QList<QStringList> tolerance = {
        {"K", "2"}, {"K", "4", "100"}, {"K", "0", "100"}, {"K", "2", "x"}, {"K", "2", "1", "2"}};
    for (const QStringList &args : tolerance)
        EXPECT_EQ(run(ToleranceCalculatorCommand, args).code, 2) << args.join(' ').toStdString();
}

TEST(NSHCalculator, HelpIsInRussian)
{
    const QString help = NSHCalculatorHelp();
    EXPECT_TRUE(help.contains("kront-cli nsh ТИП T [T ...]"));
    EXPECT_TRUE(help.contains("--dot"));
    EXPECT_TRUE(help.contains("-300,000000"));
}

} // namespace
} // namespace kront
