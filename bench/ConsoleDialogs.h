#pragma once

#include "common/Dialogs.h"

#include <cstdio>

namespace kront::bench
{

// Dialogs for the benchmark program: every message goes to stderr and is
// counted, questions are answered No, inputs and file dialogs cancelled.
class ConsoleDialogs : public Dialogs
{
public:
    Answer message(const QString &, Icon, const QString &text, Buttons) override
    {
        ++shown;
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        return Answer::No;
    }
    std::optional<QString> input(const QString &, const QString &, const QString &) override
    {
        return std::nullopt;
    }
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &,
                         const QString &) override
    {
        return {};
    }

    int shown = 0;
};

} // namespace kront::bench
