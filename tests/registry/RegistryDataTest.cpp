// The registry data kept in the home's tables: read back as saved, replaced as a whole, and a
// home made before the tables existed.

#include "registry/RegistryData.h"
#include "tests/db/DbFixture.h"

#include <QFile>

namespace kront::test
{
namespace
{

class RegistryDataTest : public DbFixture
{
};

TEST_F(RegistryDataTest, SensorTypesReadBackAsSavedAndSavingReplacesThem)
{
    const std::vector<SensorTypeEntry> first = {
        {QStringLiteral("ТХА-0192"), QStringLiteral("12345-06"), QStringLiteral("исп. 01"), 24},
        {QStringLiteral("ТПП"), QStringLiteral("23456-07"), QStringLiteral("-"), 12}};
    ASSERT_TRUE(SaveSensorTypes(db, dialogs, first));
    auto loaded = LoadSensorTypes(db);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->size(), 2u);
    EXPECT_EQ((*loaded)[0].typeName, QStringLiteral("ТХА-0192"));
    EXPECT_EQ((*loaded)[0].typeNumber, QStringLiteral("12345-06"));
    EXPECT_EQ((*loaded)[0].modification, QStringLiteral("исп. 01"));
    EXPECT_EQ((*loaded)[1].intervalMonths, 12);

    ASSERT_TRUE(SaveSensorTypes(db, dialogs, {first[1]}));
    loaded = LoadSensorTypes(db);
    ASSERT_TRUE(loaded && loaded->size() == 1u);
    EXPECT_EQ(loaded->front().typeName, QStringLiteral("ТПП"));
    EXPECT_TRUE(dialogs.shown.empty());

    RegistryData data;
    data.sensorTypes = *loaded;
    EXPECT_NE(data.sensorType(QStringLiteral(" тпп ")), nullptr);
    EXPECT_EQ(data.sensorType(QStringLiteral("ТХА-0192")), nullptr);
}

TEST_F(RegistryDataTest, MeansKeepInstrumentsAndReferenceNumbersApart)
{
    InstallationMeans means;
    means.instruments = {
        {QStringLiteral("Вольтметр"), QStringLiteral("11111-11"), QStringLiteral("V-12")},
        {QStringLiteral("Регулятор печи"), QStringLiteral("22222-22"), QStringLiteral("R-7")}};
    means.references = {{3, QStringLiteral("00000.00.0Р.00000000")}, {5, QString()}};
    ASSERT_TRUE(SaveInstallationMeans(db, dialogs, means));
    const auto loaded = LoadInstallationMeans(db);
    ASSERT_TRUE(loaded);
    ASSERT_EQ(loaded->instruments.size(), 2u);
    EXPECT_EQ(loaded->instruments[1].kind, QStringLiteral("Регулятор печи"));
    EXPECT_EQ(loaded->instruments[1].serialNum, QStringLiteral("R-7"));
    ASSERT_EQ(loaded->references.size(), 1u); // a reference without a number is not kept
    EXPECT_EQ(loaded->regNumberOf(3), QStringLiteral("00000.00.0Р.00000000"));
    EXPECT_TRUE(loaded->regNumberOf(5).isEmpty());
}

TEST_F(RegistryDataTest, ExportLogListsEachVerificationOnce)
{
    const QDateTime when = at(10, 12, 2026, 9, 30);
    ASSERT_TRUE(AddRegistryExports(db, dialogs,
                                   {{11, 7, when, QStringLiteral("a.xml")},
                                    {12, 7, when, QStringLiteral("a.xml")},
                                    {13, 4, when, QStringLiteral("b.xml")}}));
    const auto entries = LoadRegistryExports(db);
    ASSERT_TRUE(entries && entries->size() == 3u);
    EXPECT_EQ(entries->back().fileName, QStringLiteral("b.xml"));
    EXPECT_EQ(entries->back().exported, when);
    EXPECT_EQ(ExportedPoverkaIDs(db), (std::vector<int>{4, 7}));
}

// A home from before the registry data: no table files; it reads as empty and the first save
// makes the file.
TEST_F(RegistryDataTest, HomeWithoutTheTablesReadsEmptyAndSavesMakeThem)
{
    for (const TableSchema *t : {&tables::SensorTypes, &tables::Means, &tables::RegistryExports})
        ASSERT_TRUE(QFile::remove(home.data(t->fileName())));
    const auto data = LoadRegistryData(db);
    ASSERT_TRUE(data);
    EXPECT_TRUE(data->sensorTypes.empty());
    EXPECT_TRUE(data->means.instruments.empty());
    EXPECT_EQ(ExportedPoverkaIDs(db), std::vector<int>{});
    EXPECT_TRUE(dialogs.shown.empty());
    ASSERT_TRUE(SaveSensorTypes(
        db, dialogs, {{QStringLiteral("ТХА"), QStringLiteral("1-1"), QStringLiteral("-"), 12}}));
    EXPECT_EQ(LoadSensorTypes(db)->size(), 1u);
}

TEST_F(RegistryDataTest, GridChecksNameTheBadRow)
{
    const SensorTypeEntry good{QStringLiteral("ТХА"), QStringLiteral("1-1"), QStringLiteral("-"),
                               12};
    struct Case {
        SensorTypeEntry second;
        const char *contains; // empty: no error
    };
    const Case cases[] = {
        {{QStringLiteral("ТПП"), QStringLiteral("2-2"), QStringLiteral("-"), 240}, ""},
        {{QStringLiteral(" тха "), QStringLiteral("2-2"), QStringLiteral("-"), 12}, "уже есть"},
        {{QString(), QStringLiteral("2-2"), QStringLiteral("-"), 12}, "не задан тип"},
        {{QStringLiteral("ТПП"), QString(33, u'1'), QStringLiteral("-"), 12}, "ГРСИ"},
        {{QStringLiteral("ТПП"), QStringLiteral("2-2"), QString(129, u'м'), 12}, "модификация"},
        {{QStringLiteral("ТПП"), QStringLiteral("2-2"), QStringLiteral("-"), 0}, "интервал"},
        {{QStringLiteral("ТПП"), QStringLiteral("2-2"), QStringLiteral("-"), 241}, "интервал"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.contains);
        const QString error = sensorTypesError({good, c.second});
        if (*c.contains == 0) {
            EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        } else {
            EXPECT_TRUE(error.startsWith(QStringLiteral("Строка 2"))) << error.toStdString();
            EXPECT_TRUE(error.contains(QString::fromUtf8(c.contains))) << error.toStdString();
        }
    }
    InstallationMeans means;
    means.instruments = {{QStringLiteral("Вольтметр"), QString(33, u'1'), QStringLiteral("V")}};
    EXPECT_FALSE(installationMeansError(means).isEmpty());

    // Saving refuses the same with the message and keeps what was stored.
    ASSERT_TRUE(SaveSensorTypes(db, dialogs, {good}));
    EXPECT_FALSE(SaveSensorTypes(db, dialogs, {good, cases[1].second}));
    EXPECT_FALSE(SaveInstallationMeans(db, dialogs, means));
    ASSERT_EQ(dialogs.shown.size(), 2u);
    EXPECT_TRUE(dialogs.shown[0].text.contains(QStringLiteral("уже есть")));
    EXPECT_EQ(LoadSensorTypes(db)->size(), 1u);
}

} // namespace
} // namespace kront::test
