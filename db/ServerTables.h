#pragma once

#include "db/PgConnection.h"
#include "db/TableStore.h"
#include "settings/StoreSettings.h"

#include <QStringList>

#include <set>

namespace kront
{

// The tables on a PostgreSQL server: one connection for the life of the
// object, every operation one transaction on it (reads in a read-only
// snapshot). IDs come from the server's sequences, so that several
// installations writing at once never collide. A connection lost between
// operations is made again by the next one; one lost during an operation
// fails that operation as a failed write does.
class ServerTables : public TableStore
{
public:
    explicit ServerTables(StoreSettings settings);
    ~ServerTables() override;

    // Connects now; false with the reason (unreachable host, refused
    // password, no such database) for the start-up message.
    bool connect(QString *reason = nullptr);
    const StoreSettings &settings() const { return serverSettings; }
    pg::Connection &connection() { return conn; }

    bool isServer() const override { return true; }
    // The start-up check makes every table on the server.
    bool hasTable(const TableSchema &) const override { return true; }
    const TableSchema *createMissingTables(const std::vector<const TableSchema *> &tables) override;
    Operation acquire(const TableSchema &main, const std::vector<const TableSchema *> &attached,
                      Mode mode, const TableSchema *&failed) override;

protected:
    void release(StoreOperation &op) override;

private:
    // Connected, or connected again after a lost connection.
    bool reachable();
    // The first of these tables not on the server; nullptr when all are.
    const TableSchema *firstMissing(const std::vector<const TableSchema *> &all);

    StoreSettings serverSettings;
    pg::Connection conn;
    std::unique_ptr<StoreOperation> operation; // the one operation at a time
    std::set<const TableSchema *> present;     // tables seen on the server
};

// The statements that create the table on the server: the same columns as
// the table file (names in lower case), integers and floats as the server's
// own types, date-times as the stored text, an identity ID that starts at 2
// like the files' counter, the indexes, and for a table without ID a hidden
// "rowid" that keeps the order rows were written in.
QStringList serverTableStatements(const TableSchema &schema);

// Settings naming `database` on the server the client library's keywords
// name (their host or hostaddr, port and user).
StoreSettings serverSettingsFromKeywords(const QString &keywords, const QString &database);

} // namespace kront
