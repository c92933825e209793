#include "tools/kront-cli/Commands.h"

#include <algorithm>

namespace kront::cli
{

namespace
{
std::vector<Command> &registry()
{
    static std::vector<Command> list; // filled during static initialisation
    return list;
}
} // namespace

bool registerCommand(const QString &name, const QString &usage, CommandFn run)
{
    auto &list = registry();
    list.push_back({name, usage, run});
    std::sort(list.begin(), list.end(),
              [](const Command &a, const Command &b) { return a.name < b.name; });
    return true;
}

const Command *findCommand(const QString &name)
{
    for (const Command &c : registry()) {
        if (c.name == name)
            return &c;
    }
    return nullptr;
}

const std::vector<Command> &commands()
{
    return registry();
}

} // namespace kront::cli
