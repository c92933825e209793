// Protocols and documents drawn from the default templates into PDFs, read
// back as text with pdftotext: what a lab archives and signs.

#include "common/text/StringFunctions.h"
#include "db/TableFile.h"
#include "model/TPoverka.h"
#include "reportengine/Expression.h"
#include "reports/ProtocolPrinter.h"
#include "reports/ReportContext.h"
#include "reports/SvidIssuer.h"
#include "settings/ProtIniFile.h"
#include "tests/reports/ReportsFixture.h"

#include <QCoreApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace kront::test
{
namespace
{

QString pdfText(const QString &pdf)
{
    QProcess p;
    p.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!p.waitForFinished(30000))
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput());
}

class ProtocolPdfTest : public ReportsFixture
{
protected:
    ReportContext ctx{db};
    QStringList written;

    void SetUp() override
    {
        ReportsFixture::SetUp();
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            GTEST_SKIP() << "pdftotext is not installed";
        installTemplates();
        ProtIniFile().setPovName(QStringLiteral("Иванов И.И."));
    }

    // Where the PDFs go: KRONT_REPORTS_PDF_DIR keeps them for a look.
    QString pdfPath(const QString &name) const
    {
        const QString dir = qEnvironmentVariable("KRONT_REPORTS_PDF_DIR");
        return (dir.isEmpty() ? home.path() : dir) + u'/' + name;
    }

    ReportPresenter writer(const QString &prefix)
    {
        return [this, prefix](report::Report &r, const QString &) {
            const QString path =
                pdfPath(prefix + QString::number(written.size() + 1) + QStringLiteral(".pdf"));
            ASSERT_TRUE(r.prepare());
            ASSERT_TRUE(r.writePdf(path)) << r.errorString().toStdString();
            EXPECT_TRUE(r.unknownNames().isEmpty()) << r.unknownNames().join(u' ').toStdString();
            written << path;
        };
    }

    // The text a cell prints as, the way pdftotext gives it back.
    static QString cell(int slot, int row, int column, int digits)
    {
        return FloatToStrFixed(sampleValue(slot, row, column), digits);
    }
};

TEST_F(ProtocolPdfTest, DirectProtocolHoldsNumbersSerialsAndEveryStoredValue)
{
    const DirectFixture f = makeDirect();
    ProtocolPrinter printer(ctx, dialogs, writer(QStringLiteral("direct-")));
    printer.printProtocols(f.poverkaID);
    ASSERT_EQ(written.size(), 2) << dialogs.texts().join(u'\n').toStdString();
    const QString text = pdfText(written[0]);
    // Collapse the layout's runs of blanks so that wrapped captions compare.
    for (const QString &expected :
         {QStringLiteral("ПРОТОКОЛ ПОВЕРКИ № 17/1"), QStringLiteral("A-101"),
          QStringLiteral("B-202"), QStringLiteral("D-404"), QStringLiteral("09.12.2026 15:30:05"),
          QStringLiteral("Печь КРОНТ-2М"), QStringLiteral("Вольтметр ТАВЕР-7"),
          QStringLiteral("Иванов И.И."), QStringLiteral("ДО"), QStringLiteral("ПОСЛЕ"),
          QStringLiteral("Не годен."), QStringLiteral("Годен."), QStringLiteral("20,5")})
        EXPECT_TRUE(text.contains(expected)) << expected.toStdString();
    // Every reading and calculated value of both points and both annealing
    // measurements, inputs 1, 2 and 4, in its format.
    for (int slot = 0; slot < 4; ++slot) {
        for (int m = 0; m < 4; ++m) {
            EXPECT_TRUE(text.contains(cell(slot, m, 0, 3))) << slot << " E_et " << m;
            EXPECT_TRUE(text.contains(cell(slot, m, 1, 3))) << slot << " t_et " << m;
        }
        for (int input : {1, 2, 4})
            for (int row = 0; row < 10; ++row) {
                const int digits = row == 9 ? 3 : 2;
                EXPECT_TRUE(text.contains(cell(slot, row, input + 1, digits)))
                    << "slot " << slot << " row " << row << " input " << input;
            }
        EXPECT_TRUE(text.contains(cell(slot, 5, 0, 2))) << slot << " T_SK";
        EXPECT_TRUE(text.contains(cell(slot, 6, 0, 3))) << slot << " PR_ET";
    }
    // No value of the empty input 3 and no point beyond the two.
    EXPECT_FALSE(text.contains(cell(0, 0, 4, 2)));
    EXPECT_FALSE(text.contains(cell(4, 0, 0, 3)));

    const QString second = pdfText(written[1]);
    EXPECT_TRUE(second.contains(QStringLiteral("ПРОТОКОЛ ПОВЕРКИ № 17/2")));
    EXPECT_TRUE(second.contains(QStringLiteral("E-505")));
    EXPECT_FALSE(second.contains(QStringLiteral("A-101")));
}

TEST_F(ProtocolPdfTest, ElectrodeProtocolOfOneBunchWithoutInstabilityPages)
{
    const ElectrodeFixture f = makeElectrode();
    ProtocolPrinter printer(ctx, dialogs, writer(QStringLiteral("electrode-")));
    printer.printProtocols(f.poverkaID);
    ASSERT_EQ(written.size(), 1);
    const QString text = pdfText(written[0]);
    EXPECT_TRUE(text.contains(QStringLiteral("ПРОТОКОЛ ПОВЕРКИ № E-5"))) << text.toStdString();
    EXPECT_FALSE(text.contains(QStringLiteral("E-5/")));
    EXPECT_TRUE(text.contains(QStringLiteral("08.12.2026")));
    EXPECT_TRUE(text.contains(QStringLiteral("периодической")));
    EXPECT_FALSE(text.contains(QStringLiteral("отжига")));
    for (int k : {1, 3}) {
        for (int row = 0; row < 3; ++row) {
            EXPECT_TRUE(text.contains(cell(0, row, 2 * k, 3))) << row << " e1 " << k;
            EXPECT_TRUE(text.contains(cell(0, row, 2 * k + 1, 3))) << row << " e2 " << k;
        }
        for (int row = 3; row < 8; ++row)
            EXPECT_TRUE(text.contains(cell(0, row, k + 1, 3))) << row << " input " << k;
    }
    EXPECT_TRUE(text.contains(cell(0, 3, 0, 2)));
    EXPECT_TRUE(text.contains(cell(0, 4, 0, 3)));
}

TEST_F(ProtocolPdfTest, MissingTemplateAndMissingRowsAreRefusedWithTheirMessages)
{
    const DirectFixture f = makeDirect();
    ProtocolPrinter printer(ctx, dialogs, writer(QStringLiteral("refused-")));
    db.DBDeleteResultsTPFilter(
        QStringLiteral("BunchID = %1 and Operation = 'E nsh'").arg(f.bunch2));
    printer.printProtocols(f.poverkaID);
    EXPECT_EQ(written.size(), 1); // the first bunch prints, the second is refused
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Не удалось прочитать результат поверки при формировании протокола "
                             "поверки ТП! Операция не выполнена."));
    QFile::remove(AppHome::protocolFile(ProtocolTemplateName(false)));
    printer.printProtocols(f.poverkaID);
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Файл шаблона протокола '") +
                                       AppHome::protocolFile(ProtocolTemplateName(false)) +
                                       QStringLiteral("' не найден! Операция не выполнена."));
    EXPECT_TRUE(ctx.protocol.ProtPointsDirect.empty());
    EXPECT_EQ(ctx.protocol.poverka, nullptr);
}

TEST_F(ProtocolPdfTest, InstabilityBandsFollowTheVerification)
{
    const DirectFixture f = makeDirect();
    bool bandsVisible = false, onPrevious = true;
    ProtocolPrinter printer(ctx, dialogs, [&](report::Report &r, const QString &) {
        bandsVisible =
            r.findBand("MasterData2")->isVisible() && r.findBand("MasterData3")->isVisible();
        onPrevious = r.findPage("Page3")->printOnPreviousPage();
        // Two points in the direct fixture, one in the electrode one.
        EXPECT_EQ(r.userDataSet("frxUserDataSet1").recordCount(), bandsVisible ? 2 : 1);
        EXPECT_EQ(r.userDataSet("frxUserDataSet2").recordCount(), 2);
        EXPECT_EQ(r.userDataSet("frxUserDataSet3").recordCount(), 1);
        EXPECT_EQ(r.variableExpression("PovName").value_or(QString()),
                  QStringLiteral("'Иванов И.И.'"));
    });
    EXPECT_EQ(printer.PrintStored(f.poverkaID, 2), 1);
    EXPECT_TRUE(bandsVisible);
    EXPECT_FALSE(onPrevious);
    const ElectrodeFixture e = makeElectrode();
    EXPECT_EQ(printer.PrintStored(e.poverkaID, 2), 1);
    EXPECT_FALSE(bandsVisible);
    EXPECT_TRUE(onPrevious);
    EXPECT_EQ(printer.PrintStored(e.poverkaID, 1), -1);
}

TEST_F(ProtocolPdfTest, CertificateAndNoticeCarryTheReferenceTexts)
{
    const DirectFixture f = makeDirect();
    settings.setOrganNameLines({QStringLiteral("ФБУ «Тестовый ЦСМ»")});
    settings.setRukDolgnost(QStringLiteral("Начальник отдела"));
    settings.setNumbering(DocumentKind::Certificate, {true, 7, 4});
    settings.setNumbering(DocumentKind::Notice, {true, 3, 3});
    SvidIssuer issuer(
        ctx, dialogs, settings,
        [&](const std::vector<TSensOpts> &) -> std::optional<QList<int>> {
            return QList<int>{f.sensors[1], f.sensors[2]};
        },
        [&](report::Report &r, const QString &) {
            r.setVariable("NAME_RUK", report::quoted("Сидоров С.С."));
            r.setVariable("DATE_ACTING", report::quoted("09.12.2027"));
            r.setVariable("PRICHINA", report::quoted("Отклонение ТЭДС превышает допускаемое"));
            writer(QStringLiteral("document-"))(r, QString());
            r.notifyPrinted();
        });
    issuer.issueDocuments(f.poverkaID);
    ASSERT_EQ(written.size(), 2) << dialogs.texts().join(u'\n').toStdString();
    const QString cert = pdfText(written[0]);
    for (const char *expected :
         {"ФБУ «Тестовый ЦСМ»", "СВИДЕТЕЛЬСТВО О ПОВЕРКЕ", "№ 0007", "Действительно до",
          "09.12.2027", "хромель-алюмелевый", "заводской номер:", "A-101, 2019", "ООО «Завод»",
          "первичной", "по 2 классу", "Поверительное клеймо", "10.12.2026", "Поверитель",
          "Иванов И.И.", "Начальник отдела", "Сидоров С.С.",
          "должность руководителя подразделения"})
        EXPECT_TRUE(cert.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_FALSE(cert.contains(QStringLiteral("Параметры ТП"))); // only for ТПП and ТПР
    const QString notice = pdfText(written[1]);
    for (const char *expected : {"ИЗВЕЩЕНИЕ О НЕПРИГОДНОСТИ К ПРИМЕНЕНИЮ", "№ 003", "B-202",
                                 "Отклонение ТЭДС превышает допускаемое", "непригодным"})
        EXPECT_TRUE(notice.contains(QString::fromUtf8(expected))) << expected;
}

// B-202 (ТХК, class 2) of channel 1 fails at its second point: 0,5 mV off the
// characteristic at 400 °C, where class 2 allows 2,7 °C (0,2 mV).
TEST_F(ProtocolPdfTest, NoticeStatesTheReasonWithItsNumbersAndItsReprintAgain)
{
    const DirectFixture f = makeDirect();
    const QString point1 =
        QStringLiteral("PoverkaID = %1 and BunchID = %2 and Stage = "
                       "'Calculation' and MeasPointNum = 1 and Operation = '%3'");
    ASSERT_EQ(db.updateWhere(tables::ResultsTP,
                             point1.arg(f.poverkaID).arg(f.bunch1).arg("Average"),
                             {{"t_et", 400.0}}),
              1);
    ASSERT_EQ(db.updateWhere(tables::ResultsTP, point1.arg(f.poverkaID).arg(f.bunch1).arg("Delta"),
                             {{"TEDSe1Inp2", 0.5}}),
              1);
    ASSERT_EQ(db.updateWhere(tables::ResultsTP,
                             point1.arg(f.poverkaID).arg(f.bunch1).arg("Delta dop"),
                             {{"TEDSe1Inp2", 0.2}}),
              1);
    settings.setNumbering(DocumentKind::Notice, {true, 3, 3});
    QString offered;
    const auto printing = [&](report::Report &r, const QString &) {
        offered = report::unquoted(r.variableExpression("PRICHINA").value_or(QString()));
        writer(QStringLiteral("reasons-"))(r, QString());
        r.notifyPrinted();
    };
    SvidIssuer issuer(
        ctx, dialogs, settings,
        [&](const std::vector<TSensOpts> &) -> std::optional<QList<int>> {
            return QList<int>{f.sensors[2]};
        },
        printing);
    issuer.issueDocuments(f.poverkaID);
    ASSERT_EQ(written.size(), 1) << dialogs.texts().join(u'\n').toStdString();

    // 0,5 mV over the slope of the L characteristic at 400 °C, 0,0876 mV/°C.
    const QRegularExpression reason(QStringLiteral(
        "Причины непригодности: Отклонение ТЭДС от НСХ при 400,0 °C составляет 5,71 °C "
        "\\(допускается ±2,70 °C для класса 2\\)"));
    EXPECT_TRUE(reason.match(offered.prepend(QStringLiteral("Причины непригодности: "))).hasMatch())
        << offered.toStdString();
    const QString notice = pdfText(written[0]).simplified();
    EXPECT_TRUE(reason.match(notice).hasMatch()) << notice.toStdString();
    EXPECT_FALSE(notice.contains(QStringLiteral("при 104,0"))); // the first point passed

    const auto bunch = db.select(tables::BunchesTP, QStringLiteral("ID = %1").arg(f.bunch1));
    const int docID = bunch->front().value("EmittedDocIDInp2").toInt();
    ASSERT_GT(docID, 0);
    const auto stored = db.select(tables::IzvReasons, QStringLiteral("DocID = %1").arg(docID));
    ASSERT_TRUE(stored && stored->size() == 1u);
    EXPECT_TRUE(reason
                    .match(QStringLiteral("Причины непригодности: ") +
                           stored->front().value("Reasons").toString())
                    .hasMatch());

    SvidIssuer reprinter(ctx, dialogs, settings, nullptr, printing);
    ASSERT_TRUE(reprinter.ReprintDocument(docID)) << dialogs.texts().join(u'\n').toStdString();
    ASSERT_EQ(written.size(), 2);
    const QString reprint = pdfText(written[1]).simplified();
    EXPECT_TRUE(reason.match(reprint).hasMatch()) << reprint.toStdString();
    EXPECT_EQ(db.select(tables::IzvReasons, QString())->size(), 1u); // a reprint records nothing

    // A notice of an older program: its Prichina, no stored reasons.
    if (onServerStore())
        return; // a server's table cannot be taken away as a file is
    ASSERT_EQ(db.updateWhere(tables::Documents, QStringLiteral("ID = %1").arg(docID),
                             {{"Prichina", QStringLiteral("Трещина в защитном чехле")}}),
              1);
    ASSERT_TRUE(QFile::remove(tableFilePath(tables::IzvReasons)));
    ASSERT_TRUE(reprinter.ReprintDocument(docID)) << dialogs.texts().join(u'\n').toStdString();
    ASSERT_EQ(written.size(), 3);
    const QString older = pdfText(written[2]).simplified();
    EXPECT_TRUE(older.contains(QStringLiteral("Причины непригодности: Трещина в защитном чехле")))
        << older.toStdString();
}

TEST_F(ProtocolPdfTest, PlatinumThermocouplesGetTheParametersPage)
{
    const DirectFixture f = makeDirect();
    const int tpp = db.select(tables::BunchesTP, QStringLiteral("ID = %1").arg(f.bunch2))
                        ->front()
                        .value("PovSensorID1")
                        .toInt();
    bool additional = false;
    SvidIssuer issuer(
        ctx, dialogs, settings,
        [&](const std::vector<TSensOpts> &) -> std::optional<QList<int>> {
            return QList<int>{tpp};
        },
        [&](report::Report &r, const QString &) {
            additional = report::truthValue(r.variableValue("ADDITIONAL_PARAMS"));
            r.setVariable("GLUBINA", report::quoted("250"));
            r.setVariable("DLINA", report::quoted("1000"));
            writer(QStringLiteral("platinum-"))(r, QString());
        });
    issuer.issueDocuments(f.poverkaID);
    ASSERT_EQ(written.size(), 1);
    EXPECT_TRUE(additional);
    const QString text = pdfText(written[0]);
    for (const char *expected : {"Параметры ТП", "печи при поверке: 250 мм.", "Диаметр: 0,5",
                                 "Длина: 1000", "Масса: 0,2", "E-505, 2017"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected;
}

TEST_F(ProtocolPdfTest, AYearDiameterOrMassNotGivenPrintsNothing)
{
    const DirectFixture f = makeDirect();
    // Stored the way a verification stores the empty cells of the sensors
    // editor; the lower limit keeps a lone 0 out of the working range.
    ASSERT_GT(db.updateWhere(tables::Sensors, QStringLiteral("ID > 0"),
                             {{QStringLiteral("ProdYear"), 0},
                              {QStringLiteral("Diameter"), 0.0},
                              {QStringLiteral("Mass"), 0.0},
                              {QStringLiteral("WDTLowLim"), -40.0}}),
              0);
    ProtocolPrinter printer(ctx, dialogs, writer(QStringLiteral("unknown-protocol-")));
    printer.printProtocols(f.poverkaID);
    ASSERT_EQ(written.size(), 2) << dialogs.texts().join(u'\n').toStdString();
    const QString protocol = pdfText(written[0]);
    const QString sensorLine = protocol.split(u'\n').filter(QStringLiteral("A-101")).value(0);
    EXPECT_TRUE(sensorLine.contains(QStringLiteral("От -40 до 1000"))) << sensorLine.toStdString();
    EXPECT_FALSE(sensorLine.contains(QStringLiteral(", 0"))) << sensorLine.toStdString();
    EXPECT_FALSE(sensorLine.contains(QRegularExpression(QStringLiteral("\\s0(\\s|$)"))))
        << sensorLine.toStdString();

    written.clear();
    SvidIssuer issuer(
        ctx, dialogs, settings,
        [&](const std::vector<TSensOpts> &offered) -> std::optional<QList<int>> {
            QList<int> all;
            for (const TSensOpts &s : offered)
                all << s.SensorID;
            return all;
        },
        [&](report::Report &r, const QString &) {
            writer(QStringLiteral("unknown-document-"))(r, QString());
            r.notifyPrinted();
        });
    issuer.issueDocuments(f.poverkaID);
    ASSERT_EQ(written.size(), 4) << dialogs.texts().join(u'\n').toStdString();
    const QString notice = pdfText(written[1]);
    EXPECT_TRUE(notice.contains(QStringLiteral("B-202"))) << notice.toStdString();
    EXPECT_FALSE(notice.contains(QStringLiteral("B-202,")));
    const QString platinum = pdfText(written[3]); // the ТПП13 of channel 2
    EXPECT_TRUE(platinum.contains(QStringLiteral("E-505"))) << platinum.toStdString();
    EXPECT_FALSE(platinum.contains(QStringLiteral("E-505,")));
    EXPECT_TRUE(platinum.contains(QRegularExpression(QStringLiteral("Диаметр:[ \\t]*\\n"))))
        << platinum.toStdString();
    EXPECT_TRUE(platinum.contains(QRegularExpression(QStringLiteral("Масса:[ \\t]*(\\n|$)"))));
    const auto stored = db.select(tables::Documents, QStringLiteral("DocType = False"));
    ASSERT_TRUE(stored && stored->size() == 3u);
    EXPECT_EQ(stored->back().value("Diameter").toString(), QString());
    EXPECT_EQ(stored->back().value("Massa").toString(), QString());
}

TEST_F(ProtocolPdfTest, ANewCertificateAndItsReprintPrintTheSameTexts)
{
    const DirectFixture f = makeDirect();
    ASSERT_EQ(
        db.updateWhere(tables::Sensors, QStringLiteral("SerialNum = 'E-505'"),
                       {{QStringLiteral("Diameter"), 0.125}, {QStringLiteral("Mass"), 12.375}}),
        1);
    const int tpp = db.select(tables::BunchesTP, QStringLiteral("ID = %1").arg(f.bunch2))
                        ->front()
                        .value("PovSensorID1")
                        .toInt();
    settings.setOrganNameLines({QStringLiteral("ФБУ «Тестовый ЦСМ»") + QString(260, u'Ж')});
    settings.setNumbering(DocumentKind::Certificate, {true, 7, 10});
    SvidIssuer issuer(
        ctx, dialogs, settings,
        [&](const std::vector<TSensOpts> &) -> std::optional<QList<int>> {
            return QList<int>{tpp};
        },
        [&](report::Report &r, const QString &) {
            if (r.findDialogPage("DialogPage1")->isVisible()) {
                r.setVariable("GLUBINA", report::quoted("250"));
                r.setVariable("DLINA", report::quoted("1000"));
            }
            writer(QStringLiteral("reprint-"))(r, QString());
            r.notifyPrinted();
        });
    issuer.issueDocuments(f.poverkaID);
    settings.reset();
    const auto docs = db.select(tables::Documents, QString());
    ASSERT_TRUE(docs && docs->size() == 1u);
    EXPECT_TRUE(issuer.ReprintDocument(docs->front().value("ID").toInt()));
    ASSERT_EQ(written.size(), 2);
    const QString issued = pdfText(written[0]);
    for (const char *expected : {"№ 00000007", "Диаметр: 0,12\n", "Масса: 12,4\n", "Длина: 1000"})
        EXPECT_TRUE(issued.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_EQ(pdfText(written[1]).toStdString(), issued.toStdString());
    ASSERT_EQ(dialogs.shown.size(), 1u); // the operator was told
    EXPECT_TRUE(dialogs.last().text.contains(QStringLiteral("'0,125' → '0,12'")));
}

TEST_F(ProtocolPdfTest, CommandLineWritesProtocolsAndDocumentsWithoutADisplay)
{
    const DirectFixture f = makeDirect();
    const QString exe = QCoreApplication::applicationDirPath() + "/../bin/kront-cli";
    if (!QFileInfo::exists(exe))
        GTEST_SKIP() << "kront-cli is not built";
    auto run = [&](const QStringList &args) {
        QProcess p;
        p.start(exe, QStringList{"--home", home.path()} + args);
        p.waitForFinished(60000);
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()));
    };
    const QString pdf = home.path() + "/archive.pdf";
    EXPECT_EQ(run({"protocol", QString::number(f.poverkaID), "--pdf", pdf}).first, 0);
    EXPECT_TRUE(pdfText(home.path() + "/archive-1.pdf").contains("17/1"));
    EXPECT_TRUE(pdfText(home.path() + "/archive-2.pdf").contains("17/2"));
    EXPECT_EQ(run({"protocol", QString::number(f.poverkaID), "--channel", "2", "--pdf", pdf}).first,
              0);
    EXPECT_TRUE(pdfText(pdf).contains("E-505"));
    const auto missing = run({"protocol", "999", "--pdf", pdf});
    EXPECT_EQ(missing.first, 1);
    EXPECT_TRUE(missing.second.contains("Не найдены данные в базе данных пучков ТП"));
    EXPECT_EQ(run({"protocol", "x", "--pdf", pdf}).first, 2);
    EXPECT_EQ(run({"document", "1", "--pdf", pdf}).first, 1); // nothing issued yet
}

TEST_F(ProtocolPdfTest, CommandLineOnAHomeWithoutTemplatesPrintsFromTheInstalledOnes)
{
    const DirectFixture f = makeDirect();
    const QString exe = QCoreApplication::applicationDirPath() + "/../bin/kront-cli";
    if (!QFileInfo::exists(exe))
        GTEST_SKIP() << "kront-cli is not built";
    ASSERT_TRUE(QDir(home.path() + "/Protocol").removeRecursively());
    QProcess p;
    const QString pdf = home.path() + "/fresh.pdf";
    p.start(exe, {"--home", home.path(), "protocol", QString::number(f.poverkaID), "--channel", "1",
                  "--pdf", pdf});
    p.waitForFinished(60000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(pdfText(pdf).contains("17/1"));
}

} // namespace
} // namespace kront::test
