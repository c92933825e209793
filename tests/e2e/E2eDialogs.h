#pragma once

#include "E2eScenario.h"
#include "common/Dialogs.h"

#include <functional>
#include <vector>

namespace kront::e2e
{

class SimProcess;

// The operator of a scenario: records every dialog the program shows and
// answers it. Furnace and switch prompts are carried out on the simulator
// before they are confirmed; questions follow the scenario's answer rules
// and otherwise the defaults of a careful operator (go on, do not abort).
class E2eDialogs : public Dialogs
{
public:
    struct Shown {
        QString caption;
        Icon icon;
        QString text;
        QString answer;
    };

    E2eDialogs(Scenario &scenario, SimProcess &simulator) : sc(scenario), sim(simulator) {}

    // The furnace set-point the current measuring run asks for.
    void setFurnaceSource(std::function<double()> source) { furnace = std::move(source); }
    // Sees every message box while it is open, before it is answered.
    void setMessageWatcher(std::function<void(const QString &)> watcher)
    {
        watch = std::move(watcher);
    }

    Answer message(const QString &caption, Icon icon, const QString &text,
                   Buttons buttons) override;
    std::optional<QString> input(const QString &caption, const QString &prompt,
                                 const QString &preset) override;
    QString openFileName(const QString &, const QString &, const QString &) override { return {}; }
    QString saveFileName(const QString &, const QString &, const QString &,
                         const QString &) override
    {
        return {};
    }

    std::vector<Shown> shown;

private:
    bool furnacePrompt(const QString &text);
    bool switchPrompt(const QString &text);
    bool answerQuestion(const QString &text);
    void record(const QString &caption, Icon icon, const QString &text, const QString &answer);

    Scenario &sc;
    SimProcess &sim;
    std::function<double()> furnace;
    std::function<void(const QString &)> watch;
};

} // namespace kront::e2e
