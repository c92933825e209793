#include "EngineTestSupport.h"
#include "reportengine/Report.h"

#include <gtest/gtest.h>

using namespace kront::report;
using kront::test::pageXml;
using kront::test::reportXml;
using kront::test::sheetTexts;

namespace
{

QString memo(const QString &text, double height = 6, const QString &attrs = {})
{
    return QStringLiteral("<text left='0' top='0' width='100' height='%1' %2>%3</text>")
        .arg(height)
        .arg(attrs, text);
}

QString band(const QString &name, const QString &type, const QString &content,
             const QString &attrs = {}, double height = 6)
{
    return QStringLiteral("<band name='%1' type='%2' height='%3' %4>%5</band>")
        .arg(name, type)
        .arg(height)
        .arg(attrs, content);
}

// The protocol's shape: points of data set 1, the instability stages of data
// set 2 and one record of data set 3, each with a header and a child band.
const QString kProtocolBands =
    band("Header1", "header", memo("Точки")) +
    band("MasterData1", "masterData", memo("Точка [R1]"), "dataSet='frxUserDataSet1'") +
    band("Child1", "child", memo("Δ[R1]")) + band("Footer1", "footer", memo("Итого точек")) +
    band("Header2", "header", memo("Нестабильность")) +
    band("MasterData2", "masterData", memo("[BURN_STAGE]"), "dataSet='frxUserDataSet2'") +
    band("Child2", "child", memo("этап [R2]")) +
    band("MasterData3", "masterData", memo("Изменение"), "dataSet='frxUserDataSet3'");

struct ProtocolReport {
    Report report;
    std::vector<std::pair<QString, int>> asked; // name, record of its data set

    ProtocolReport()
    {
        report.setValueCallback([this](const QString &name) -> QVariant {
            if (name == "R1" || name == "R2") {
                const int r =
                    report.currentRecord(name == "R1" ? "frxUserDataSet1" : "frxUserDataSet2");
                asked.emplace_back(name, r);
                return QString::number(r);
            }
            if (name == "BURN_STAGE")
                return report.currentRecord("frxUserDataSet2") == 0 ? "ДО" : "ПОСЛЕ";
            return {};
        });
    }
    void counts(int points, int stages, int third)
    {
        report.userDataSet("frxUserDataSet1").setRecordCount(points);
        report.userDataSet("frxUserDataSet2").setRecordCount(stages);
        report.userDataSet("frxUserDataSet3").setRecordCount(third);
    }
};

} // namespace

TEST(ReportBands, MasterBandsRepeatPerRecordAndTheCallbackSeesTheRecordNumber)
{
    ProtocolReport p;
    ASSERT_TRUE(p.report.loadFromData(pageXml(kProtocolBands)));
    p.counts(3, 2, 1);
    ASSERT_TRUE(p.report.prepare());
    EXPECT_EQ(sheetTexts(p.report), QString("Точки\nТочка 0\nΔ0\nТочка 1\nΔ1\nТочка 2\nΔ2\n"
                                            "Итого точек\nНестабильность\nДО\nэтап 0\n"
                                            "ПОСЛЕ\nэтап 1\nИзменение\n\f"));
    const std::vector<std::pair<QString, int>> expected = {
        {"R1", 0}, {"R1", 0}, {"R1", 1}, {"R1", 1}, {"R1", 2}, {"R1", 2}, {"R2", 0}, {"R2", 1}};
    EXPECT_EQ(p.asked, expected);
}

TEST(ReportBands, VisibilityOfBandsAndRecordsAndEmptyDataSets)
{
    const struct {
        int points, stages;
        bool showInstability;
        const char *printed;
    } cases[] = {
        {1, 2, false, "Точки\nТочка 0\nΔ0\nИтого точек\nИзменение\n"},
        {2, 2, true,
         "Точки\nТочка 0\nΔ0\nТочка 1\nΔ1\nИтого точек\nНестабильность\nДО\nэтап 0\nПОСЛЕ\n"
         "этап 1\nИзменение\n"},
        // no records: the data header and footer stay away too
        {0, 2, true, "Нестабильность\nДО\nэтап 0\nПОСЛЕ\nэтап 1\nИзменение\n"},
        {0, 0, true, "Изменение\n"},
    };
    for (const auto &c : cases) {
        ProtocolReport p;
        ASSERT_TRUE(p.report.loadFromData(pageXml(kProtocolBands)));
        p.counts(c.points, c.stages, 1);
        p.report.findBand("MasterData2")->setVisible(c.showInstability);
        ASSERT_TRUE(p.report.prepare());
        EXPECT_EQ(sheetTexts(p.report), QString::fromUtf8(c.printed) + "\f") << c.printed;
    }

    // A condition evaluated for each record, and a hidden child band.
    ProtocolReport p;
    QString bands = kProtocolBands;
    bands.replace("dataSet='frxUserDataSet1'",
                  "dataSet='frxUserDataSet1' visibleIf=\"R1 &lt;&gt; '1'\"");
    ASSERT_TRUE(p.report.loadFromData(pageXml(bands)));
    p.counts(3, 0, 0);
    p.report.findBand("Child1")->setVisible(false);
    ASSERT_TRUE(p.report.prepare());
    EXPECT_EQ(sheetTexts(p.report), QString("Точки\nТочка 0\nТочка 2\nИтого точек\n\f"));
}

TEST(ReportBands, PrintOnPreviousPageContinuesTheSheet)
{
    const QString pages =
        "<page name='Page1'>" + band("PageHeader1", "pageHeader", memo("верх 1")) +
        band("Title1", "title", memo("первая")) + band("PageFooter1", "pageFooter", memo("низ 1")) +
        "</page>" + "<page name='Page3'>" + band("PageHeader3", "pageHeader", memo("верх 3")) +
        band("Title3", "title", memo("вторая")) + band("PageFooter3", "pageFooter", memo("низ 3")) +
        "</page>";
    for (const bool previous : {false, true}) {
        Report report;
        ASSERT_TRUE(report.loadFromData(reportXml(pages)));
        report.findPage("Page3")->setPrintOnPreviousPage(previous);
        ASSERT_TRUE(report.prepare());
        EXPECT_EQ(sheetTexts(report),
                  previous ? QString("верх 1\nпервая\nвторая\nниз 1\n\f")
                           : QString("верх 1\nпервая\nниз 1\n\fверх 3\nвторая\nниз 3\n\f"));
    }
}

TEST(ReportBands, LongDataRunsOntoNewSheetsWithHeadersAndPageNumbers)
{
    const QString bands =
        band("PageHeader1", "pageHeader", memo("Протокол")) +
        band("Header1", "header", memo("Шапка таблицы"), "reprintOnNewPage='true'", 10) +
        band("MasterData1", "masterData", memo("Строка [R1]"), "dataSet='frxUserDataSet1'", 10) +
        band("PageFooter1", "pageFooter", memo("Страница [#PAGE] из [#PAGES]"));
    Report report;
    report.setValueCallback([&](const QString &n) -> QVariant {
        return n == "R1" ? QVariant(QString::number(report.currentRecord("frxUserDataSet1")))
                         : QVariant();
    });
    ASSERT_TRUE(report.loadFromData(pageXml(bands, "margins='20 10 10 10'")));
    report.userDataSet("frxUserDataSet1").setRecordCount(60);
    ASSERT_TRUE(report.prepare());

    // 297 - 20 (margins) - 6 (page header) - 6 (page footer) = 265 mm of body:
    // the header and 25 rows of 10 mm per sheet.
    const auto &pages = report.prepared().pages;
    ASSERT_EQ(pages.size(), 3u);
    int row = 0;
    for (size_t i = 0; i < pages.size(); ++i) {
        QStringList texts;
        for (const auto &item : pages[i].items)
            if (const auto *t = std::get_if<PreparedText>(&item)) {
                texts << t->text;
                EXPECT_LE(t->box.bottom(), 297 - 10 + 0.01);
            }
        EXPECT_EQ(texts.front(), "Протокол");
        EXPECT_EQ(texts[1], "Шапка таблицы");
        EXPECT_EQ(texts.back(), QString("Страница %1 из 3").arg(i + 1));
        for (int k = 2; k < texts.size() - 1; ++k)
            EXPECT_EQ(texts[k], QString("Строка %1").arg(row++));
    }
    EXPECT_EQ(row, 60);
}

TEST(ReportBands, StretchingTextGrowsItsRowAndTheNeighbourCells)
{
    const QString row = "<text left='0' top='0' width='20' height='6' frame='all'>[N]</text>"
                        "<text left='20' top='0' width='30' height='6' frame='all' "
                        "stretch='true'>[NOTES]</text>"
                        "<line x1='60' y1='0' x2='60' y2='6'/>";
    const QString bands = band("Row", "title", row) + band("After", "title", memo("после"));
    Report report;
    QString notes = "коротко";
    report.setValueCallback([&](const QString &n) -> QVariant {
        return n == "NOTES" ? QVariant(notes) : QVariant(QString("1"));
    });
    ASSERT_TRUE(report.loadFromData(pageXml(bands)));

    auto bottomOf = [&](const QString &text) {
        for (const auto &item : report.prepared().pages.front().items)
            if (const auto *t = std::get_if<PreparedText>(&item); t && t->text == text)
                return t->box.top();
        return -1.0;
    };
    auto longestVertical = [&] {
        double len = 0;
        for (const auto &item : report.prepared().pages.front().items)
            if (const auto *l = std::get_if<PreparedLine>(&item); l && l->line.dx() == 0)
                len = std::max(len, std::abs(l->line.dy()));
        return len;
    };

    ASSERT_TRUE(report.prepare());
    EXPECT_NEAR(bottomOf("после"), 10 + 6 + 0.5, 0.01); // top margin, row, padding
    EXPECT_NEAR(longestVertical(), 6, 0.01);

    notes = "Внешний осмотр: рабочий спай без повреждений, изоляция в норме, маркировка читается";
    ASSERT_TRUE(report.prepare());
    const double grown = bottomOf("после") - 10 - 0.5;
    EXPECT_GT(grown, 12);
    EXPECT_NEAR(longestVertical(), grown, 0.01); // frames and the rule reach the new bottom
    QStringList lines = sheetTexts(report).split('\n');
    EXPECT_GE(lines.size(), 5);
    EXPECT_EQ(lines.mid(1, lines.size() - 3).join(' '), notes); // every word, in order
}

TEST(ReportBands, PagesAndObjectsFollowTheirConditions)
{
    const QString xml =
        "<variables><variable name='ADDITIONAL_PARAMS' value='False'/></variables>"
        "<page name='Page1'>" +
        band("T1", "title",
             memo("всегда") +
                 "<text left='0' top='6' width='50' height='6' visibleIf='ADDITIONAL_PARAMS'>"
                 "доп</text>",
             {}, 12) +
        "</page><page name='Page2' visibleIf='ADDITIONAL_PARAMS'>" +
        band("T2", "title", memo("Параметры ТП")) + "</page>";
    Report report;
    ASSERT_TRUE(report.loadFromData(reportXml(xml)));
    ASSERT_TRUE(report.prepare());
    EXPECT_EQ(sheetTexts(report), QString("всегда\n\f"));
    report.setVariable("ADDITIONAL_PARAMS", true);
    ASSERT_TRUE(report.prepare());
    EXPECT_EQ(sheetTexts(report), QString("всегда\nдоп\n\fПараметры ТП\n\f"));
    report.findPage("Page2")->setVisible(false);
    ASSERT_TRUE(report.prepare());
    EXPECT_EQ(report.prepared().pages.size(), 1u);
}

TEST(ReportBands, ATextLongerThanASheetRunsOnWithoutLosingALine)
{
    QStringList means;
    for (int i = 1; i <= 150; ++i)
        means << QString("Средство поверки %1").arg(i);
    const QString bands =
        band("PageHeader1", "pageHeader", memo("Протокол")) +
        band("Means", "title",
             "<text left='0' top='0' width='100' height='6' stretch='true' frame='left right'>"
             "[EquipParamsTP]</text>") +
        band("After", "title", memo("после"));
    Report report;
    report.setValueCallback([&](const QString &n) -> QVariant {
        return n == "EquipParamsTP" ? QVariant(means.join("\r\n")) : QVariant();
    });
    ASSERT_TRUE(report.loadFromData(pageXml(bands)));
    ASSERT_TRUE(report.prepare());
    const auto &pages = report.prepared().pages;
    ASSERT_GE(pages.size(), 3u);
    QStringList printed;
    for (const auto &page : pages) {
        for (const auto &item : page.items) {
            if (const auto *t = std::get_if<PreparedText>(&item)) {
                EXPECT_LE(t->box.bottom(), 297 - 10 + 0.01) << t->text.toStdString();
                if (t->text.startsWith("Средство"))
                    printed << t->text;
            } else if (const auto *l = std::get_if<PreparedLine>(&item)) {
                EXPECT_LE(std::max(l->line.y1(), l->line.y2()), 297 - 10 + 0.01);
            }
        }
    }
    EXPECT_EQ(printed.join('|').toStdString(), means.join('|').toStdString()); // CR LF breaks too
    EXPECT_TRUE(sheetTexts(report).endsWith("после\n\f"));
}

// Shared cell sides are drawn once, over every cell's background.
TEST(ReportBands, TableRulesAreDrawnOnceAndOverTheFills)
{
    const QString cells = "<text left='0' top='0' width='20' height='6' frame='all' "
                          "fill='#eeeeee'>a</text>"
                          "<text left='20' top='0' width='20' height='6' frame='all' "
                          "fill='#eeeeee'>b</text>";
    Report report;
    ASSERT_TRUE(
        report.loadFromData(pageXml(band("Row1", "title", cells) + band("Row2", "title", cells))));
    ASSERT_TRUE(report.prepare());
    int lines = 0;
    bool lineSeen = false;
    for (const auto &item : report.prepared().pages.front().items) {
        if (std::holds_alternative<PreparedLine>(item)) {
            ++lines;
            lineSeen = true;
        }
        if (std::holds_alternative<PreparedRect>(item)) {
            EXPECT_FALSE(lineSeen) << "a fill painted over a rule";
        }
    }
    // two rows of two cells: 3 verticals per row and 3 horizontals per column
    EXPECT_EQ(lines, 2 * 3 + 2 * 3);
}
