#pragma once

#include "db/TableFile.h"

#include <QString>

#include <map>
#include <memory>
#include <vector>

namespace kront
{

// The table files a database object keeps open for its life, so that an
// operation waits for the disk's flush and not for opening files: one
// connection per table, and one per set of tables that a cascade changes in
// one transaction (the further tables attached to the first). A connection is
// opened and checked (the table and its columns; indexes the file lacks are
// added) when an operation first needs it, and again when one of its files was
// removed, replaced or changed by anything but this object since then.
// Between operations no lock is held: another program reads and changes the
// files as before, and a file copied between two operations is whole.
class OpenTables : public TableStore
{
public:
    bool isServer() const override { return false; }
    bool hasTable(const TableSchema &table) const override;
    // Creates each missing table file (createTableFile); present files are
    // neither opened nor read.
    const TableSchema *createMissingTables(const std::vector<const TableSchema *> &tables) override;
    // The connection for one operation on `main` with `attached` attached;
    // for Read, inside a read transaction. Null when a file cannot be opened
    // (missing, no table file of its kind, read-only for Write, locked by
    // another process for Read), with `failed` naming its table. Operations
    // do not nest on one connection.
    Operation acquire(const TableSchema &main, const std::vector<const TableSchema *> &attached,
                      Mode mode, const TableSchema *&failed) override;

protected:
    void release(StoreOperation &op) override;

private:
    // What identifies a file's content without reading it: a change by
    // another program or a replacement changes at least one of these.
    struct Stamp {
        quint64 device = 0, inode = 0;
        qint64 size = -1, changedNs = -1, modifiedNs = -1;
        bool operator==(const Stamp &) const = default;
    };
    static std::optional<Stamp> stampOf(const QString &path);

    struct FileState {
        Stamp stamp;     // after the last change this object knows of
        int version = 0; // raised by every change made by anything else
    };
    struct Open {
        std::unique_ptr<TableFile> file;
        std::vector<int> versions; // of its files when it was opened
    };

    // Brings the state of each file up to date; the versions of the files.
    std::vector<int> currentVersions(const QStringList &paths);
    // Opens the first table's file, attaches the others' and adds missing
    // indexes; null with `failed` naming the table whose file cannot be opened.
    static std::unique_ptr<TableFile> openConnection(const std::vector<const TableSchema *> &all,
                                                     TableFile::Mode mode,
                                                     const TableSchema *&failed);

    std::map<QString, FileState> files;      // by path
    std::map<QStringList, Open> connections; // by the paths of their files
};

} // namespace kront
