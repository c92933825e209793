#pragma once

#include <QString>
#include <QStringList>
#include <QTextStream>

#include <vector>

// The sub-commands of kront-cli. Each command lives in a file of its own in
// this folder and registers itself with one line at namespace scope:
//
//   KRONT_CLI_COMMAND("nsh", "nsh TYPE T      prints ...", runNshCommand);
//
// where runNshCommand(const QStringList &args, QTextStream &out, QTextStream &err)
// gets the words after the command name and returns the exit status.
namespace kront::cli
{

using CommandFn = int (*)(const QStringList &args, QTextStream &out, QTextStream &err);

struct Command {
    QString name;
    QString usage; // one or more lines for the usage text
    CommandFn run = nullptr;
};

bool registerCommand(const QString &name, const QString &usage, CommandFn run);
const Command *findCommand(const QString &name);
const std::vector<Command> &commands();

} // namespace kront::cli

#define KRONT_CLI_CONCAT2(a, b) a##b
#define KRONT_CLI_CONCAT(a, b) KRONT_CLI_CONCAT2(a, b)
#define KRONT_CLI_COMMAND(name, usage, fn)                                                         \
    static const bool KRONT_CLI_CONCAT(kront_cli_registered_, __LINE__) =                          \
        kront::cli::registerCommand(QStringLiteral(name), QStringLiteral(usage), fn)
