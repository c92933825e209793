#pragma once

#include <QString>
#include <optional>

// Every message box, question, input box and file dialog that core logic
// needs goes through this interface. The window layer shows real modal
// dialogs; tests and the scenario harness answer from a script.
namespace kront
{

inline const QString kProgramTitle = QStringLiteral("Программа автоматизации КРОНТ");

class Dialogs
{
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum class Buttons { Ok, OkCancel, YesNo, YesNoCancel };
    enum class Answer { Ok, Cancel, Yes, No };

    virtual ~Dialogs() = default;

    // A modal message box; returns the button pressed (Ok for Buttons::Ok).
    virtual Answer message(const QString &caption, Icon icon, const QString &text,
                           Buttons buttons) = 0;

    // One-line input dialog; std::nullopt when the operator cancels.
    virtual std::optional<QString> input(const QString &caption, const QString &prompt,
                                         const QString &preset) = 0;

    // File dialogs; an empty text when the operator cancels. The save dialog
    // does not ask about overwriting: its callers ask with their own texts.
    virtual QString openFileName(const QString &caption, const QString &dir,
                                 const QString &filter) = 0;
    virtual QString saveFileName(const QString &caption, const QString &dir, const QString &filter,
                                 const QString &defaultSuffix) = 0;

    // Conveniences with the program title as caption.
    void error(const QString &text) { message(kProgramTitle, Icon::Error, text, Buttons::Ok); }
    void warning(const QString &text) { message(kProgramTitle, Icon::Warning, text, Buttons::Ok); }
    void information(const QString &text)
    {
        message(kProgramTitle, Icon::Information, text, Buttons::Ok);
    }
    bool askYesNo(const QString &text)
    {
        return message(kProgramTitle, Icon::Question, text, Buttons::YesNo) == Answer::Yes;
    }
};

} // namespace kront
