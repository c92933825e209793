// Where the tables live: the [Store] section read and written, server
// addresses of the copy command, and the connection keywords.

#include "settings/StoreSettings.h"
#include "tests/support/TempHome.h"

#include <QFile>
#include <QSysInfo>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

TEST(StoreSettingsTest, NoSectionOrUnknownKindMeansTheTableFiles)
{
    TempHome home;
    const QString ini = home.config(QStringLiteral("kront.INI"));
    QString error;
    EXPECT_FALSE(loadStoreSettings(ini, &error).isServer());
    EXPECT_TRUE(error.isEmpty());

    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Store]\r\nKind=oracle\r\nHost=db\r\n");
    f.close();
    EXPECT_FALSE(loadStoreSettings(ini, &error).isServer());
    EXPECT_TRUE(error.contains(QStringLiteral("oracle"))) << error.toStdString();
}

TEST(StoreSettingsTest, ServerSectionReadsBackAsWrittenWithoutAPassword)
{
    TempHome home;
    const QString ini = home.config(QStringLiteral("kront.INI"));
    StoreSettings s;
    s.kind = StoreSettings::Kind::PostgreSql;
    s.host = QStringLiteral("lab-server");
    s.port = 5433;
    s.database = QStringLiteral("kront");
    s.user = QStringLiteral("verifier");
    ASSERT_TRUE(saveStoreSettings(s, ini));

    const StoreSettings back = loadStoreSettings(ini);
    EXPECT_TRUE(back.isServer());
    EXPECT_EQ(back.host, s.host);
    EXPECT_EQ(back.port, 5433);
    EXPECT_EQ(back.database, s.database);
    EXPECT_EQ(back.user, s.user);
    EXPECT_EQ(back.serverName(), QStringLiteral("lab-server:5433/kront"));

    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_FALSE(f.readAll().toLower().contains("password"));
}

// The installation's name: the computer's host name unless the section gives
// one; a name read or set is kept to what the tables hold.
TEST(StoreSettingsTest, InstallationNameDefaultsToTheHostName)
{
    TempHome home;
    const QString ini = home.config(QStringLiteral("kront.INI"));
    EXPECT_EQ(loadStoreSettings(ini).installation, QSysInfo::machineHostName());

    StoreSettings s;
    s.installation = QStringLiteral("Стенд №2 «левый»");
    ASSERT_TRUE(saveStoreSettings(s, ini));
    EXPECT_EQ(loadStoreSettings(ini).installation, s.installation);

    QFile f(ini);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Store]\r\nInstallation=   \r\n");
    f.close();
    EXPECT_EQ(loadStoreSettings(ini).installation, QSysInfo::machineHostName());

    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[Store]\r\nInstallation=" + QByteArray(100, 'x') + "\r\n");
    f.close();
    EXPECT_EQ(loadStoreSettings(ini).installation, QString(kInstallationNameLength, u'x'));
}

TEST(StoreSettingsTest, ConnectionKeywordsQuoteEveryValue)
{
    StoreSettings s;
    s.kind = StoreSettings::Kind::PostgreSql;
    s.host = QStringLiteral("db host");
    s.database = QStringLiteral("it's");
    s.user = QStringLiteral("a\\b");
    EXPECT_EQ(s.connectionString(),
              QStringLiteral("host='db host' port=5432 dbname='it\\'s' user='a\\\\b' "
                             "connect_timeout=5"));
}

TEST(StoreSettingsTest, ServerAddressOfTheCopyCommand)
{
    const struct {
        const char *url;
        bool good;
        const char *host;
        int port;
        const char *database;
        const char *user;
    } cases[] = {
        {"postgresql://kront@127.0.0.1:55432/lab", true, "127.0.0.1", 55432, "lab", "kront"},
        {"postgresql://srv/lab", true, "srv", 5432, "lab", ""},
        {"postgresql://kront@srv:5432/", false, "", 0, "", ""},
        {"postgresql://kront@srv:5432/a/b", false, "", 0, "", ""},
        {"postgres://kront@srv/lab", false, "", 0, "", ""},
        {"/home/lab/kront", false, "", 0, "", ""},
        {"postgresql://kront@:5432/lab", false, "", 0, "", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.url);
        QString error;
        const StoreSettings s = storeSettingsFromUrl(QString::fromUtf8(c.url), &error);
        EXPECT_EQ(s.isServer(), c.good);
        EXPECT_EQ(error.isEmpty(), c.good);
        if (!c.good)
            continue;
        EXPECT_EQ(s.host, QString::fromUtf8(c.host));
        EXPECT_EQ(s.port, c.port);
        EXPECT_EQ(s.database, QString::fromUtf8(c.database));
        EXPECT_EQ(s.user, QString::fromUtf8(c.user));
    }
}

} // namespace
} // namespace kront::test
