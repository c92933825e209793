// The server's SQL for the statements written for the table files.

#include "db/PgConnection.h"

#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

TEST(ServerSql, ParametersAndQuotedNamesBecomeTheServersOwnStringsStayAsTheyAre)
{
    const struct {
        const char *sql;
        const char *server;
    } cases[] = {
        {"SELECT \"ID\" FROM \"Poverki\" WHERE \"PovNum\" = ?1",
         "SELECT \"id\" FROM \"poverki\" WHERE \"povnum\" = $1"},
        // Bare marks are numbered after the highest number seen so far.
        {"UPDATE \"T\" SET \"A\" = ?, \"B\" = ? WHERE \"ID\" = ?",
         "UPDATE \"t\" SET \"a\" = $1, \"b\" = $2 WHERE \"id\" = $3"},
        {"SELECT 1 WHERE a = ?2 OR b = ?1 OR c = ?", "SELECT 1 WHERE a = $2 OR b = $1 OR c = $3"},
        {"?10 ?9", "$10 $9"},
        // Literals are data: a "?" or a quoted name inside one is left alone.
        {"WHERE x = 'Is it \"Big\"?' AND \"Y\" = ?1", "WHERE x = 'Is it \"Big\"?' AND \"y\" = $1"},
        {"WHERE x = 'O''Neil?' AND y = ?", "WHERE x = 'O''Neil?' AND y = $1"},
        {"SELECT \"A\"\"B\"", "SELECT \"a\"\"b\""},
        // Unquoted names are folded by the server itself.
        {"FROM Sensors s JOIN BunchesTP b ON b.PovSensorID1 = s.ID",
         "FROM Sensors s JOIN BunchesTP b ON b.PovSensorID1 = s.ID"},
        // A text cut short (a fault of the caller) is passed on for the server to refuse.
        {"WHERE x = 'open", "WHERE x = 'open"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(pg::serverSql(QString::fromUtf8(c.sql)).toStdString(), c.server);
    }
}

} // namespace
} // namespace kront::test
