// kront-cli nsh|tolerance: the NSH and tolerance calculator of the lab
// engineer, on the very functions the verification uses.

#include "metrology/NSHCalculator.h"
#include "tools/kront-cli/Commands.h"

namespace kront::cli
{

namespace
{

bool wantsHelp(const QStringList &args)
{
    return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

int runNsh(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (wantsHelp(args)) {
        out << NSHCalculatorHelp();
        return 0;
    }
    return NshCalculatorCommand(args, out, err);
}

int runTolerance(const QStringList &args, QTextStream &out, QTextStream &err)
{
    if (wantsHelp(args)) {
        out << NSHCalculatorHelp();
        return 0;
    }
    return ToleranceCalculatorCommand(args, out, err);
}

} // namespace

KRONT_CLI_COMMAND("nsh", "nsh ТИП T [T ...] [--dot]     калькулятор: термо-ЭДС по НСХ, мВ (--help)",
                  runNsh);
KRONT_CLI_COMMAND("tolerance",
                  "tolerance ТИП КЛАСС T [--dot] калькулятор: допуск в °C и в мВ (--help)",
                  runTolerance);

} // namespace kront::cli
