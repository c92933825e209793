#include "db/TableRow.h"
#include "db/FieldValue.h"

#include <QDateTime>
#include <ctime>
#include <gtest/gtest.h>

namespace kront
{
namespace
{

TEST(TableRow, FieldsAreSetByNameInAnyCaseAndTheRestStayNull)
{
    TableRow row(tables::BunchesTP, {{"PoverkaID", 5}, {"channelnum", 2}});
    row.set(QStringLiteral("PovSensorID%1").arg(3), 11);
    ASSERT_EQ(row.values().size(), tables::BunchesTP.fieldCount());
    EXPECT_TRUE(row.valid());
    EXPECT_EQ(row.values()[tables::BunchesTP.fieldIndex(u"PoverkaID")].toInt(), 5);
    EXPECT_EQ(row.value(u"ChannelNum").toInt(), 2);
    EXPECT_EQ(row.value(u"povsensorid3").toInt(), 11);
    for (const char *unset : {"ID", "EtalSensorID", "PovSensorID1", "RecordCreationDateTime"})
        EXPECT_FALSE(row.value(QString::fromLatin1(unset)).isValid()) << unset;
}

TEST(TableRow, UnknownFieldNamesAreKeptAndMakeTheRowInvalid)
{
    TableRow row(tables::Sensors);
    row.set("SerialNum", "1").set("Serial", "2").set(QStringLiteral("Temp1"), 100.0);
    row.setFields({{"Owner", "Лаб"}, {"Owners", "?"}});
    EXPECT_FALSE(row.valid());
    EXPECT_EQ(row.unknownFields(), QStringList({"Serial", "Temp1", "Owners"}));
    EXPECT_EQ(row.value(u"SerialNum").toString(), "1");
    EXPECT_EQ(row.value(u"Owner").toString(), "Лаб");
    EXPECT_FALSE(row.value(u"Serial").isValid());
}

// The computer's time zone for one test, the previous one back afterwards.
class ZoneForTheTest
{
public:
    explicit ZoneForTheTest(const char *zone) : previous(qgetenv("TZ"))
    {
        qputenv("TZ", zone);
        tzset();
    }
    ~ZoneForTheTest()
    {
        if (previous.isNull())
            qunsetenv("TZ");
        else
            qputenv("TZ", previous);
        tzset();
    }

private:
    const QByteArray previous;
};

// A date-time text in the stored form goes to the table as it stands, also
// in an hour that the clock change of the computer's time zone skips: a row
// copied between stores must not move by that hour.
TEST(TableRow, StoredDateTimeTextIsKeptEvenInAnHourTheClockSkips)
{
    const ZoneForTheTest zone("Europe/Berlin");
    const FieldDef field{"Started", FieldType::DateTime};
    for (const char *text :
         {"2025-03-30 02:30:00.000", "2025-10-26 02:30:00.500", "2024-02-29 23:59:59.999"}) {
        SCOPED_TRACE(text);
        const auto stored = toStoredValue(field, QString::fromLatin1(text));
        ASSERT_TRUE(stored.has_value());
        EXPECT_EQ(std::get<QString>(*stored), QString::fromLatin1(text));
    }
    // The other forms the program accepts are still read as dates and times.
    const auto typed = toStoredValue(field, QStringLiteral("05.01.2025 10:20:30"));
    ASSERT_TRUE(typed.has_value());
    EXPECT_EQ(std::get<QString>(*typed), QStringLiteral("2025-01-05 10:20:30.000"));
    EXPECT_FALSE(toStoredValue(field, QStringLiteral("2025-02-30 10:00:00.000")).has_value());
}

} // namespace
} // namespace kront
