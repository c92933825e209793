#include "settings/StoreSettings.h"

#include "common/IniFile.h"
#include "settings/SettingsFile.h"

#include <QSysInfo>
#include <QUrl>

namespace kront
{

namespace
{

const QString kSection = QStringLiteral("Store");
const QString kKind = QStringLiteral("Kind");
const QString kHost = QStringLiteral("Host");
const QString kPort = QStringLiteral("Port");
const QString kDatabase = QStringLiteral("Database");
const QString kUser = QStringLiteral("User");
const QString kInstallation = QStringLiteral("Installation");
const QString kEmbedded = QStringLiteral("embedded");
const QString kPostgreSql = QStringLiteral("postgresql");

// A keyword value for the client library: quoted, with \ and ' escaped.
QString keywordValue(const QString &v)
{
    QString inner = v;
    inner.replace(QLatin1Char('\\'), QLatin1String("\\\\"));
    inner.replace(QLatin1Char('\''), QLatin1String("\\'"));
    return QLatin1Char('\'') + inner + QLatin1Char('\'');
}

} // namespace

QString StoreSettings::defaultInstallationName()
{
    return QSysInfo::machineHostName().left(kInstallationNameLength);
}

QString StoreSettings::connectionString() const
{
    QStringList parts;
    if (!host.isEmpty())
        parts << QStringLiteral("host=") + keywordValue(host);
    parts << QStringLiteral("port=") + QString::number(port);
    if (!database.isEmpty())
        parts << QStringLiteral("dbname=") + keywordValue(database);
    if (!user.isEmpty())
        parts << QStringLiteral("user=") + keywordValue(user);
    // A server that does not answer is reported within seconds, not minutes.
    parts << QStringLiteral("connect_timeout=5");
    return parts.join(QLatin1Char(' '));
}

QString StoreSettings::serverName() const
{
    return QStringLiteral("%1:%2/%3")
        .arg(host.isEmpty() ? QStringLiteral("localhost") : host)
        .arg(port)
        .arg(database);
}

StoreSettings loadStoreSettings(const QString &iniPath, QString *error)
{
    const IniFile ini(iniPath);
    StoreSettings s;
    const QString kind = ini.readString(kSection, kKind, kEmbedded).trimmed();
    if (kind.compare(kPostgreSql, Qt::CaseInsensitive) == 0) {
        s.kind = StoreSettings::Kind::PostgreSql;
    } else if (kind.compare(kEmbedded, Qt::CaseInsensitive) != 0 && error) {
        *error = QStringLiteral("Неизвестный вид хранилища «%1» в разделе [Store] файла %2; "
                                "используются файлы таблиц в папке Data.")
                     .arg(kind, iniPath);
    }
    s.host = ini.readString(kSection, kHost, QString()).trimmed();
    s.port = ini.readInteger(kSection, kPort, s.port);
    s.database = ini.readString(kSection, kDatabase, QString()).trimmed();
    s.user = ini.readString(kSection, kUser, QString()).trimmed();
    const QString installation =
        ini.readString(kSection, kInstallation, QString()).trimmed().left(kInstallationNameLength);
    if (!installation.isEmpty())
        s.installation = installation;
    return s;
}

StoreSettings loadStoreSettings()
{
    return loadStoreSettings(SettingsFile::defaultPath());
}

bool saveStoreSettings(const StoreSettings &s, const QString &iniPath)
{
    IniFile ini(iniPath);
    return ini.writeString(kSection, kKind, s.isServer() ? kPostgreSql : kEmbedded) &&
           ini.writeString(kSection, kHost, s.host) && ini.writeInteger(kSection, kPort, s.port) &&
           ini.writeString(kSection, kDatabase, s.database) &&
           ini.writeString(kSection, kUser, s.user) &&
           ini.writeString(kSection, kInstallation, s.installation.trimmed());
}

bool saveInstallationName(const QString &name, const QString &iniPath)
{
    IniFile ini(iniPath);
    return ini.writeString(kSection, kInstallation, name.trimmed().left(kInstallationNameLength));
}

StoreSettings storeSettingsFromUrl(const QString &text, QString *error)
{
    const QUrl url(text, QUrl::StrictMode);
    StoreSettings s;
    const QString database = url.path().mid(1);
    if (!url.isValid() || url.scheme() != kPostgreSql || url.host().isEmpty() ||
        database.isEmpty() || database.contains(QLatin1Char('/'))) {
        if (error)
            *error = QStringLiteral("Неверный адрес сервера «%1»: ожидается "
                                    "postgresql://ПОЛЬЗОВАТЕЛЬ@УЗЕЛ:ПОРТ/БАЗА.")
                         .arg(text);
        return s;
    }
    s.kind = StoreSettings::Kind::PostgreSql;
    s.host = url.host();
    s.port = url.port(5432);
    s.database = database;
    s.user = url.userName();
    return s;
}

} // namespace kront
