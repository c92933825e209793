#include "db/TableStore.h"

#include "db/OpenTables.h"
#include "db/ServerTables.h"

namespace kront
{

std::unique_ptr<TableStore> storeFromSettings()
{
    const StoreSettings settings = loadStoreSettings();
    if (settings.isServer())
        return std::make_unique<ServerTables>(settings);
    return std::make_unique<OpenTables>();
}

} // namespace kront
