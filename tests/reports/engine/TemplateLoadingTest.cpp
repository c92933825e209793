#include "EngineTestSupport.h"
#include "reportengine/Report.h"
#include "tests/support/TempHome.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace kront::report;
using kront::test::pageXml;
using kront::test::reportXml;

namespace
{

// The example template of the template format's documentation.
QByteArray documentedExample()
{
    QFile doc(QStringLiteral(KRONT_SOURCE_DIR "/docs/report-templates.md"));
    if (!doc.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(doc.readAll());
    const auto match = QRegularExpression(QStringLiteral("```xml\\n(<\\?xml.*?)```"),
                                          QRegularExpression::DotMatchesEverythingOption)
                           .match(text);
    return match.captured(1).toUtf8();
}

bool writeFile(const QString &path, const QByteArray &data)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}

} // namespace

TEST(ReportTemplateLoading, DocumentedExampleLoadsWithItsComponents)
{
    const QByteArray xml = documentedExample();
    ASSERT_FALSE(xml.isEmpty());
    Report report;
    ASSERT_TRUE(report.loadFromData(xml)) << report.errorString().toStdString();
    EXPECT_EQ(report.title(), QString("Пример документа"));

    Band *master = report.findBand("masterdata1");
    ASSERT_NE(master, nullptr);
    EXPECT_EQ(master->type, BandType::MasterData);
    EXPECT_EQ(master->dataSet, QString("frxUserDataSet1"));
    EXPECT_NE(report.findPage("Page2"), nullptr);
    EXPECT_NE(report.findDialogPage("DialogPage1"), nullptr);
    EXPECT_EQ(report.findComponent("DialogPage1"), report.findDialogPage("DialogPage1"));
    EXPECT_EQ(report.findComponent("Page1"), report.findPage("Page1"));
    EXPECT_EQ(report.findBand("Page1"), nullptr); // a page is not a band
    EXPECT_EQ(report.findComponent("NoSuchThing"), nullptr);

    EXPECT_EQ(report.variableNames(),
              QStringList({"NUM_SVID", "NAME_POV", "ADDITIONAL_PARAMS", "PRINTED"}));
    const QStringList used = report.usedNames();
    for (const char *name : {"NAIM_POVERITEL", "NUM_SVID", "ROW_NUMBER", "ZAV_NUM", "NAME_POV",
                             "DIAM", "ADDITIONAL_PARAMS"})
        EXPECT_TRUE(used.contains(QString(name))) << name;
    EXPECT_FALSE(used.contains("#PAGE"));
}

TEST(ReportTemplateLoading, LoadsFromTheProtocolFolderByItsRussianName)
{
    kront::test::TempHome home;
    const QString path = home.path() + "/Protocol/Свидетельство ТП.fr3";
    ASSERT_TRUE(writeFile(path, documentedExample()));
    Report report;
    EXPECT_TRUE(report.loadFromFile(path)) << report.errorString().toStdString();
    EXPECT_EQ(report.fileName(), path);
}

TEST(ReportTemplateLoading, PictureFromAFileBesideTheTemplate)
{
    kront::test::TempHome home;
    QImage logo(20, 10, QImage::Format_RGB32);
    logo.fill(Qt::blue);
    ASSERT_TRUE(logo.save(home.path() + "/Protocol/logo.png"));
    const QByteArray xml =
        pageXml("<band name='B' type='title' height='20'>"
                "<picture left='0' top='0' width='40' height='10' src='logo.png'/></band>");
    ASSERT_TRUE(writeFile(home.path() + "/Protocol/t.fr3", xml));
    Report report;
    ASSERT_TRUE(report.loadFromFile(home.path() + "/Protocol/t.fr3"))
        << report.errorString().toStdString();
    EXPECT_EQ(report.findBand("B")->objects.front().image.size(), QSize(20, 10));

    QFile::remove(home.path() + "/Protocol/logo.png");
    EXPECT_FALSE(report.loadFromFile(home.path() + "/Protocol/t.fr3"));
    EXPECT_TRUE(report.errorString().contains("logo.png"));
}

TEST(ReportTemplateLoading, RefusesFaultyTemplatesWithTheLineAndTheFault)
{
    const QString band = "<band name='B' type='title' height='10'>%1</band>";
    const struct {
        QByteArray xml;
        const char *fault;
    } cases[] = {
        {"", "файл пуст"},
        {"not xml at all", "строка 1"},
        {"<?xml version='1.0'?><document/>", "<report>"},
        {reportXml(""), "нет ни одной страницы"},
        {reportXml("<page name='P'><band name='B' type='title' height='10'>"),
         "строка"}, // cut short
        {reportXml("<pages/>"), "неизвестный элемент <pages>"},
        {pageXml(band.arg("<text left='0' top='0' width='10' height='5' colour='red'/>")),
         "неизвестный атрибут 'colour'"},
        {pageXml(band.arg("<text left='0' top='0' width='ten' height='5'/>")), "не число"},
        {pageXml(band.arg("<text left='0' top='0' width='10' height='5'>[1 +]</text>")),
         "ошибка в выражении"},
        {pageXml(band.arg("<text left='0' top='0' width='10'/>")), "'height'"},
        {pageXml(band.arg("<text left='0' top='0' width='10' height='5' align='middle'/>")),
         "выравнивание"},
        {pageXml(band.arg("<text left='0' top='0' width='10' height='5' frame='around'/>")),
         "сторона рамки"},
        {pageXml(band.arg("<circle/>")), "неизвестный элемент <circle>"},
        {pageXml(band.arg("<picture left='0' top='0' width='10' height='5'/>")), "рисунка"},
        {pageXml("<band name='M' type='masterData' height='5'/>"), "'dataSet'"},
        {pageXml("<band name='M' type='detail' height='5'/>"), "тип бэнда 'detail'"},
        {pageXml("<band type='title' height='5'/>"), "'name'"},
        {pageXml("<band name='M' type='title' height='-5'/>"), "отрицателен"},
        {pageXml("<band name='M' type='title' height='400'/>"), "выше страницы"},
        // Objects that could never be printed on a sheet (these ran the
        // preparation on over sheets without end, or off the paper).
        {pageXml(band.arg("<text left='0' top='0' width='20' height='7777777777777777777777'/>")),
         "объект <text> бэнда 'B' выходит за пределы страницы"},
        {pageXml(band.arg("<text left='0' top='270' width='20' height='8'/>")), "пределы страницы"},
        {pageXml(band.arg("<rect left='1e300' top='0' width='20' height='5'/>")), "объект <rect>"},
        {pageXml(band.arg("<rect left='0' top='0' width='1e9' height='5'/>")), "пределы страницы"},
        {pageXml(band.arg("<line x1='0' y1='0' x2='0' y2='1e30'/>")), "объект <line>"},
        {pageXml(band.arg("<line x1='-1e30' y1='0' x2='0' y2='0'/>")), "объект <line>"},
        {pageXml("<band name='A' type='title' height='5'/><band name='a' type='title' "
                 "height='5'/>"),
         "дважды"},
        {pageXml("<band name='H' type='header' height='5'/><band name='T' type='title' "
                 "height='5'/>"),
         "заголовком данных 'H'"},
        {pageXml("<band name='F' type='footer' height='5'/>"), "подвал данных 'F'"},
        {pageXml("<band name='C' type='child' height='5'/>"), "дочерний бэнд 'C'"},
        {pageXml("<band name='A' type='pageFooter' height='5'/><band name='B' "
                 "type='pageFooter' height='5'/>"),
         "больше одного"},
        {pageXml("", "orientation='sideways'"), "ориентация"},
        {pageXml("", "margins='10 10 10'"), "поля страницы"},
        {pageXml("", "printOnPreviousPage='yes'"), "true или false"},
        {pageXml("", "",
                 "<variables><variable name='X' value='1'/><variable name='x'/>"
                 "</variables>"),
         "объявлена дважды"},
        {pageXml("", "", "<variables><variable name='X' value=\"'open\"/></variables>"), "кавычка"},
        {pageXml("", "", "<dialog name='D'><edit label='L'/></dialog>"), "'variable'"},
        {pageXml("", "", "<dialog name='D'><button text='OK' action='maybe'/></dialog>"),
         "accept или cancel"},
        {reportXml("<page name='P'/>", "version='2'"), "версия"},
        {reportXml("<page name='P'/>", "fontSize='0'"), "размер шрифта"},
    };
    for (const auto &c : cases) {
        Report report;
        EXPECT_FALSE(report.loadFromData(c.xml)) << c.fault;
        EXPECT_TRUE(report.errorString().contains(QString::fromUtf8(c.fault)))
            << c.fault << " / " << report.errorString().toStdString();
        EXPECT_FALSE(report.isLoaded());
    }
}

TEST(ReportTemplateLoading, ObjectsToTheEdgesOfThePaperLoadAndPrint)
{
    // A4 portrait with the default margins 20 10 10 10: 277 mm of printable
    // height, 190 mm from the left margin to the edge of the paper.
    const QByteArray xml = pageXml("<band name='B' type='title' height='10'>"
                                   "<text left='0' top='0' width='190' height='277'>низ</text>"
                                   "<line x1='-20' y1='0' x2='190' y2='277'/></band>");
    Report report;
    ASSERT_TRUE(report.loadFromData(xml)) << report.errorString().toStdString();
    ASSERT_TRUE(report.prepare());
    EXPECT_EQ(report.prepared().pages.size(), 1u);
}

TEST(ReportTemplateLoading, AFailedLoadLeavesNoTraceOfTheTemplateBefore)
{
    kront::test::TempHome home;
    Report report;
    ASSERT_TRUE(report.loadFromData(documentedExample()));
    report.setVariable("NUM_SVID", "'1'");

    const QString missing = home.path() + "/Protocol/Нет такого.fr3";
    EXPECT_FALSE(report.loadFromFile(missing));
    EXPECT_TRUE(report.errorString().contains(missing));
    EXPECT_FALSE(report.isLoaded());
    EXPECT_EQ(report.findBand("MasterData1"), nullptr);
    EXPECT_TRUE(report.variableNames().isEmpty());
    EXPECT_FALSE(report.prepare());
    EXPECT_TRUE(report.prepared().pages.empty());
}

// Damaged files (cut short, bytes overwritten) never crash the engine: they
// are refused, or, when still valid, prepare and print like any template.
TEST(ReportTemplateLoading, DamagedFilesAreRefusedOrPrintWithoutCrashing)
{
    const QByteArray good = documentedExample();
    ASSERT_FALSE(good.isEmpty());
    quint32 seed = 12345;
    auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
    const char junk[] = "<>/='\"[]&;#x0 \n";
    int loaded = 0;
    for (int i = 0; i < 400; ++i) {
        QByteArray xml = good;
        if (i % 4 == 0) {
            xml.truncate(int(next() % quint32(xml.size())));
        } else {
            for (int k = 0; k < 1 + i % 3; ++k)
                xml[int(next() % quint32(xml.size()))] = junk[next() % (sizeof(junk) - 1)];
        }
        Report report;
        report.userDataSet("frxUserDataSet1").setRecordCount(3);
        if (report.loadFromData(xml)) {
            ++loaded;
            EXPECT_TRUE(report.prepare());
        } else {
            EXPECT_FALSE(report.errorString().isEmpty());
        }
    }
    EXPECT_GT(loaded, 0); // some damage lands in texts and is harmless
}
