#include "EngineTestSupport.h"
#include "reportengine/Report.h"
#include "reportengine/ui/PreviewPagesWidget.h"
#include "reportengine/ui/ReportPreviewDialog.h"
#include "reportengine/ui/ReportViewer.h"
#include "reportengine/ui/TemplateDialogWindow.h"
#include "tests/support/ScriptedDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

using namespace kront::report;
using kront::test::pageXml;

namespace
{

const QString kDialog = "<variables>"
                        "<variable name='NUM_SVID' value=\"''\"/>"
                        "<variable name='PRICHINA' value=\"''\"/>"
                        "<variable name='NAME_POV' value=\"''\"/>"
                        "<variable name='ADDITIONAL_PARAMS' value='False'/>"
                        "<variable name='PRINTED' value='False'/>"
                        "</variables>"
                        "<onPrint><set variable='PRINTED' value='True'/></onPrint>"
                        "<dialog name='DialogPage1' caption='Реквизиты свидетельства'>"
                        "<label label='Проверьте реквизиты'/>"
                        "<edit label='Номер свидетельства:' variable='NUM_SVID'/>"
                        "<memo label='Причина:' variable='PRICHINA'/>"
                        "<combo label='Поверитель:' variable='NAME_POV'><item>Иванов И.И.</item>"
                        "<item>Петров П.П.</item></combo>"
                        "<check label='Доп. параметры' variable='ADDITIONAL_PARAMS'/>"
                        "<edit label='Глубина:' variable='GLUBINA' visibleIf='ADDITIONAL_PARAMS'/>"
                        "<button text='Принять' action='accept'/>"
                        "<button text='Отмена' action='cancel'/>"
                        "</dialog>";

const QString kPages = "<band name='T' type='title' height='10'>"
                       "<text left='0' top='0' width='150' height='8'>Свидетельство № [NUM_SVID] "
                       "[NAME_POV]</text></band>"
                       "<band name='M' type='masterData' dataSet='frxUserDataSet1' height='250'>"
                       "<text left='0' top='0' width='150' height='8'>Лист</text></band>";

// Runs `step` on each modal window that opens, in turn, while `action` runs.
void withModalSteps(std::vector<std::function<void(QWidget *)>> steps,
                    const std::function<void()> &action)
{
    size_t next = 0;
    QWidget *handled = nullptr;
    QTimer timer;
    timer.setInterval(10);
    QObject::connect(&timer, &QTimer::timeout, [&] {
        QWidget *w = QApplication::activeModalWidget();
        if (!w || w == handled || next >= steps.size())
            return;
        handled = w;
        steps[next++](w);
    });
    timer.start();
    action();
    timer.stop();
    EXPECT_EQ(next, steps.size()) << "not every expected window opened";
}

void click(QWidget *window, const QString &buttonName)
{
    auto *b = window->findChild<QPushButton *>(buttonName);
    ASSERT_NE(b, nullptr) << buttonName.toStdString();
    b->click();
}

QString pdfText(const QString &path)
{
    QProcess p;
    p.start("pdftotext", {path, "-"});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

struct Fixture {
    Report report;
    kront::test::ScriptedDialogs dialogs;
    QTemporaryDir dir;

    Fixture()
    {
        EXPECT_TRUE(report.loadFromData(pageXml(kPages, {}, kDialog)))
            << report.errorString().toStdString();
        report.userDataSet("frxUserDataSet1").setRecordCount(2);
    }
    bool printed() const { return truthValue(report.variableValue("PRINTED")); }
};

} // namespace

TEST(ReportDialogPage, FieldsOpenWithTheVariablesAndWriteQuotedTextsBack)
{
    Fixture f;
    f.report.setVariable("NUM_SVID", quoted("0007"));
    f.report.setVariable("NAME_POV", quoted("Петров П.П."));
    f.report.setVariable("PRICHINA", quoted("строка 1\nстрока 2"));
    TemplateDialogWindow window(f.report, *f.report.findDialogPage("DialogPage1"));
    EXPECT_EQ(window.windowTitle(), QString("Реквизиты свидетельства"));

    auto *number = qobject_cast<QLineEdit *>(window.fieldWidget("NUM_SVID"));
    auto *reason = qobject_cast<QPlainTextEdit *>(window.fieldWidget("prichina"));
    auto *verifier = qobject_cast<QComboBox *>(window.fieldWidget("NAME_POV"));
    auto *extra = qobject_cast<QCheckBox *>(window.fieldWidget("ADDITIONAL_PARAMS"));
    ASSERT_TRUE(number && reason && verifier && extra);
    EXPECT_EQ(window.fieldWidget("GLUBINA"), nullptr); // hidden while ADDITIONAL_PARAMS is off
    EXPECT_EQ(number->text(), QString("0007"));
    EXPECT_EQ(reason->toPlainText(), QString("строка 1\nстрока 2"));
    EXPECT_EQ(verifier->currentText(), QString("Петров П.П."));
    EXPECT_FALSE(extra->isChecked());

    number->setText("12А");
    reason->setPlainText("ТЭДС вне допуска");
    verifier->setEditText("О'Брайен");
    extra->setChecked(true);
    click(&window, "Принять");
    EXPECT_EQ(window.result(), QDialog::Accepted);
    EXPECT_EQ(f.report.variableExpression("NUM_SVID"), QString("'12А'"));
    EXPECT_EQ(f.report.variableExpression("PRICHINA"), QString("'ТЭДС вне допуска'"));
    EXPECT_EQ(f.report.variableExpression("NAME_POV"), QString("'О''Брайен'"));
    EXPECT_EQ(displayText(f.report.variableValue("NAME_POV")), QString("О'Брайен"));
    EXPECT_EQ(f.report.variableExpression("ADDITIONAL_PARAMS"), QString("True"));

    TemplateDialogWindow again(f.report, *f.report.findDialogPage("DialogPage1"));
    ASSERT_NE(again.fieldWidget("GLUBINA"), nullptr);
    qobject_cast<QLineEdit *>(again.fieldWidget("NUM_SVID"))->setText("99");
    click(&again, "Отмена");
    EXPECT_EQ(f.report.variableExpression("NUM_SVID"), QString("'12А'")); // unchanged
}

TEST(ReportViewerFlow, DialogThenPreviewSavedAsPdfCountsAsPrinted)
{
    Fixture f;
    f.report.setVariable("NUM_SVID", quoted("0007"));
    const QString path = f.dir.filePath("Свидетельство 0015");
    f.dialogs.queueFileName(path); // ".pdf" is added
    ShowResult result{};
    withModalSteps({[](QWidget *dialog) {
                        qobject_cast<QLineEdit *>(
                            static_cast<TemplateDialogWindow *>(dialog)->fieldWidget("NUM_SVID"))
                            ->setText("0015");
                        click(dialog, "Принять");
                    },
                    [](QWidget *preview) {
                        click(preview, "ButtonSavePdf");
                        click(preview, "ButtonClose");
                    }},
                   [&] { result = showReport(f.report, f.dialogs); });
    EXPECT_EQ(result, ShowResult::Shown);
    EXPECT_TRUE(f.printed());
    EXPECT_EQ(unquoted(*f.report.variableExpression("NUM_SVID")), QString("0015"));
    ASSERT_EQ(f.dialogs.shown.size(), 1u);
    EXPECT_EQ(f.dialogs.shown[0].kind, QString("save"));
    EXPECT_TRUE(pdfText(path + ".pdf").contains("Свидетельство № 0015"));
}

TEST(ReportViewerFlow, SavingOverAnExistingPdfAsksFirst)
{
    Fixture f;
    f.report.findDialogPage("DialogPage1")->setVisible(false);
    const QString path = f.dir.filePath("old.pdf");
    {
        QFile old(path);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old");
    }
    f.dialogs.queueFileName(path);
    f.dialogs.queueAnswer(kront::Dialogs::Answer::No);
    withModalSteps({[](QWidget *preview) {
                       click(preview, "ButtonSavePdf");
                       click(preview, "ButtonClose");
                   }},
                   [&] { showReport(f.report, f.dialogs); });
    EXPECT_FALSE(f.printed());
    ASSERT_EQ(f.dialogs.shown.size(), 2u);
    EXPECT_EQ(f.dialogs.shown[1].buttons, kront::Dialogs::Buttons::YesNo);
    QFile old(path);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("old"));
}

TEST(ReportViewerFlow, ClosingThePreviewOrCancellingPrintsNothing)
{
    {
        Fixture f; // dialog hidden (reprint of an issued document), preview closed
        f.report.findDialogPage("DialogPage1")->setVisible(false);
        ShowResult result{};
        withModalSteps({[](QWidget *preview) { click(preview, "ButtonClose"); }},
                       [&] { result = showReport(f.report, f.dialogs); });
        EXPECT_EQ(result, ShowResult::Shown);
        EXPECT_FALSE(f.printed());
        EXPECT_EQ(f.report.prepared().pages.size(), 2u);
    }
    {
        Fixture f; // the save dialog cancelled
        f.report.findDialogPage("DialogPage1")->setVisible(false);
        f.dialogs.queueFileName(QString());
        withModalSteps({[](QWidget *preview) {
                           click(preview, "ButtonSavePdf");
                           click(preview, "ButtonClose");
                       }},
                       [&] { showReport(f.report, f.dialogs); });
        EXPECT_FALSE(f.printed());
    }
    {
        Fixture f; // the dialog page cancelled: nothing prepared, no preview
        ShowResult result{};
        withModalSteps({[](QWidget *dialog) { click(dialog, "Отмена"); }},
                       [&] { result = showReport(f.report, f.dialogs); });
        EXPECT_EQ(result, ShowResult::Cancelled);
        EXPECT_TRUE(f.report.prepared().pages.empty());
        EXPECT_FALSE(f.printed());
    }
    {
        Fixture f; // saving fails: the operator is told, nothing counts as printed
        f.report.findDialogPage("DialogPage1")->setVisible(false);
        f.dialogs.queueFileName(f.dir.filePath("нет/такой/папки.pdf"));
        withModalSteps({[](QWidget *preview) {
                           click(preview, "ButtonSavePdf");
                           click(preview, "ButtonClose");
                       }},
                       [&] { showReport(f.report, f.dialogs); });
        EXPECT_FALSE(f.printed());
        ASSERT_EQ(f.dialogs.shown.size(), 2u);
        EXPECT_EQ(f.dialogs.shown[1].icon, kront::Dialogs::Icon::Error);
        EXPECT_TRUE(f.dialogs.shown[1].text.contains("папки.pdf"));
    }
}

TEST(ReportPreview, PrintsTheChosenPagesAndNavigates)
{
    Fixture f;
    ASSERT_TRUE(f.report.prepare());
    ReportPreviewDialog preview(f.report, f.dialogs);
    preview.resize(800, 600);
    preview.show();
    ASSERT_EQ(preview.pagesWidget()->pageCount(), 2);
    preview.goToPage(1);
    EXPECT_EQ(preview.currentPage(), 1);
    preview.goToPage(0);
    EXPECT_EQ(preview.currentPage(), 0);

    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(f.dir.filePath("printed.pdf"));
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(2, 2);
    EXPECT_FALSE(f.printed());
    ASSERT_TRUE(preview.printTo(printer));
    EXPECT_TRUE(f.printed());
    EXPECT_TRUE(preview.wasPrinted());
    const QString text = pdfText(f.dir.filePath("printed.pdf"));
    EXPECT_EQ(text.count("Лист"), 1); // only sheet 2, with the second record
    EXPECT_FALSE(text.contains("Свидетельство"));
    preview.close();
}

TEST(ReportPreview, PrintButtonGoesThroughThePrintSetup)
{
    for (const bool accept : {false, true}) {
        Fixture f;
        f.report.findDialogPage("DialogPage1")->setVisible(false);
        const QString path = f.dir.filePath("printer.pdf");
        ReportPreviewDialog::setPrintSetupOverride([&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
            return accept;
        });
        withModalSteps({[](QWidget *preview) {
                           click(preview, "ButtonPrint");
                           click(preview, "ButtonClose");
                       }},
                       [&] { showReport(f.report, f.dialogs); });
        ReportPreviewDialog::setPrintSetupOverride({});
        EXPECT_EQ(f.printed(), accept);
        EXPECT_EQ(QFile::exists(path), accept);
        EXPECT_TRUE(f.dialogs.shown.empty());
    }
}
