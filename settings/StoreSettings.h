#pragma once

#include <QString>

namespace kront
{

// Where the program keeps its tables, from the [Store] section of the
// program's settings file: the table files in <home>/Data (no section, or
// Kind=embedded) or a PostgreSQL server (Kind=postgresql with Host, Port,
// Database and User), and the name of this installation (Installation). The password is never kept
// here: the server's client library takes it from ~/.pgpass or PGPASSWORD. The longest installation
// name the tables keep.
inline constexpr int kInstallationNameLength = 64;

struct StoreSettings {
    enum class Kind { Embedded, PostgreSql };
    Kind kind = Kind::Embedded;
    QString host;
    int port = 5432;
    QString database;
    QString user;
    // The name of this installation among those sharing one server: the
    // verifications it starts are marked with it. The computer's host name
    // when the file gives none.
    QString installation = defaultInstallationName();

    static QString defaultInstallationName();

    bool isServer() const { return kind == Kind::PostgreSql; }
    // The connection keywords for the client library (host, port, dbname,
    // user, each quoted; no password).
    QString connectionString() const;
    // "host:port/database" for messages.
    QString serverName() const;
};

// Reads the section of the settings file at iniPath; a missing section, or
// an unknown Kind, reads as the embedded store (error tells of the unknown
// Kind when given).
StoreSettings loadStoreSettings(const QString &iniPath, QString *error = nullptr);
// The same for the program's settings file.
StoreSettings loadStoreSettings();
// Writes the section; false when the file could not be written.
bool saveStoreSettings(const StoreSettings &settings, const QString &iniPath);

// Writes the installation's name alone (an empty name: the host name is used);
// false when the file could not be written.
bool saveInstallationName(const QString &name, const QString &iniPath);

// Reads postgresql://USER@HOST:PORT/DATABASE (port optional); nullopt-like
// Embedded settings with error set when the text is not such an address.
StoreSettings storeSettingsFromUrl(const QString &url, QString *error);

} // namespace kront
