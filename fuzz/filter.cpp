// libFuzzer target: the filter dialect's parser and compiler, and the SQL it
// compiles to run on real table files. Any input is a filter text (UTF-8).
#include "common/AppHome.h"
#include "db/FilterCompiler.h"
#include "db/TableFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

using namespace kront;

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    static QTemporaryDir home;
    QDir(home.path()).mkpath(QStringLiteral("Data"));
    AppHome::set(home.path());
    for (const TableSchema *s : allTables()) {
        if (!createTableFile(*s, tableFilePath(*s)))
            std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString filter = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const QDateTime now(QDate(2026, 12, 10), QTime(12, 0));
    for (const TableSchema *s : allTables()) {
        auto compiled = compileFilter(filter, *s, now);
        if (auto *err = std::get_if<FilterError>(&compiled)) {
            if (err->position < 0 || err->position > filter.size() + 1)
                std::abort(); // a position outside the text
            continue;
        }
        const SqlFilter &sql = std::get<SqlFilter>(compiled);
        if (sql.where.contains(u'\''))
            std::abort(); // a literal written into the SQL
        auto file = TableFile::open(*s, TableFile::Mode::Read);
        sqlite::Statement st(file->connection(),
                             QStringLiteral("SELECT COUNT(*) FROM %1 WHERE %2")
                                 .arg(sqlite::quoteIdentifier(s->tableName()), sql.where));
        if (!st.isValid())
            std::abort(); // compiled, but the store cannot run it
        st.bindAll(sql.params);
        if (!st.step())
            std::abort();
    }
    return 0;
}
