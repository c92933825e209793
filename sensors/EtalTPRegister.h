#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace kront
{

class Database;
class TableRow;
class Dialogs;

// What the reference thermocouple editor ("Эталонный ТП") holds: the seven
// parameters and up to 17 graduation points as typed.
struct EtalTPData {
    enum Param { Serial, Type, Name, Year, Rank, Producer, Owner };
    static constexpr int kParamCount = 7;
    static constexpr int kPointCount = 17;

    std::array<QString, kParamCount> params;
    std::array<QString, kPointCount + 1> temp; // °C, rows 1..17, [0] unused
    std::array<QString, kPointCount + 1> emf;  // mV, rows 1..17, [0] unused

    // "Зав. №", "Тип", "Наименование", "Год вып.", "Разряд", "Изготовитель", "Владелец".
    static QStringList paramLabels();
};

// The register of reference thermocouples (table EtalSens): validation and
// storing of an edited entry, and the look-up and deletion of the entry a
// row of the settings grid shows.
class EtalTPRegister
{
public:
    EtalTPRegister(Database &database, Dialogs &dialogs);

    // "Применить" of the editor (ButtonApplyClick): checks the data in order (the first failure is
    // shown and nothing is stored), rewrites the graduation cells in their normalised form, then
    // updates the entry `id` in place when editing, or else adds a new entry; a duplicate (same
    // serial, year, name and type) is, on the operator's Yes, overwritten in place so that its ID
    // and the stored verifications that name it stay valid. True when stored.
    bool storeEntry(EtalTPData &data, bool editing, int id);

    // The validation alone: the message of the first failure, or nothing.
    // The graduation cells are emptied of blanks and normalised on the way.
    std::optional<QString> Validate(EtalTPData &data) const;

    // The EtalSens row of valid data.
    static TableRow FieldValues(const EtalTPData &data, const QDateTime &created);

    // A settings-grid row (Сер. №, Тип, Наименование, Год вып., ...) names an
    // entry only when its "Тип" is not blank.
    static bool RowHasType(const QStringList &gridRow);
    // The ID of the entry a grid row shows; -1 after the not-found error.
    int FindGridRowID(const QStringList &gridRow);
    // The editor data of an entry; nullopt when it cannot be read.
    std::optional<EtalTPData> ReadByID(int id);
    // "Удалить": the usage check, the question, the deletion. True when deleted.
    bool DeleteGridRow(const QStringList &gridRow);

private:
    bool storeNew(const EtalTPData &data, const TableRow &values);

    Database &db;
    Dialogs &dialogs;
};

} // namespace kront
