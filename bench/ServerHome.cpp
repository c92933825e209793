#include "bench/ServerHome.h"

#include "bench/ConsoleDialogs.h"
#include "common/AppHome.h"
#include "db/Database.h"
#include "db/LabCopy.h"
#include "db/OpenTables.h"
#include "db/PgConnection.h"
#include "db/ServerTables.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <cstdio>
#include <memory>
#include <vector>

namespace kront::bench
{

namespace
{

QStringList made; // databases to drop at the end

} // namespace

bool copyHomeToServer(HomeUnderTest &home, const QString &adminKeywords, QString &error)
{
    pg::Connection admin;
    if (!admin.open(adminKeywords)) {
        error = admin.errorText();
        return false;
    }
    const QString name = QStringLiteral("kront_bench_%1_%2")
                             .arg(QString::fromLatin1(home.size->name).replace(u'-', u'_'))
                             .arg(QCoreApplication::applicationPid());
    if (!admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name)) ||
        !admin.exec(QStringLiteral("CREATE DATABASE %1").arg(name))) {
        error = admin.errorText();
        return false;
    }
    made << name;
    static ConsoleDialogs dialogs;
    auto server = std::make_unique<ServerTables>(serverSettingsFromKeywords(adminKeywords, name));
    if (!server->connect(&error))
        return false;
    auto *db = new Database(dialogs, std::move(server)); // lives as long as the home
    AppHome::set(home.path);
    Database files(dialogs, std::make_unique<OpenTables>());
    LabCopy copy(files, *db, dialogs);
    QElapsedTimer timer;
    timer.start();
    if (!copy.run()) {
        error = QStringLiteral("the copy to the server failed");
        return false;
    }
    char note[160];
    std::snprintf(note, sizeof note,
                  "Store copy of the %s home to the server: %lld rows in %.1f s.", home.size->name,
                  static_cast<long long>(copy.totalRows()), timer.elapsed() / 1000.0);
    Summary::instance().note(note);
    home.server = db;
    return true;
}

void dropServerDatabases(const QString &adminKeywords)
{
    pg::Connection admin;
    if (!admin.open(adminKeywords))
        return;
    for (const QString &name : made)
        admin.exec(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    made.clear();
}

} // namespace kront::bench
