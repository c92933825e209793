#include "StoreOption.h"

#include "common/AppHome.h"
#include "db/ServerTables.h"
#include "settings/SettingsFile.h"

#include <QStringList>

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

QStringList settingsFiles()
{
    return {SettingsFile::defaultPath(), AppHome::configFile(QStringLiteral("kront.INI"))};
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
    for (const QString &ini : settingsFiles()) {
        if (!saveStoreSettings(store, ini)) {
            error = QStringLiteral("the store settings could not be written to ") + ini;
            return false;
        }
    }
    return true;
}

bool writeInstallationName(const QString &name, QString &error)
{
    for (const QString &ini : settingsFiles()) {
        if (!saveInstallationName(name, ini)) {
            error = QStringLiteral("the installation's name could not be written to ") + ini;
            return false;
        }
    }
    return true;
}

} // namespace kront::e2e
