#pragma once

#include <QString>
#include <array>
#include <memory>
#include <optional>
#include <vector>

namespace kront
{

class Database;
class Dialogs;
class TPoverka;

// One row of the list of unfinished verifications (StringGrid1 of PanelUnfinished).
struct UnfinishedRow {
    // 0 "№ поверки", 1 "Дата начала", 2 "Методика", 3 "Вид", 4 "Стадия", 5 "ID" (hidden)
    std::array<QString, 6> cells;
    int id = 0;
};

// The unfinished verifications of the main window: the list, deletion with all results and the
// resumption of a verification at its stored step.
class UnfinishedVerifications
{
public:
    static const std::array<QString, 6> &Headers();
    // The filter of a verification without finish time and not at a completed calculation.
    static QString Filter();
    // Stage column text of a state string ("MainCycle;0;2;5;" -> "Определение ТЭДС ЧЭ ТП, шаг 2
    // из 5").
    static QString StageText(bool instabilityCheckNeeded, const QString &state);

    UnfinishedVerifications(Database &database, Dialogs &dialogSet)
        : db(database), dialogs(dialogSet)
    {
    }

    // Showing the list: the unfinished verifications of this installation and those no
    // installation is named for. nullopt when Poverki could not be opened (message shown); an
    // empty list after "Незавершенные поверки не найдены." (the panel keeps its visibility).
    std::optional<std::vector<UnfinishedRow>> List();

    // "Удалить": asks, then deletes every verification of this installation with that number
    // started on that date with its bunches and results. The caller shows the list again in any
    // case.
    void Delete(const UnfinishedRow &row);

    // "Выбрать": asks, then rebuilds the verification with the bunches and sensors it owns.
    // nullptr when the operator said No, the verification is another installation's or a table
    // or sensor could not be read (message shown).
    std::unique_ptr<TPoverka> Resume(const UnfinishedRow &row);

private:
    bool readBunches(TPoverka &poverka);

    Database &db;
    Dialogs &dialogs;
};

} // namespace kront
