#include "reportengine/Expression.h"
#include "reports/DocumentFit.h"
#include "reports/DocumentRecords.h"
#include "reports/ReportContext.h"
#include "reports/SvidIssuer.h"
#include "settings/ProtIniFile.h"
#include "settings/SettingsFile.h"
#include "tests/reports/ReportsFixture.h"
#include "tests/support/TestServer.h"

namespace kront::test
{
namespace
{

// What one preview saw and what the operator did in it.
struct Preview {
    QString numberExpression; // NUM_SVID or NUM_IZV as set by the program
    bool dialogVisible = false;
    QString zavNum, className, kind, date, organ;
    QString prichina;
};

class DocumentsTest : public ReportsFixture
{
protected:
    ReportContext ctx{db};
    std::vector<Preview> previews;
    // Per preview: the operator's edits (variable -> text) and whether he prints.
    std::vector<std::pair<QVariantMap, bool>> operatorActions;
    QList<int> ticked;
    bool cancelChooser = false;
    std::vector<TSensOpts> offered;

    void SetUp() override
    {
        ReportsFixture::SetUp();
        installTemplates();
    }

    SvidIssuer issuer()
    {
        return SvidIssuer(
            ctx, dialogs, settings,
            [this](const std::vector<TSensOpts> &list) -> std::optional<QList<int>> {
                offered = list;
                if (cancelChooser)
                    return std::nullopt;
                return ticked;
            },
            [this](report::Report &r, const QString &) { present(r); });
    }

    void present(report::Report &r)
    {
        Preview p;
        const bool notice = r.hasVariable(QStringLiteral("NUM_IZV"));
        p.numberExpression =
            r.variableExpression(notice ? QStringLiteral("NUM_IZV") : QStringLiteral("NUM_SVID"))
                .value_or(QString());
        const report::DialogPage *dialog = r.findDialogPage(QStringLiteral("DialogPage1"));
        p.dialogVisible = dialog && dialog->isVisible();
        p.zavNum = r.resolve(QStringLiteral("ZAV_NUM")).toString();
        p.className = r.resolve(QStringLiteral("CLASS")).toString();
        p.kind = r.resolve(QStringLiteral("POV_KIND")).toString();
        p.date =
            r.resolve(notice ? QStringLiteral("DATE_IZV") : QStringLiteral("DATE_SVID")).toString();
        p.organ = r.resolve(QStringLiteral("NAIM_POVERITEL")).toString();
        p.prichina = r.variableExpression(QStringLiteral("PRICHINA")).value_or(QString());
        const size_t index = previews.size();
        previews.push_back(p);
        if (index >= operatorActions.size())
            return; // closed without printing
        const auto &[edits, print] = operatorActions[index];
        for (auto it = edits.begin(); it != edits.end(); ++it)
            r.setVariable(it.key(), report::quoted(it.value().toString()));
        EXPECT_TRUE(r.prepare());
        if (print)
            r.notifyPrinted();
    }

    void numbering(bool on, int next, int digits)
    {
        settings.setNumbering(DocumentKind::Certificate, {on, next, digits});
        settings.setNumbering(DocumentKind::Notice, {on, next + 100, digits});
    }

    QVariantMap bunchRow(int id)
    {
        return db.select(tables::BunchesTP, QStringLiteral("ID = %1").arg(id))->front();
    }
    std::vector<QVariantMap> documents() { return *db.select(tables::Documents, QString()); }
};

TEST_F(DocumentsTest, OffersEverySensorOfANormalVerificationInBunchOrder)
{
    const DirectFixture f = makeDirect();
    cancelChooser = true;
    issuer().issueDocuments(f.poverkaID);
    ASSERT_EQ(offered.size(), 4u);
    EXPECT_EQ(offered[0].SensorID, f.sensors[1]);
    EXPECT_EQ(offered[1].Result, QStringLiteral("Брак"));
    EXPECT_EQ(offered[2].InputNum, 4);
    EXPECT_EQ(offered[2].SerialNum, QStringLiteral("D-404"));
    EXPECT_EQ(offered[2].NSHType, QStringLiteral("THA"));
    EXPECT_EQ(offered[2].ProdYear, QStringLiteral("2018"));
    EXPECT_EQ(offered[3].ChannelNum, 2);
    EXPECT_TRUE(previews.empty());
    EXPECT_FALSE(ctx.document.DocPrintMode);
    EXPECT_TRUE(ctx.document.ChosenSensors.empty());
}

TEST_F(DocumentsTest, AnInterruptedVerificationOffersOnlyItsRejectedSensors)
{
    const int pov = insertPoverka("T", QDateTime(QDate(2026, 12, 1), QTime(10, 0)), 0, 0, false, 3);
    BunchRow b;
    b.poverkaID = pov;
    b.sensors = {0, insertSensor({"F1", "THA", "", ""}), insertSensor({"R2", "THA", "", ""}), 0, 0};
    b.results = {QString(), QStringLiteral("2"), QStringLiteral("Бр."), QString(), QString()};
    b.terminated = true;
    insertBunch(b);
    cancelChooser = true;
    issuer().issueDocuments(pov);
    ASSERT_EQ(offered.size(), 1u);
    EXPECT_EQ(offered[0].SerialNum, QStringLiteral("R2"));
}

TEST_F(DocumentsTest, TwoCertificatesAreNumberedInTurnAndRecorded)
{
    const DirectFixture f = makeDirect();
    numbering(true, 7, 4);
    ticked = {f.sensors[1], f.sensors[4]};
    operatorActions = {{{}, true}, {{}, true}};
    issuer().issueDocuments(f.poverkaID);

    ASSERT_EQ(previews.size(), 2u);
    EXPECT_EQ(previews[0].numberExpression, QStringLiteral("'0007'"));
    EXPECT_EQ(previews[1].numberExpression, QStringLiteral("'0008'"));
    EXPECT_TRUE(previews[0].dialogVisible);
    EXPECT_EQ(previews[0].zavNum, QStringLiteral("A-101"));
    EXPECT_EQ(previews[0].className, QStringLiteral("2"));
    EXPECT_EQ(previews[0].kind, QStringLiteral("первичной"));
    EXPECT_EQ(previews[0].date, QStringLiteral("10.12.2026"));
    EXPECT_EQ(settings.numbering(DocumentKind::Certificate).nextNum, 9);
    EXPECT_EQ(SettingsFile().svidNextNum(), 9);

    const auto docs = documents();
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0].value("DocNum").toString(), QStringLiteral("0007"));
    EXPECT_FALSE(docs[0].value("DocType").toBool());
    EXPECT_FALSE(docs[0].value("PovKind").toBool());
    EXPECT_EQ(docs[0].value("ZavNum").toString(), QStringLiteral("A-101"));
    EXPECT_EQ(docs[0].value("DateDoc").toString(), QStringLiteral("10.12.2026"));
    EXPECT_EQ(docs[1].value("Class").toString(), QStringLiteral("1"));
    EXPECT_EQ(docs[1].value("Diameter").toString(), QStringLiteral("3"));
    EXPECT_EQ(docs[1].value("Massa").toString(), QStringLiteral("0,15"));

    const QVariantMap b = bunchRow(f.bunch1);
    EXPECT_EQ(b.value("DocNumInp1").toString(), QStringLiteral("0007"));
    EXPECT_EQ(b.value("EmittedDocIDInp1").toInt(), docs[0].value("ID").toInt());
    EXPECT_EQ(b.value("DocNumInp4").toString(), QStringLiteral("0008"));
    EXPECT_EQ(b.value("EmittedDocIDInp4").toInt(), docs[1].value("ID").toInt());
    EXPECT_TRUE(b.value("DocNumInp2").toString().isEmpty());
    EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(DocumentsTest, TheOperatorsNumberSetsTheNextOne)
{
    const DirectFixture f = makeDirect();
    numbering(true, 7, 4);
    ticked = {f.sensors[1]};
    operatorActions = {{{{"NUM_SVID", "0015"}}, true}};
    issuer().issueDocuments(f.poverkaID);
    EXPECT_EQ(SettingsFile().svidNextNum(), 16);
    EXPECT_EQ(bunchRow(f.bunch1).value("DocNumInp1").toString(), QStringLiteral("0015"));
}

TEST_F(DocumentsTest, ANonNumericNumberSwitchesNumberingOffAndIsStillRecorded)
{
    const DirectFixture f = makeDirect();
    numbering(true, 7, 4);
    ticked = {f.sensors[1], f.sensors[4]};
    operatorActions = {{{{"NUM_SVID", "12А"}}, true}, {{}, true}};
    issuer().issueDocuments(f.poverkaID);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Указан нечисловой номер свидетельства: '12А'! "
                                                  "Автонумерация свидетельств будет отключена."));
    EXPECT_FALSE(settings.numbering(DocumentKind::Certificate).autoNum);
    EXPECT_FALSE(SettingsFile().svidAutoNum());
    // The second certificate is offered no number any more.
    ASSERT_EQ(previews.size(), 2u);
    EXPECT_EQ(previews[1].numberExpression, QStringLiteral("''"));
    const auto docs = documents();
    ASSERT_EQ(docs.size(), 2u);
    EXPECT_EQ(docs[0].value("DocNum").toString(), QStringLiteral("12А"));
    EXPECT_EQ(bunchRow(f.bunch1).value("DocNumInp1").toString(), QStringLiteral("12А"));
    EXPECT_EQ(bunchRow(f.bunch1).value("EmittedDocIDInp1").toInt(), docs[0].value("ID").toInt());
}

TEST_F(DocumentsTest, AnEmptyNumberUnderAutomaticNumberingFailsTheCheckToo)
{
    const DirectFixture f = makeDirect();
    numbering(true, 7, 4);
    ticked = {f.sensors[1]};
    operatorActions = {{{{"NUM_SVID", ""}}, true}};
    issuer().issueDocuments(f.poverkaID);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Указан нечисловой номер свидетельства: ''! "
                                                  "Автонумерация свидетельств будет отключена."));
    EXPECT_EQ(documents().size(), 1u);
}

TEST_F(DocumentsTest, APreviewClosedWithoutPrintingRecordsNothing)
{
    if (onServerStore())
        GTEST_SKIP() << "a server gives each opened document its own number (DocumentNumbersTest)";
    const DirectFixture f = makeDirect();
    numbering(true, 7, 4);
    ticked = {f.sensors[1], f.sensors[4]};
    operatorActions = {{{}, false}, {{}, false}};
    issuer().issueDocuments(f.poverkaID);
    ASSERT_EQ(previews.size(), 2u);
    EXPECT_EQ(previews[1].numberExpression, QStringLiteral("'0007'"));
    EXPECT_EQ(settings.numbering(DocumentKind::Certificate).nextNum, 7);
    EXPECT_TRUE(documents().empty());
    EXPECT_TRUE(bunchRow(f.bunch1).value("DocNumInp1").toString().isEmpty());
}

TEST_F(DocumentsTest, AReprintShowsTheStoredDocumentWithoutItsDialogAndRecordsNothing)
{
    const DirectFixture f = makeDirect();
    numbering(true, 7, 4);
    ticked = {f.sensors[1], f.sensors[2]};
    operatorActions = {{{{"NAME_POV", "Петров П.П."}}, true},
                       {{{"PRICHINA", "Отклонение ТЭДС"}, {"NAME_RUK", "Сидоров С.С."}}, true}};
    issuer().issueDocuments(f.poverkaID);
    ASSERT_EQ(documents().size(), 2u);
    EXPECT_EQ(ProtIniFile().povName(), QStringLiteral("Петров П.П."));
    EXPECT_EQ(ProtIniFile().rukName(), QStringLiteral("Сидоров С.С."));
    EXPECT_EQ(previews[1].numberExpression, QStringLiteral("'0107'")); // notices count apart
    EXPECT_EQ(documents()[1].value("Prichina").toString(), QStringLiteral("Отклонение ТЭДС"));
    EXPECT_TRUE(documents()[1].value("DocType").toBool());
    EXPECT_EQ(documents()[1].value("Class").toString(), QStringLiteral("Бр."));

    // The numbering moves on, but an issued document keeps its own number.
    previews.clear();
    operatorActions = {{{}, true}, {{}, true}};
    issuer().issueDocuments(f.poverkaID);
    ASSERT_EQ(previews.size(), 2u);
    EXPECT_FALSE(previews[0].dialogVisible);
    EXPECT_EQ(previews[0].numberExpression, QStringLiteral("'0007'"));
    EXPECT_EQ(previews[0].kind, QStringLiteral("первичной"));
    EXPECT_EQ(previews[1].numberExpression, QStringLiteral("'0107'"));
    EXPECT_EQ(previews[1].prichina, QStringLiteral("'Отклонение ТЭДС'"));
    EXPECT_EQ(documents().size(), 2u);
    EXPECT_EQ(SettingsFile().svidNextNum(), 8);

    // By its ID (the command line's reprint).
    previews.clear();
    operatorActions.clear();
    SvidIssuer i = issuer();
    EXPECT_TRUE(i.ReprintDocument(documents()[0].value("ID").toInt()));
    ASSERT_EQ(previews.size(), 1u);
    EXPECT_EQ(previews[0].zavNum, QStringLiteral("A-101"));
    EXPECT_FALSE(i.ReprintDocument(999));
    EXPECT_EQ(documents().size(), 2u);
}

TEST_F(DocumentsTest, ALinkWithANumberButNoDocumentStopsTheRun)
{
    const int pov = insertPoverka("L", QDateTime(QDate(2026, 12, 1), QTime(10, 0)), 0, 1, false, 1);
    BunchRow b;
    b.poverkaID = pov;
    b.sensors = {0, insertSensor({"F1", "THA", "", ""}), insertSensor({"R2", "THA", "", ""}), 0, 0};
    b.results = {QString(), QStringLiteral("2"), QStringLiteral("Бр."), QString(), QString()};
    b.docNums = {QString(), QStringLiteral("0001"), QString(), QString(), QString()};
    insertBunch(b);
    // Tick everything the chooser offers.
    SvidIssuer i(
        ctx, dialogs, settings,
        [](const std::vector<TSensOpts> &list) -> std::optional<QList<int>> {
            QList<int> all;
            for (const TSensOpts &s : list)
                all << s.SensorID;
            return all;
        },
        [this](report::Report &r, const QString &) { present(r); });
    i.issueDocuments(pov);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().text,
              QStringLiteral("Не найдены данные выданного свидетельства! Операция отменена."));
    EXPECT_TRUE(previews.empty()); // the run ends before the notice of input 2
}

TEST_F(DocumentsTest, AMissingTemplateStopsTheRunWithItsPath)
{
    const DirectFixture f = makeDirect();
    QFile::remove(AppHome::protocolFile(CertificateTemplateName()));
    ticked = {f.sensors[1]};
    issuer().issueDocuments(f.poverkaID);
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.last().text, QStringLiteral("Файл шаблона документа '") +
                                       AppHome::protocolFile(CertificateTemplateName()) +
                                       QStringLiteral("' не найден! Операция отменена."));
}

// Settings and sensor values longer than the Documents columns that record
// them: the new document prints what its reprint shows, and the operator is
// told what was shortened.
TEST_F(DocumentsTest, ANewDocumentPrintsWhatItsReprintShows)
{
    const DirectFixture f = makeDirect();
    ASSERT_EQ(db.updateWhere(tables::Sensors, "SerialNum = 'E-505'",
                             {{"Diameter", 0.125}, {"Mass", 12.375}}),
              1);
    const int tpp = bunchRow(f.bunch2).value("PovSensorID1").toInt();
    numbering(true, 7, 10);
    settings.setOrganNameLines({QString(300, u'Ц')});
    settings.setRukDolgnost(QString(100, u'Д'));
    ProtIniFile().setPovName(QString(70, u'П'));

    using Printed = std::map<std::string, std::string>; // every name the template uses
    std::vector<Printed> printed;
    auto issue = [&](const QList<int> &chosen, int reprintID) {
        SvidIssuer i(
            ctx, dialogs, settings,
            [chosen](const std::vector<TSensOpts> &) -> std::optional<QList<int>> {
                return chosen;
            },
            [&](report::Report &r, const QString &) {
                Printed values;
                for (const QString &name : r.usedNames())
                    if (name != QLatin1String("PRINTED"))
                        values[name.toStdString()] = r.resolve(name).toString().toStdString();
                printed.push_back(values);
                EXPECT_TRUE(r.prepare());
                r.notifyPrinted();
            });
        if (reprintID > 0)
            EXPECT_TRUE(i.ReprintDocument(reprintID));
        else
            i.issueDocuments(f.poverkaID);
    };
    issue({f.sensors[2], tpp}, 0); // a notice, then the certificate
    ASSERT_EQ(printed.size(), 2u);
    const auto docs = documents();
    ASSERT_EQ(docs.size(), 2u);
    for (int k = 0; k < 2; ++k) {
        issue({}, docs[k].value("ID").toInt());
        ASSERT_EQ(printed.size(), size_t(3 + k));
        EXPECT_EQ(printed.back(), printed[k]) << (k ? "certificate" : "notice");
    }
    EXPECT_EQ(printed[1].at("DIAM"), "0,12");
    EXPECT_EQ(printed[1].at("MASSA"), "12,4");
    EXPECT_EQ(printed[1].at("NUM_SVID"), "00000007");
    EXPECT_EQ(printed[0].at("NUM_IZV"), "00000107");
    EXPECT_EQ(printed[1].at("NAIM_POVERITEL"), QString(253, u'Ц').toStdString());
    EXPECT_EQ(docs[1].value("MetrologyOrganName").toString(), "'" + QString(253, u'Ц') + "'");
    EXPECT_EQ(docs[1].value("DolgRuk").toString(), QString(80, u'Д'));
    EXPECT_EQ(docs[1].value("NamePov").toString(), QString(60, u'П'));
    EXPECT_EQ(SettingsFile().svidNextNum(), 8);

    const QString common = "Наименование органа метрологической службы (не более 255 зн.): '" +
                           QString(300, u'Ц') + "' → '" + QString(253, u'Ц') +
                           "'\nДолжность руководителя подразделения (не более 80 зн.): '" +
                           QString(100, u'Д') + "' → '" + QString(80, u'Д') +
                           "'\nИнициалы, фамилия поверителя (не более 60 зн.): '" +
                           QString(70, u'П') + "' → '" + QString(60, u'П') + "'";
    const QString header = "Не все данные документа умещаются в базе данных выданных документов. "
                           "Документ будет напечатан и записан с сокращенными значениями:\n";
    EXPECT_EQ(
        dialogs.texts(),
        QStringList(
            {header + "Номер извещения (не более 8 зн.): '0000000107' → '00000107'\n" + common,
             header +
                 "Номер свидетельства (не более 8 зн.): '0000000007' → "
                 "'00000007'\n" +
                 common +
                 "\nДиаметр (не более 4 зн.): '0,125' → '0,12'"
                 "\nМасса (не более 4 зн.): '12,375' → '12,4'"}));
    for (const ScriptedDialogs::Shown &message : dialogs.shown)
        EXPECT_EQ(message.icon, Dialogs::Icon::Warning);
}

TEST(DocumentFit, NumbersKeepTheirValueOrAreLeftOut)
{
    struct Case {
        QString number, diameter, fittedNumber, fittedDiameter;
    } cases[] = {
        {"00000007", "0,5", "00000007", "0,5"},      // fits as it is
        {"0000000007", "0,125", "00000007", "0,12"}, // half to even
        {"000123456789", "0,375", "", "0,38"},
        {"", "-0,125", "", "-0,1"},
        {"", "1234,5", "", "1234"},
        {"", "12345", "", ""},   // not even the whole part fits
        {"", "0,00001", "", ""}, // nothing but 0 would be left
        {"", "", "", ""},
    };
    for (const Case &c : cases) {
        TEmittedDoc d;
        d.SvidNum = c.number;
        d.Diameter = c.diameter;
        FitNewDocument(d, false);
        EXPECT_EQ(d.SvidNum, c.fittedNumber) << c.number.toStdString();
        EXPECT_EQ(d.Diameter, c.fittedDiameter) << c.diameter.toStdString();
    }
}

TEST(DocumentRecords, RowValuesFillTheirColumns)
{
    TEmittedDoc d;
    d.SvidNum = "0007";
    d.IzvNum = "N1";
    d.MetrologyOrganName = "'ЦСМ'";
    d.DateDoc = "10.12.2026";
    d.Massa = "0,2";
    const QDateTime now(QDate(2026, 12, 10), QTime(9, 0));
    const TableRow cert = DocumentRowValues(d, false, true, now);
    ASSERT_EQ(&cert.schema(), &tables::Documents);
    ASSERT_TRUE(cert.valid());
    EXPECT_TRUE(cert.value(u"ID").isNull());
    EXPECT_EQ(cert.value(u"DocType").toBool(), false);
    EXPECT_EQ(cert.value(u"DocNum").toString(), QStringLiteral("0007"));
    EXPECT_EQ(cert.value(u"MetrologyOrganName").toString(), QStringLiteral("'ЦСМ'"));
    EXPECT_EQ(cert.value(u"PovKind").toBool(), true);
    EXPECT_EQ(cert.value(u"DateDoc").toString(), QStringLiteral("10.12.2026"));
    EXPECT_EQ(cert.value(u"Massa").toString(), QStringLiteral("0,2"));
    EXPECT_EQ(cert.value(u"RecordCreationDateTime").toDateTime(), now);
    EXPECT_EQ(DocumentRowValues(d, true, false, now).value(u"DocNum").toString(),
              QStringLiteral("N1"));
    EXPECT_TRUE(NeedsAdditionalParams("TPR"));
    EXPECT_FALSE(NeedsAdditionalParams("THA"));
}

} // namespace
} // namespace kront::test
