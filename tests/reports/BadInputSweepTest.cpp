// Hostile texts typed into the number condition of the results search and into
// the fields of the certificate and notice dialogs: the search finds exactly
// the verification that holds the typed number (the filter always parses),
// and a printed document is recorded with exactly the texts it was printed
// with.
#include "reportengine/ui/TemplateDialogWindow.h"
#include "reports/ReportContext.h"
#include "reports/SvidIssuer.h"
#include "reports/ui/PanelSearch.h"
#include "settings/ProtIniFile.h"
#include "tests/reports/ReportsFixture.h"
#include "tests/reports/SearchGrid.h"
#include "tests/sensors/ui/GridTyping.h"
#include "tests/support/HostileTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>

namespace kront::test
{
namespace
{

class SearchConditionSweep : public ReportsFixture
{
protected:
    PanelSearch panel{db, {[](int) {}, [](int) {}, [] {}}};

    QStringList found() { return searchGridColumn(panel, scPovNum); }
};

TEST_F(SearchConditionSweep, TheNumberConditionFindsExactlyItsVerification)
{
    const QStringList stored = {"O'1", "\"7\"", "%",   "100%",     "'; DROP", "A1",
                                "А1",  "1e3",   "1E3", "ЖЖЖЖЖЖЖЖ", "a_b",     "a%b"};
    for (int i = 0; i < stored.size(); ++i)
        insertPoverka(stored[i], QDateTime(QDate(2026, 12, 1), QTime(8, i)), 0, 0, false, 1);
    insertPoverka(QStringLiteral("%"), QDateTime(), 0, 0, false, 1); // unfinished: never found

    struct Case {
        QString typed, shown;
        QStringList found;
    } cases[] = {
        {"O'1", "O'1", {"O'1"}},
        {"\"7\"", "\"7\"", {"\"7\""}},
        {"%", "%", {"%"}},
        {"100%", "100%", {"100%"}},
        {"a_b", "a_b", {"a_b"}},
        {kDrop, kDrop.left(8), {"'; DROP"}},
        {"A1", "A1", {"A1"}},
        {"А1", "А1", {"А1"}},
        {"1e3", "1e3", {"1e3"}},
        {"1000", "1000", {QString()}},
        {kLong, kLong.left(8), {"ЖЖЖЖЖЖЖЖ"}},
        {" O'1 ", " O'1 ", {"O'1"}},
        {"O''1", "O''1", {QString()}},
        {"", "", {QString()}},
        {"   ", "   ", {QString()}},
    };
    panel.show();
    panel.findChild<QCheckBox *>(QStringLiteral("CheckBoxPovNum"))->click();
    auto *edit = panel.findChild<QLineEdit *>(QStringLiteral("EditPovNum"));
    for (const Case &c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        EXPECT_EQ(typeIntoLineEdit(edit, c.typed), c.shown);
        panel.findChild<QPushButton *>(QStringLiteral("ButtonSearchStart"))->click();
        EXPECT_EQ(found(), c.found);
        EXPECT_TRUE(dialogs.shown.empty()) << dialogs.texts().join("|").toStdString();
    }
    EXPECT_EQ(db.DBGetRecordsCount(tables::Poverki, QString()), stored.size() + 1);
}

// The dialog of a new certificate or notice as the operator fills it: the
// real dialog window over the template's dialog page, one field typed, then
// "Принять" and printing.
class DocumentDialogSweep : public ReportsFixture
{
protected:
    ReportContext ctx{db};
    QString variable; // the field typed into
    QString typed;
    QString shown; // what the field held after typing
    QList<int> ticked;

    void SetUp() override
    {
        ReportsFixture::SetUp();
        installTemplates();
        settings.setNumbering(DocumentKind::Certificate, {true, 7, 4});
        settings.setNumbering(DocumentKind::Notice, {true, 107, 4});
    }

    void present(report::Report &r)
    {
        report::DialogPage *page = r.findDialogPage(QStringLiteral("DialogPage1"));
        ASSERT_TRUE(page && page->isVisible());
        report::TemplateDialogWindow window(r, *page);
        window.show();
        QWidget *field = window.fieldWidget(variable);
        ASSERT_NE(field, nullptr) << variable.toStdString();
        QLineEdit *edit = qobject_cast<QLineEdit *>(field);
        if (auto *combo = qobject_cast<QComboBox *>(field))
            edit = combo->lineEdit();
        if (auto *memo = qobject_cast<QPlainTextEdit *>(field)) {
            memo->setPlainText(typed); // a memo takes any length; "Принять" keeps the limit
            shown = memo->toPlainText();
        } else {
            ASSERT_NE(edit, nullptr);
            shown = typeIntoLineEdit(edit, typed);
        }
        window.accept();
        ASSERT_TRUE(r.prepare());
        r.notifyPrinted();
    }

    void issue(int poverkaID)
    {
        SvidIssuer issuer(
            ctx, dialogs, settings, [this](const std::vector<TSensOpts> &) { return ticked; },
            [this](report::Report &r, const QString &) { present(r); });
        issuer.issueDocuments(poverkaID);
    }
};

TEST_F(DocumentDialogSweep, EveryFieldOfBothDialogs)
{
    const QString svidMessage = QStringLiteral("! Автонумерация свидетельств будет отключена.");
    struct Case {
        bool notice;
        const char *variable;
        QString typed, shown;
        const char *column; // of the Documents row
        QString stored;
        QString message; // empty: no message
    } cases[] = {
        {false, "NUM_SVID", "0015", "0015", "DocNum", "0015", {}},
        {false, "NUM_SVID", "O'1", "O'1", "DocNum", "O'1",
         "Указан нечисловой номер свидетельства: 'O'1'" + svidMessage},
        {false, "NUM_SVID", "12А", "12А", "DocNum", "12А", // Cyrillic А
         "Указан нечисловой номер свидетельства: '12А'" + svidMessage},
        {false, "NUM_SVID", "1e3", "1e3", "DocNum", "1e3",
         "Указан нечисловой номер свидетельства: '1e3'" + svidMessage},
        {false, "NUM_SVID", kDrop, kDrop.left(8), "DocNum", kDrop.left(8),
         "Указан нечисловой номер свидетельства: ''; DROP '" + svidMessage},
        {false, "NUM_SVID", kLong, kLong.left(8), "DocNum", kLong.left(8),
         "Указан нечисловой номер свидетельства: '" + kLong.left(8) + "'" + svidMessage},
        {false, "NUM_SVID", "", "", "DocNum", "",
         "Указан нечисловой номер свидетельства: ''" + svidMessage},
        {false, "DATE_ACTING", "31.12.2027", "31.12.2027", "DateActing", "31.12.2027", {}},
        {false, "DATE_ACTING", kLong, kLong.left(10), "DateActing", kLong.left(10), {}},
        {false, "GLUBINA", "1e3", "1e3", "Glubina", "1e3", {}},
        {false, "GLUBINA", "'%\"", "'%\"", "Glubina", "'%\"", {}},
        {false, "GLUBINA", kLong, kLong.left(4), "Glubina", kLong.left(4), {}},
        {false, "DLINA", "12,5", "12,5", "Dlina", "12,5", {}},
        {false, "SER_NUM_PRED", kDrop, kDrop, "SerNumPred", kDrop, {}},
        {false, "SER_NUM_PRED", kLong, kLong.left(80), "SerNumPred", kLong.left(80), {}},
        {false,
         "NAME_RUK",
         "О'Коннор \"мл.\"",
         "О'Коннор \"мл.\"",
         "NameRuk",
         "О'Коннор \"мл.\"",
         {}},
        {false, "NAME_POV", kLong, kLong.left(60), "NamePov", kLong.left(60), {}},
        {false, "NAME_POV", "Łukasz Żak", "Łukasz Żak", "NamePov", "Łukasz Żak", {}},
        {false, "NAME_RUK", "大野 Ō.", "大野 Ō.", "NameRuk", "大野 Ō.", {}},
        {true, "NUM_IZV", "0201", "0201", "DocNum", "0201", {}},
        {true, "NUM_IZV", kLong, kLong.left(8), "DocNum", kLong.left(8),
         "Указан нечисловой номер извещения: '" + kLong.left(8) +
             "'! Автонумерация извещений будет отключена."},
        {true, "PRICHINA", kDrop, kDrop, "Prichina", kDrop, {}},
        // The notice prints and keeps 1024 characters; its Prichina column 510 of them.
        {true,
         "PRICHINA",
         QString(1100, u'п'),
         QString(1100, u'п'),
         "Prichina",
         QString(510, u'п'),
         {}},
        {true, "NAME_POV", "'", "'", "NamePov", "'", {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 <%2>").arg(c.variable, c.typed).toStdString());
        settings.reset();
        settings.setNumbering(DocumentKind::Certificate, {true, 7, 4});
        settings.setNumbering(DocumentKind::Notice, {true, 107, 4});
        db.DBDeletePoverka(QStringLiteral("ID > 0"));
        dialogs.clear();
        const DirectFixture f = makeDirect();
        ticked = {c.notice ? f.sensors[2] : f.sensors[1]}; // input 2 was rejected
        variable = QLatin1String(c.variable);
        typed = c.typed;
        shown.clear();
        issue(f.poverkaID);
        EXPECT_EQ(shown, c.shown);
        EXPECT_EQ(dialogs.texts(), c.message.isEmpty() ? QStringList() : QStringList{c.message});

        const auto docs = db.select(tables::Documents, QString());
        ASSERT_TRUE(docs);
        ASSERT_FALSE(docs->empty());
        const QVariantMap &doc = docs->back();
        EXPECT_EQ(doc.value(QLatin1String(c.column)).toString(), c.stored);
        EXPECT_EQ(doc.value("DocType").toBool(), c.notice);
        // The input is linked with the number recorded.
        const QVariantMap bunch =
            db.select(tables::BunchesTP, QStringLiteral("ID = %1").arg(f.bunch1))->front();
        const int input = c.notice ? 2 : 1;
        EXPECT_EQ(bunch.value(QStringLiteral("DocNumInp%1").arg(input)).toString(),
                  doc.value("DocNum").toString());
        EXPECT_EQ(bunch.value(QStringLiteral("EmittedDocIDInp%1").arg(input)).toInt(),
                  doc.value("ID").toInt());
        // Names are kept for the next document as they were recorded.
        if (variable == QLatin1String("NAME_POV")) {
            EXPECT_EQ(ProtIniFile().povName(), c.stored);
        }
        if (variable == QLatin1String("NAME_RUK")) {
            EXPECT_EQ(ProtIniFile().rukName(), c.stored);
        }
        if (variable == QLatin1String("PRICHINA")) {
            const auto reasons = db.select(
                tables::IzvReasons, QStringLiteral("DocID = %1").arg(doc.value("ID").toInt()));
            ASSERT_TRUE(reasons && reasons->size() == 1u);
            EXPECT_EQ(reasons->front().value("Reasons").toString(), c.typed.left(1024));
        }
    }
}

} // namespace
} // namespace kront::test
