#include "E2eDialogs.h"

#include "SimProcess.h"
#include "model/CodeTables.h"

#include <QTextStream>

namespace kront::e2e
{

namespace
{
int channelOfPrompt(const QString &text)
{
    const QString first = text.section(QStringLiteral("\r\n"), 0, 0);
    return first.contains(QStringLiteral("второго канала")) ? 2 : 1;
}

QString iconName(Dialogs::Icon icon)
{
    switch (icon) {
    case Dialogs::Icon::Information: return QStringLiteral("info");
    case Dialogs::Icon::Warning: return QStringLiteral("warning");
    case Dialogs::Icon::Error: return QStringLiteral("error");
    case Dialogs::Icon::Question: return QStringLiteral("question");
    default: return QStringLiteral("plain");
    }
}
} // namespace

void E2eDialogs::record(const QString &caption, Icon icon, const QString &text,
                        const QString &answer)
{
    shown.push_back({caption, icon, text, answer});
    QTextStream out(stdout);
    out << "[dialog " << iconName(icon) << "] " << QString(text).replace("\r\n", " / ") << " => "
        << answer << Qt::endl;
}

bool E2eDialogs::furnacePrompt(const QString &text)
{
    const bool furnacePrompt = text.startsWith(QStringLiteral("Установите требуемую температуру"));
    if (!furnacePrompt)
        return false;
    const int channel = channelOfPrompt(text);
    const int other = 3 - channel;
    if (furnace)
        sim.command(QStringLiteral("furnace %1").arg(furnace()));
    const int position = text.contains(QStringLiteral("поэлектродного")) ? 6 : 0;
    sim.command(QStringLiteral("switch %1 5").arg(other));
    // A mercury thermometer is read by eye; the switch waits on the first input.
    if (!text.contains(QStringLiteral("в термостате")))
        sim.command(QStringLiteral("switch %1 %2").arg(channel).arg(position));
    return true;
}

bool E2eDialogs::switchPrompt(const QString &text)
{
    if (!text.startsWith(QStringLiteral("Установите на БИ1 переключатель")))
        return false;
    const int channel = channelOfPrompt(text);
    const int open = text.indexOf(QStringLiteral("положение \"")) + 11;
    const QString label = text.mid(open, text.indexOf(u'"', open) - open);
    for (int code = 0; code <= 14; ++code)
        if (InputLabel(code) == label) {
            sim.command(QStringLiteral("switch %1 %2").arg(channel).arg(code));
            return true;
        }
    return true;
}

bool E2eDialogs::answerQuestion(const QString &text)
{
    for (AnswerRule &r : sc.answers) {
        if (r.times == 0 || !text.contains(r.match))
            continue;
        if (r.times > 0)
            --r.times;
        return r.yes;
    }
    // A careful operator goes on with the verification.
    return text.startsWith(QStringLiteral("Вы хотите продолжить поверку")) ||
           text.contains(QStringLiteral("Удалить существующую поверку")) ||
           text.startsWith(QStringLiteral("Использовать результаты замеров после отжига"));
}

Dialogs::Answer E2eDialogs::message(const QString &caption, Icon icon, const QString &text,
                                    Buttons buttons)
{
    if (watch)
        watch(text);
    Answer a = Answer::Ok;
    if (buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel) {
        a = answerQuestion(text) ? Answer::Yes : Answer::No;
        if (a == Answer::No && text.endsWith(QStringLiteral("Записать показание всё равно?")) &&
            !sc.corrections.isEmpty())
            sim.command(sc.corrections.takeFirst());
    } else if (furnacePrompt(text) || switchPrompt(text))
        a = Answer::Ok;
    const char *names[] = {"Ok", "Cancel", "Yes", "No"};
    record(caption, icon, text, QString::fromLatin1(names[int(a)]));
    return a;
}

std::optional<QString> E2eDialogs::input(const QString &caption, const QString &prompt,
                                         const QString &preset)
{
    QString answer = preset;
    if (prompt.contains(QStringLiteral("температуру свободных концов эталонного ТП")))
        answer = sc.referenceTskText;
    record(caption, Icon::None, prompt, answer);
    return answer;
}

} // namespace kront::e2e
