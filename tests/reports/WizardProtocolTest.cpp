// Protocols of verifications carried through the procedure from page 1 to
// the conclusion: every stored reading and calculated value reaches the PDF
// in its format, through the wizard's own verification object.

#include "common/text/StringFunctions.h"
#include "reports/ProtocolPrinter.h"
#include "reports/ReportContext.h"
#include "tests/procedure/ProcedureFixture.h"

#include <QDir>
#include <QProcess>
#include <QStandardPaths>

namespace kront::test
{
namespace
{

class WizardProtocol : public ProcedureFixture
{
protected:
    void SetUp() override
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext is not installed";
        const QDir source(QStringLiteral(KRONT_SOURCE_DIR "/resources/protocol"));
        for (const QString &name : source.entryList(QDir::Files))
            QFile::copy(source.filePath(name), AppHome::protocolFile(name));
    }

    // The protocol of a channel through the wizard's object, as text.
    QString protocolText(int channel)
    {
        ReportContext ctx(db);
        const QString path = home.path() + QStringLiteral("/protocol-%1.pdf").arg(channel);
        ProtocolPrinter printer(ctx, dialogs, [&](report::Report &r, const QString &) {
            ASSERT_TRUE(r.prepare());
            ASSERT_TRUE(r.writePdf(path));
        });
        EXPECT_TRUE(printer.PrintChannel(poverka, channel))
            << dialogs.texts().join(u'\n').toStdString();
        QProcess p;
        p.start(QStringLiteral("pdftotext"),
                {QStringLiteral("-layout"), path, QStringLiteral("-")});
        p.waitForFinished(30000);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // Every value of the bunch's stored rows in the format the protocol prints it.
    QStringList storedTexts(int bunchID, const std::array<bool, 5> &inputs)
    {
        const bool electrode = poverka.Methodic != 0;
        QStringList texts;
        auto add = [&](const QVariant &v, int digits) {
            if (!v.isNull() && v.toDouble() > -299.0)
                texts << FloatToStrFixed(v.toDouble(), digits);
        };
        for (const QVariantMap &r :
             select(tables::ResultsTP, QStringLiteral("BunchID = %1").arg(bunchID))) {
            const QString op = r.value("Operation").toString();
            const bool measure = op == QLatin1String("Measure");
            const bool average = op == QLatin1String("Average");
            if (measure || average) {
                add(r.value("E_et"), 3);
                if (!measure || !electrode)
                    add(r.value("t_et"), 3);
            }
            if (average) {
                add(r.value("E_pret"), 3);
                if (electrode) {
                    add(r.value("Tsk"), 2);
                    add(r.value("E_Tsk"), 3);
                }
            }
            if (op == QLatin1String("E_t_sk")) {
                add(r.value("Tsk"), 2);
                add(r.value("E_Tsk"), 3);
            }
            const int digits = electrode || op == QLatin1String("Delta dop") ? 3 : 2;
            for (int k = 1; k <= 4; ++k) {
                if (!inputs[k])
                    continue;
                add(r.value(QStringLiteral("TEDSe1Inp%1").arg(k)), digits);
                if (electrode && (measure || average))
                    add(r.value(QStringLiteral("TEDSe2Inp%1").arg(k)), 3);
            }
        }
        return texts;
    }

    void expectAll(const QString &text, const QStringList &values)
    {
        EXPECT_GT(values.size(), 20);
        for (const QString &v : values)
            EXPECT_TRUE(text.contains(v)) << v.toStdString();
    }
};

TEST_F(WizardProtocol, DirectMethodWithInstabilityCheckTwoChannels)
{
    makeBunch(1, {1, 2, 4});
    makeBunch(2, {3});
    ASSERT_TRUE(setUp(0, 2, /*primary*/ 0, /*instability*/ true));
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep()); // before annealing
    EXPECT_FALSE(engine->acceptMeasurementPage());
    ASSERT_TRUE(measureStep()); // after annealing
    EXPECT_FALSE(engine->acceptMeasurementPage());
    ASSERT_TRUE(measureStep()); // first point
    EXPECT_FALSE(engine->acceptMeasurementPage());
    ASSERT_TRUE(measureStep());                   // second point
    EXPECT_TRUE(engine->acceptMeasurementPage()); // classes and finish

    const QString first = protocolText(1);
    EXPECT_TRUE(first.contains(QStringLiteral("ПРОТОКОЛ ПОВЕРКИ № 17/1")));
    EXPECT_TRUE(first.contains(QStringLiteral("первичной")));
    EXPECT_TRUE(first.contains(QStringLiteral("ПОСЛЕ отжига")));
    for (const char *serial : {"11", "12", "14"})
        EXPECT_TRUE(first.contains(QLatin1String(serial)));
    EXPECT_TRUE(first.contains(QStringLiteral("Годен.")));
    expectAll(first, storedTexts(bunches[1]->ID, {false, true, true, false, true}));

    const QString second = protocolText(2);
    EXPECT_TRUE(second.contains(QStringLiteral("ПРОТОКОЛ ПОВЕРКИ № 17/2")));
    expectAll(second, storedTexts(bunches[2]->ID, {false, false, false, true, false}));
}

TEST_F(WizardProtocol, ElectrodeComparisonOneChannel)
{
    makeBunch(1, {1, 2});
    ASSERT_TRUE(setUp(1, 1));
    engine->JvWizardInteriorPage4Page();
    ASSERT_TRUE(measureStep());
    EXPECT_TRUE(engine->acceptMeasurementPage());
    const QString text = protocolText(1);
    EXPECT_TRUE(text.contains(QStringLiteral("ПРОТОКОЛ ПОВЕРКИ № 17")));
    EXPECT_FALSE(text.contains(QStringLiteral("17/")));
    expectAll(text, storedTexts(bunches[1]->ID, {false, true, true, false, false}));
}

} // namespace
} // namespace kront::test
