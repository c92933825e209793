#include "db/TableRow.h"

#include <QDateTime>
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

} // namespace
} // namespace kront
