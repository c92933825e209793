#include "tests/support/ScriptedDialogs.h"

namespace kront::test
{

Dialogs::Answer ScriptedDialogs::message(const QString &caption, Icon icon, const QString &text,
                                         Buttons buttons)
{
    shown.push_back({QStringLiteral("message"), caption, icon, text, buttons});
    if (!answers.empty()) {
        const Answer a = answers.front();
        answers.pop_front();
        return a;
    }
    switch (buttons) {
    case Buttons::Ok: return Answer::Ok;
    case Buttons::OkCancel: return defaultYes ? Answer::Ok : Answer::Cancel;
    case Buttons::YesNo:
    case Buttons::YesNoCancel: return defaultYes ? Answer::Yes : Answer::No;
    }
    return Answer::Ok;
}

std::optional<QString> ScriptedDialogs::input(const QString &caption, const QString &prompt,
                                              const QString &preset)
{
    shown.push_back({QStringLiteral("input"), caption, Icon::None, prompt, Buttons::OkCancel});
    if (inputs.empty())
        return preset;
    // Read as text and flag: copying the queued optional itself trips a false
    // -Wmaybe-uninitialized in GCC 12's optimiser.
    const bool cancelled = !inputs.front().has_value();
    const QString text = inputs.front().value_or(QString());
    inputs.pop_front();
    if (cancelled)
        return std::nullopt;
    return text;
}

QString ScriptedDialogs::openFileName(const QString &caption, const QString &, const QString &)
{
    shown.push_back({QStringLiteral("open"), caption, Icon::None, QString(), Buttons::OkCancel});
    if (fileNames.empty())
        return QString();
    QString n = fileNames.front();
    fileNames.pop_front();
    return n;
}

QString ScriptedDialogs::saveFileName(const QString &caption, const QString &, const QString &,
                                      const QString &)
{
    shown.push_back({QStringLiteral("save"), caption, Icon::None, QString(), Buttons::OkCancel});
    if (fileNames.empty())
        return QString();
    QString n = fileNames.front();
    fileNames.pop_front();
    return n;
}

QStringList ScriptedDialogs::texts() const
{
    QStringList out;
    for (const auto &s : shown)
        out << s.text;
    return out;
}

} // namespace kront::test
