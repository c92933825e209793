// kront-cli history: the built program run on a home with five verifications of one
// thermocouple.

#include "tests/history/FiveYearsFixture.h"

#include "common/text/StringFunctionsFormat.h"
#include "history/HistoryTable.h"
#include "history/SensorHistory.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>

namespace kront::test
{
namespace
{

class HistoryCli : public FiveYears
{
protected:
    struct Run {
        int status = -1;
        QByteArray out, err;
    };

    Run cli(const QStringList &args)
    {
        const QString exe = QCoreApplication::applicationDirPath() + "/../bin/kront-cli";
        Run r;
        if (!QFileInfo(exe).isExecutable()) {
            ADD_FAILURE() << "kront-cli is not built: " << exe.toStdString();
            return r;
        }
        QProcess p;
        p.start(exe, QStringList{"--home", home.path(), "history"} + args);
        EXPECT_TRUE(p.waitForFinished(30000));
        r.status = p.exitCode();
        r.out = p.readAllStandardOutput();
        r.err = p.readAllStandardError();
        return r;
    }
};

TEST_F(HistoryCli, TableCsvAndTheChoiceBetweenEqualSerials)
{
    verifyFiveYears();
    ASSERT_FALSE(HasFatalFailure());
    ASSERT_TRUE(db.DBSensorsInsert(TableRow(
        tables::Sensors,
        {{"SerialNum", "11"}, {"ProdYear", 2019}, {"TypeName", "ТХБ-1"}, {"NSHType", "THA"}})));
    const auto h = LoadSensorHistory(db, thermocouple());
    ASSERT_TRUE(h);

    const Run ambiguous = cli({"11"});
    EXPECT_EQ(ambiguous.status, 2);
    EXPECT_TRUE(ambiguous.out.isEmpty());
    EXPECT_TRUE(ambiguous.err.contains("№ 11, ТХА-0292, ТХА, 2024 г.")) << ambiguous.err.data();
    EXPECT_TRUE(ambiguous.err.contains("№ 11, ТХБ-1, ТХА, 2019 г.")) << ambiguous.err.data();

    // the year, the type name or the characteristic with the year pick one
    for (const QStringList &pick :
         {QStringList{"11", "--year", "2024", "--csv"},
          QStringList{"11", "--type", "тха-0292", "--csv"},
          QStringList{"11", "--type", "ТХА", "--year", "2024", "--csv"}}) {
        const Run r = cli(pick);
        EXPECT_EQ(r.status, 0) << pick.join(' ').toStdString() << r.err.data();
        EXPECT_EQ(r.out, HistoryCsv(*h)) << pick.join(' ').toStdString();
    }
    const Run csv = cli({"11", "--year", "2024", "--csv"});
    ASSERT_TRUE(csv.out.startsWith("\xEF\xBB\xBF"));
    const QStringList lines = QString::fromUtf8(csv.out.mid(3)).split(QStringLiteral("\r\n"));
    ASSERT_EQ(lines.size(), 7); // header, five verifications, the empty rest after the last CR LF
    EXPECT_EQ(lines[0], QStringLiteral("Дата;№ поверки;Вид;Метод;Класс;Результат;Δ при 350 °C;"
                                       "Δ при 450 °C;Документ"));
    const QStringList first = lines[1].split(u';');
    ASSERT_EQ(first.size(), 9);
    EXPECT_EQ(first.mid(0, 6),
              (QStringList{"01.06.2026", "П-0", "Периодическая", "Прямые измерения", "2", "2"}));
    EXPECT_EQ(first[6], FloatToStrFixed(*h->entries[0].points[0].deltaC, 2));
    EXPECT_TRUE(first[6].contains(u',')) << first[6].toStdString();

    const Run text = cli({"11", "--year", "2024"});
    EXPECT_EQ(text.status, 0);
    EXPECT_TRUE(text.out.contains("при сохранении тренда выйдет за допуск класса 2"))
        << text.out.data();

    const Run reference = cli({"Э-1", "--reference"});
    EXPECT_EQ(reference.status, 0) << reference.err.data();
    EXPECT_TRUE(reference.out.contains("Поверок с эталоном: 5")) << reference.out.data();

    const struct {
        QStringList args;
        int status;
    } failures[] = {
        {{"12"}, 1},                    // no such thermocouple
        {{"11", "--year", "2020"}, 1},  // none of that year
        {{}, 2},                        // no serial
        {{"11", "--year", "soon"}, 2},  // not a year
        {{"11", "--colour", "red"}, 2}, // unknown option
    };
    for (const auto &f : failures) {
        const Run r = cli(f.args);
        EXPECT_EQ(r.status, f.status) << f.args.join(' ').toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << f.args.join(' ').toStdString();
        EXPECT_FALSE(r.err.isEmpty()) << f.args.join(' ').toStdString();
    }
}

} // namespace
} // namespace kront::test
