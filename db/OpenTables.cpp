#include "db/OpenTables.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace kront
{

std::optional<OpenTables::Stamp> OpenTables::stampOf(const QString &path)
{
    struct stat st {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    const auto ns = [](const timespec &t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return Stamp{quint64(st.st_dev), quint64(st.st_ino), qint64(st.st_size), ns(st.st_ctim),
                 ns(st.st_mtim)};
}

std::vector<int> OpenTables::currentVersions(const QStringList &paths)
{
    std::vector<int> versions;
    for (const QString &path : paths) {
        FileState &state = files[path];
        // A missing file has the empty stamp: it is a change too, so that a
        // connection to the file removed is never taken for one to its successor.
        const Stamp now = stampOf(path).value_or(Stamp{});
        if (now != state.stamp) {
            state.stamp = now;
            ++state.version;
        }
        versions.push_back(state.version);
    }
    return versions;
}

std::unique_ptr<TableFile> OpenTables::openConnection(const std::vector<const TableSchema *> &all,
                                                      TableFile::Mode mode,
                                                      const TableSchema *&failed)
{
    auto opened = TableFile::open(*all.front(), mode);
    if (!opened) {
        failed = all.front();
        return nullptr;
    }
    auto file = std::make_unique<TableFile>(std::move(*opened));
    for (std::size_t i = 1; i < all.size(); ++i) {
        if (!file->attach(*all[i], mode)) {
            failed = all[i];
            return nullptr;
        }
    }
    for (const TableSchema *t : all) {
        // An index that cannot be made now (a read-only or locked file) only
        // makes the queries slower; it is tried again at the next opening.
        updateIndexes(file->connection(), *t,
                      t == all.front() ? QStringLiteral("main") : t->tableName());
    }
    return file;
}

bool OpenTables::hasTable(const TableSchema &table) const
{
    return QFileInfo::exists(tableFilePath(table));
}

const TableSchema *OpenTables::createMissingTables(const std::vector<const TableSchema *> &tables)
{
    for (const TableSchema *schema : tables) {
        const QString path = tableFilePath(*schema);
        if (!QFileInfo::exists(path) && !createTableFile(*schema, path))
            return schema;
    }
    return nullptr;
}

TableStore::Operation OpenTables::acquire(const TableSchema &main,
                                          const std::vector<const TableSchema *> &attached,
                                          Mode mode, const TableSchema *&failed)
{
    failed = nullptr;
    std::vector<const TableSchema *> all{&main};
    all.insert(all.end(), attached.begin(), attached.end());
    QStringList paths;
    for (const TableSchema *t : all)
        paths << tableFilePath(*t);
    const std::vector<int> versions = currentVersions(paths);
    auto it = connections.find(paths);
    if (it != connections.end() && it->second.versions != versions) {
        connections.erase(it); // a file changed under the connection: open it anew
        it = connections.end();
    }
    if (it == connections.end()) {
        auto file = openConnection(all, mode, failed);
        if (!file)
            return Operation(nullptr, EndOperation{this});
        it = connections.emplace(paths, Open{std::move(file), versions}).first;
    }
    TableFile *file = it->second.file.get();
    failed = mode == TableFile::Mode::Write ? file->firstReadOnly() : file->beginRead();
    return Operation(failed ? nullptr : file, EndOperation{this});
}

void OpenTables::release(StoreOperation &op)
{
    auto &file = static_cast<TableFile &>(op);
    if (!file.endOperation())
        return;
    // This object's own change: the connections to these files stay good.
    for (const TableSchema *t : file.tables()) {
        const QString path = tableFilePath(*t);
        files[path].stamp = stampOf(path).value_or(Stamp{});
    }
}

} // namespace kront
