#pragma once

#include "common/Dialogs.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <optional>
#include <vector>

namespace kront::test
{

// Records every dialog that core logic shows and answers from a queue.
// Without a queued answer a message gets its default (Ok / Yes for Yes/No
// when defaultYes, otherwise No / Cancel) and an input gets its preset.
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown {
        QString kind; // "message", "input", "open", "save"
        QString caption;
        Icon icon = Icon::None;
        QString text;
        Buttons buttons = Buttons::Ok;
    };

    Answer message(const QString &caption, Icon icon, const QString &text,
                   Buttons buttons) override;
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &preset) override;
    QString openFileName(const QString &caption, const QString &dir,
                         const QString &filter) override;
    QString saveFileName(const QString &caption, const QString &dir, const QString &filter,
                         const QString &defaultSuffix) override;

    void queueAnswer(Answer a) { answers.push_back(a); }
    void queueInput(std::optional<QString> text) { inputs.push_back(std::move(text)); }
    void queueFileName(const QString &name) { fileNames.push_back(name); }

    QStringList texts() const; // texts of all shown dialogs, in order
    const Shown &last() const { return shown.back(); }
    void clear() { shown.clear(); }

    std::vector<Shown> shown;
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> inputs;
    std::deque<QString> fileNames;
    bool defaultYes = false;
};

} // namespace kront::test
