// Random texts for the readers of stored text: the verification state
// string and the INI files.
#include "common/IniFile.h"
#include "db/FieldValue.h"
#include "model/StageProgression.h"
#include "model/TPoverka.h"
#include "tests/support/TempHome.h"

#include <gtest/gtest.h>

#include <QFile>

#include <random>

namespace kront
{

namespace
{

QString randomText(std::mt19937 &rng, const QString &pool, int maxLength)
{
    QString s;
    const int n = std::uniform_int_distribution<int>(0, maxLength)(rng);
    for (int i = 0; i < n; ++i)
        s += pool[std::uniform_int_distribution<int>(0, int(pool.size()) - 1)(rng)];
    return s;
}

} // namespace

TEST(StateFuzz, DecodeStateReadsOrRefusesAnyText)
{
    std::mt19937 rng(99);
    const QString pool = QStringLiteral("MainCycleInstabilityCalculationInitiation;0123456789 -+"
                                        "xЁ") +
                         QChar(0);
    const char *const seeds[] = {
        "MainCycle;1;3;5;", "Instability;0;1;2;", "Calculation;1;1;1;", "Initiation;0;0;0;", ";;;;",
        "MainCycle;1;3;5",  "MainCycle"};
    int accepted = 0;
    for (int i = 0; i < 4000; ++i) {
        QString text = i % 2 ? randomText(rng, pool, 40)
                             : QString::fromLatin1(seeds[i / 2 % std::size(seeds)]);
        if (i % 4 == 2 && !text.isEmpty())
            text[std::uniform_int_distribution<int>(0, int(text.size()) - 1)(rng)] =
                pool[std::uniform_int_distribution<int>(0, int(pool.size()) - 1)(rng)];
        TPoverka poverka;
        const QString before = EncodeState(poverka);
        if (DecodeState(poverka, text)) {
            ++accepted;
            // What was read can be written again and reads back the same.
            TPoverka again;
            EXPECT_TRUE(DecodeState(again, EncodeState(poverka))) << text.toStdString();
            EXPECT_EQ(EncodeState(again), EncodeState(poverka)) << text.toStdString();
        } else {
            EXPECT_EQ(EncodeState(poverka), before) << text.toStdString();
        }
    }
    EXPECT_GT(accepted, 100);
}

// Stored date-times are read digit by digit; whatever the text, the result is
// what the general parser of the stored formats gives.
TEST(DateTimeFuzz, StoredDateTimesReadAsTheGeneralParserReadsThem)
{
    std::mt19937 rng(2026);
    const QString pool = QStringLiteral("0123456789-: .x");
    for (int i = 0; i < 3000; ++i) {
        const QDateTime dt = QDateTime(QDate(1990, 1, 1), QTime(0, 0))
                                 .addMSecs(qint64(std::uniform_int_distribution<qint64>(
                                     0, 40LL * 365 * 86400 * 1000)(rng)));
        QString text = storedDateTimeText(dt);
        if (i % 2)
            text[std::uniform_int_distribution<int>(0, 22)(rng)] =
                pool[std::uniform_int_distribution<int>(0, int(pool.size()) - 1)(rng)];
        const QDateTime general =
            QDateTime::fromString(text, QStringLiteral("yyyy-MM-dd HH:mm:ss.zzz"));
        const QDateTime read = dateTimeFromStored(text);
        if (general.isValid()) {
            EXPECT_EQ(read, general) << text.toStdString();
        }
        if (i % 2 == 0) {
            EXPECT_EQ(read, dt) << text.toStdString();
        }
    }
}

TEST(IniFuzz, AnyFileBytesReadAndWriteWithoutHarm)
{
    test::TempHome home;
    std::mt19937 rng(1251);
    const QString path = home.config(QStringLiteral("fuzz.INI"));
    const char *const pieces[] = {"[Section]",
                                  "[",
                                  "]",
                                  "Key=Value",
                                  "=",
                                  "Key=",
                                  "=Value",
                                  "\r\n",
                                  "\n",
                                  "\r",
                                  ";comment",
                                  " ",
                                  "\t",
                                  "\xEF\xBB\xBF",
                                  "\xC0\xC1",
                                  "\xD0\x9A",
                                  "\0",
                                  "[Раздел]",
                                  "ключ=значение",
                                  "[A]\r\n[A]"};
    for (int i = 0; i < 600; ++i) {
        QByteArray bytes;
        const int n = std::uniform_int_distribution<int>(0, 30)(rng);
        for (int k = 0; k < n; ++k) {
            if (std::uniform_int_distribution<int>(0, 4)(rng) == 0)
                bytes += char(std::uniform_int_distribution<int>(0, 255)(rng));
            else
                bytes +=
                    pieces[std::uniform_int_distribution<int>(0, int(std::size(pieces)) - 1)(rng)];
        }
        {
            QFile f(path);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
            f.write(bytes);
        }
        IniFile ini(path);
        for (const QString &section : ini.sections()) {
            for (const QString &key : ini.keys(section)) {
                ini.readString(section, key, QString());
                ini.readInteger(section, key, 0);
                ini.readFloat(section, key, 0);
                ini.readBool(section, key, false);
            }
        }
        // A write keeps the value readable, whatever the file held before.
        ASSERT_TRUE(ini.writeString(QStringLiteral("Fuzz"), QStringLiteral("Key"),
                                    QStringLiteral("значение %1").arg(i)));
        EXPECT_EQ(
            IniFile(path).readString(QStringLiteral("Fuzz"), QStringLiteral("Key"), QString()),
            QStringLiteral("значение %1").arg(i))
            << bytes.toHex().toStdString();
    }
}

} // namespace kront
