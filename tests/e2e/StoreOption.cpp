#include "StoreOption.h"

#include "common/AppHome.h"
#include "db/ServerTables.h"
#include "settings/SettingsFile.h"

#include <libpq-fe.h>

namespace kront::e2e
{

namespace
{

// The dbname of connection keywords; empty when they have none or do not parse.
QString databaseOf(const QString &keywords)
{
    char *error = nullptr;
    PQconninfoOption *options = PQconninfoParse(keywords.toUtf8().constData(), &error);
    if (!options) {
        PQfreemem(error);
        return {};
    }
    QString database;
    for (PQconninfoOption *o = options; o->keyword; ++o)
        if (QByteArray(o->keyword) == "dbname" && o->val)
            database = QString::fromUtf8(o->val);
    PQconninfoFree(options);
    return database;
}

// Writes both settings files with `save`; false with the first that failed.
template <typename Save> bool writeBoth(Save save, const char *what, QString &error)
{
    for (const QString &ini :
         {SettingsFile::defaultPath(), AppHome::configFile(QStringLiteral("kront.INI"))}) {
        if (!save(ini)) {
            error = QStringLiteral("%1 could not be written to %2").arg(QLatin1String(what), ini);
            return false;
        }
    }
    return true;
}

} // namespace

std::optional<StoreSettings> storeFromOption(const QString &text, QString &error)
{
    if (text.startsWith(QStringLiteral("postgresql://"))) {
        const StoreSettings s = storeSettingsFromUrl(text, &error);
        if (!s.isServer())
            return std::nullopt;
        return s;
    }
    const QString database = databaseOf(text);
    if (database.isEmpty()) {
        error = QStringLiteral("--server-database names no database (dbname=...): ") + text;
        return std::nullopt;
    }
    return serverSettingsFromKeywords(text, database);
}

bool writeStoreSettings(const StoreSettings &store, QString &error)
{
    return writeBoth([&](const QString &ini) { return saveStoreSettings(store, ini); },
                     "the store settings", error);
}

bool writeInstallationName(const QString &name, QString &error)
{
    return writeBoth([&](const QString &ini) { return saveInstallationName(name, ini); },
                     "the installation's name", error);
}

} // namespace kront::e2e
