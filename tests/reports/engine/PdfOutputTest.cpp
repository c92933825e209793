#include "EngineTestSupport.h"
#include "common/TrainingMode.h"
#include "reportengine/PagePainter.h"
#include "reportengine/Report.h"

#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace kront::report;
using kront::test::reportXml;

namespace
{

QString run(const QString &program, const QStringList &args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(30000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

int pdfPageCount(const QString &path)
{
    const auto m = QRegularExpression("Pages:\\s+(\\d+)").match(run("pdfinfo", {path}));
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QString pdfText(const QString &path)
{
    return run("pdftotext", {"-layout", path, "-"});
}

// Two pages: a title with Cyrillic text and a table over a data set; the
// second page is landscape.
const QString kTemplate =
    "<page name='Page1' fontFamily='DejaVu Serif'>"
    "<band name='T' type='title' height='12'>"
    "<text left='0' top='0' width='190' height='10' align='center' fontSize='14' bold='true'>"
    "ПРОТОКОЛ ПОВЕРКИ № [POV_NUM]</text></band>"
    "<band name='M' type='masterData' dataSet='frxUserDataSet1' height='7'>"
    "<text left='0' top='0' width='40' height='7' frame='all'>[ZAV]</text>"
    "<text left='40' top='0' width='40' height='7' frame='all' align='right'>[E]</text>"
    "</band></page>"
    "<page name='Page2' orientation='landscape'>"
    "<band name='T2' type='title' height='10'>"
    "<text left='0' top='0' width='200' height='8'>Заключение: годен. Ёжик, щука, Эхо.</text>"
    "</band></page>";

} // namespace

TEST(ReportPdf, WritesSearchableCyrillicTextOnEverySheet)
{
    Report report;
    report.setValueCallback([&](const QString &n) -> QVariant {
        const int r = report.currentRecord("frxUserDataSet1");
        if (n == "POV_NUM")
            return QString("17/2");
        if (n == "ZAV")
            return QString("ТХА-%1").arg(101 + r);
        if (n == "E")
            return QString("45,68%1").arg(r);
        return {};
    });
    ASSERT_TRUE(report.loadFromData(reportXml(kTemplate)));
    report.userDataSet("frxUserDataSet1").setRecordCount(3);
    ASSERT_TRUE(report.prepare());

    QTemporaryDir dir;
    const QString path = dir.filePath("Протокол 17.pdf");
    ASSERT_TRUE(report.writePdf(path)) << report.errorString().toStdString();
    EXPECT_EQ(pdfPageCount(path), 2);
    const QString text = pdfText(path);
    for (const char *expected : {"ПРОТОКОЛ ПОВЕРКИ № 17/2", "ТХА-101", "ТХА-103", "45,682",
                                 "Заключение: годен. Ёжик, щука, Эхо."})
        EXPECT_TRUE(text.contains(QString::fromUtf8(expected))) << expected << "\n"
                                                                << text.toStdString();

    // A4 portrait, then the landscape sheet, A4 turned.
    EXPECT_TRUE(run("pdfinfo", {path})
                    .contains(QRegularExpression("Page size:\\s+595(\\.\\d+)? x 84[12]")));
    const QString info = run("pdfinfo", {"-f", "2", "-l", "2", path});
    EXPECT_TRUE(info.contains(QRegularExpression("Page\\s+2 size:\\s+84[12](\\.\\d+)? x 595")))
        << info.toStdString();
}

TEST(ReportPdf, AFileThatCannotBeWrittenIsReportedAndNothingIsLeftBehind)
{
    Report report;
    ASSERT_TRUE(report.loadFromData(reportXml(kTemplate)));
    ASSERT_TRUE(report.prepare());
    QTemporaryDir dir;
    const QString path = dir.filePath("нет такой папки/отчёт.pdf");
    EXPECT_FALSE(report.writePdf(path));
    EXPECT_FALSE(report.errorString().isEmpty());
    EXPECT_FALSE(QFile::exists(path));

    Report empty;
    EXPECT_FALSE(empty.writePdf(dir.filePath("пусто.pdf"))); // nothing prepared
    EXPECT_FALSE(QFile::exists(dir.filePath("пусто.pdf")));
}

// A training run's printouts cannot be taken for real ones: every sheet says
// "УЧЕБНЫЙ РЕЖИМ", and only while the mode is on.
TEST(ReportPdf, TrainingModeMarksEverySheet)
{
    Report report;
    report.setValueCallback([](const QString &) -> QVariant { return QString("1"); });
    ASSERT_TRUE(report.loadFromData(reportXml(kTemplate)));
    report.userDataSet("frxUserDataSet1").setRecordCount(1);
    ASSERT_TRUE(report.prepare());
    QTemporaryDir dir;
    for (const bool training : {true, false}) {
        kront::TrainingMode::start(training ? 30 : 0);
        const QString path = dir.filePath(training ? "training.pdf" : "real.pdf");
        ASSERT_TRUE(report.writePdf(path)) << report.errorString().toStdString();
        kront::TrainingMode::stop();
        const QString text = pdfText(path);
        EXPECT_EQ(text.count(QStringLiteral("УЧЕБНЫЙ РЕЖИМ")), training ? 2 : 0)
            << text.toStdString();
    }
}
