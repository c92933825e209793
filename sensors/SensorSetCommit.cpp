#include "sensors/SensorSetCommit.h"

#include "common/Dialogs.h"
#include "db/Database.h"
#include "model/ChannelBunches.h"
#include "model/CodeTables.h"
#include "sensors/ChannelBunchBuilder.h"
#include "sensors/SensorFilters.h"
#include "sensors/SensorSetChecks.h"

namespace kront
{

namespace
{
}

SensorSetCommit::SensorSetCommit(Database &database, Dialogs &dialogSet)
    : db(database), dialogs(dialogSet)
{
}

bool SensorSetCommit::ReferenceCheck(const SensorSet &set, int grid)
{
    const int count = db.DBGetRecordsCount(tables::EtalSens, ReferenceCheckFilter(set, grid));
    if (count == 1)
        return true;
    if (count == 0) {
        dialogs.error(QStringLiteral("Не найдена запись для эталонного ТП пучка №%1 в базе данных! "
                                     "Проверьте правильность указанных реквизитов или добавьте "
                                     "соответствующий эталонный ТП в базу данных.")
                          .arg(grid));
    } else if (count > 1) {
        dialogs.error(QStringLiteral("Указанным реквизитам эталонного ТП пучка №%1 соответствуют "
                                     "несколько записей в базе данных! Проверьте целостность базы "
                                     "данных эталонных ТП.")
                          .arg(grid));
    }
    return false; // count < 0: the table did not open and said so
}

int SensorSetCommit::ReferenceID(const SensorSet &set, int grid)
{
    const int id = db.DBGetID(tables::EtalSens,
                              EtalSensIdentityFilter(set.trimmed(grid, 1, SensorColumn::Serial),
                                                     set.trimmed(grid, 1, SensorColumn::Year),
                                                     set.trimmed(grid, 1, SensorColumn::Name),
                                                     set.trimmed(grid, 1, SensorColumn::Type)));
    if (id >= 0)
        return id;
    return db.DBGetID(tables::EtalSens, ReferenceCheckFilter(set, grid));
}

bool SensorSetCommit::commitToBunches(const SensorSet &set, ChannelBunches &bunches)
{
    if (std::optional<QString> message = RequiredFieldCheck(set)) {
        dialogs.warning(*message);
        return false;
    }
    const NumericCheckResult numeric = NumericCheck(set);
    if (numeric.message) {
        dialogs.warning(*numeric.message);
        return false;
    }
    if (std::optional<QString> message = LengthCheck(set)) {
        dialogs.warning(*message);
        return false;
    }
    if (set.kind() != skTP) {
        bunches.releaseAll();
        return true;
    }
    std::array<int, 3> referenceIDs{0, 0, 0};
    for (int g = 1; g <= 2; ++g) {
        if (!set.rowHasType(g, 1))
            continue;
        if (!ReferenceCheck(set, g))
            return false;
        referenceIDs[size_t(g)] = ReferenceID(set, g);
    }
    ChannelBunchBuild build = BuildChannelBunches(set, referenceIDs);
    if (!build.ok()) {
        dialogs.error(build.error);
        return false;
    }
    for (int g = 1; g <= 2; ++g)
        bunches.set(g, std::move(build.bunches[size_t(g)]));
    return true;
}

} // namespace kront
