#include "db/Database.h"
#include "db/HistoryQueries.h"
#include "tests/support/ScriptedDialogs.h"
#include "tests/support/TempHome.h"

#include <QFile>

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

// A table file the history reads that is gone: the read gives nothing, after that table's
// message, shown once.
TEST(HistoryReads, MissingTableFileShowsItsMessage)
{
    KRONT_SKIP_ON_SERVER_STORE();
    const StoredSensorKey key{QStringLiteral("1"), QString(), 0, QString()};
    const struct {
        const TableSchema *removed;
        bool reference;
    } cases[] = {
        {&tables::Sensors, false},   {&tables::BunchesTP, false}, {&tables::Poverki, false},
        {&tables::ResultsTP, false}, {&tables::EtalSens, true},   {&tables::ResultsTP, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(std::string(c.removed->name) + (c.reference ? " (reference)" : ""));
        TempHome home;
        ScriptedDialogs dialogs;
        Database db(dialogs);
        ASSERT_TRUE(db.ensureTables());
        ASSERT_TRUE(QFile::remove(home.data(c.removed->fileName())));
        const bool read = c.reference ? DBGetReferenceUses(db, key).has_value()
                                      : DBGetSensorUses(db, key).has_value();
        EXPECT_FALSE(read);
        EXPECT_EQ(dialogs.texts(), QStringList{QString::fromUtf8(c.removed->openFailureText)});
    }
}

} // namespace
} // namespace kront::test
