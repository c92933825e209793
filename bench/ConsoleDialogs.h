#pragma once

#include "common/UnattendedDialogs.h"

#include <cstdio>

namespace kront::bench
{

// Dialogs for the benchmark program: every message goes to stderr and is
// counted, questions are answered No, inputs and file dialogs cancelled.
class ConsoleDialogs : public UnattendedDialogs
{
public:
    int shown = 0;

protected:
    void note(Icon, const QString &text) override
    {
        ++shown;
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
    }
};

} // namespace kront::bench
