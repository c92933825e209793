// The steps of an export to the state registry as the operator goes through them: where each
// answer stops it, and what it reports when files are written.
#include "registry/RegistryExportFlow.h"
#include "registry/ExportCandidates.h"
#include "registry/RegistryData.h"
#include "registry/RegistryRecord.h"
#include "tests/support/ScriptedDialogs.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace kront::test
{
namespace
{

RegistryPreview previewOf(int results, int exportedBefore)
{
    RegistryPreview p;
    for (int i = 0; i < results; ++i)
        p.results.push_back({QStringLiteral("П-1"), QStringLiteral("09.12.2026"),
                             QStringLiteral("S%1").arg(i), QStringLiteral("ТХА"),
                             QStringLiteral("12345-67"), true, i < exportedBefore});
    p.refusals.push_back({QStringLiteral("П-1"), QStringLiteral("S9"), QStringLiteral("ТХК"),
                          QStringLiteral("Тип ТХК не указан в таблице типов ТП.")});
    p.fileCount = 1;
    return p;
}

TEST(RegistryExportFlow, StopsWhereTheOperatorSaysAndReportsTheFilesWritten)
{
    QTemporaryDir dir;
    const QString existing = dir.filePath("existing.xml");
    QFile(existing).open(QIODevice::WriteOnly);
    const QString fresh = dir.filePath("fresh.xml");
    using A = Dialogs::Answer;
    struct Case {
        const char *name;
        int results, exportedBefore;
        bool cancelled; // the preview window was closed with "Отмена"
        QString file;   // chosen in the preview
        std::vector<A> answers;
        bool writeFails;
        bool written;         // write was called
        const char *lastText; // the last message, nullptr: none shown
    };
    const Case cases[] = {
        {"cancelled", 2, 0, true, fresh, {}, false, false, nullptr},
        {"nothing to write", 0, 0, false, fresh, {}, false, false, nullptr},
        {"exported before, no",
         2,
         1,
         false,
         fresh,
         {A::No},
         false,
         false,
         "Результаты поверки 1 ТП уже выгружались во ФГИС «Аршин». Выгрузить их снова?"},
        {"file exists, no", 2, 0, false, existing, {A::No}, false, false, nullptr},
        {"write fails", 2, 0, false, fresh, {}, true, true, nullptr},
        {"exported before, yes",
         2,
         2,
         false,
         fresh,
         {A::Yes},
         false,
         true,
         "Выгружено результатов поверки: 2.\r\nФайл: "},
        {"file exists, yes",
         3,
         0,
         false,
         existing,
         {A::Yes},
         false,
         true,
         "Выгружено результатов поверки: 3.\r\nФайл: "},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialogs dialogs;
        for (A a : c.answers)
            dialogs.queueAnswer(a);
        std::vector<int> gathered;
        QString offered, writtenTo;
        RegistryExportFlow flow(
            dialogs,
            [&](const std::vector<int> &ids) {
                gathered = ids;
                return std::optional(previewOf(c.results, c.exportedBefore));
            },
            [&](const QString &file) -> std::optional<QStringList> {
                writtenTo = file;
                if (c.writeFails)
                    return std::nullopt;
                return QStringList{file};
            },
            [&](const RegistryPreview &p, const QString &file) -> std::optional<QString> {
                offered = file;
                EXPECT_EQ(p.refusals.size(), 1u);
                return c.cancelled ? std::nullopt : std::optional(c.file);
            });
        EXPECT_EQ(flow.run({7, 3}, QStringLiteral("/offered.xml")), c.written && !c.writeFails);
        EXPECT_EQ(gathered, std::vector<int>({7, 3}));
        EXPECT_EQ(offered, QStringLiteral("/offered.xml"));
        EXPECT_EQ(writtenTo, c.written ? c.file : QString());
        EXPECT_TRUE(dialogs.answers.empty()) << "every question asked";
        if (c.lastText) {
            ASSERT_FALSE(dialogs.shown.empty());
            EXPECT_TRUE(dialogs.last().text.startsWith(QString::fromUtf8(c.lastText)))
                << dialogs.last().text.toStdString();
        }
        if (c.file == existing && !c.cancelled && c.results > 0) {
            EXPECT_TRUE(dialogs.texts().join('\n').contains("уже существует. Заменить его?"));
        }
    }
}

// The preview names each result and refusal by its verification and type, and knows which
// thermocouples of which verification were exported before.
TEST(RegistryPreview, NamesResultsAndRefusalsAndMarksTheExportedBefore)
{
    std::vector<ExportCandidate> candidates(3);
    const std::tuple<int, int, const char *, const char *> keys[] = {
        {10, 1, "П-10", "ТХА"}, {10, 2, "П-10", "ТХК"}, {11, 1, "П-11", "ТНН"}};
    for (size_t i = 0; i < 3; ++i) {
        auto [poverka, sensor, num, type] = keys[i];
        candidates[i].poverkaID = poverka;
        candidates[i].sensorID = sensor;
        candidates[i].povNum = QString::fromUtf8(num);
        candidates[i].typeName = QString::fromUtf8(type);
    }
    RegistryPlan plan;
    for (auto [poverka, sensor, fit] : {std::tuple{10, 1, true}, std::tuple{11, 1, false}}) {
        RegistryRecord r;
        r.poverkaID = poverka;
        r.sensorID = sensor;
        r.serialNum = QStringLiteral("S%1").arg(poverka);
        r.typeNumber = QStringLiteral("12345-67");
        r.vrfDate = QDate(2026, 12, 9);
        r.fit = fit;
        plan.records.push_back(r);
    }
    plan.refusals.push_back({10, QStringLiteral("П-10"), 2, QStringLiteral("S2"),
                             QStringLiteral("Не указаны условия поверки.")});
    // sensor 1 of verification 11 was exported; sensor 1 of verification 10 was not
    const std::vector<RegistryExportEntry> log{{1, 11, QDateTime(), QStringLiteral("a.xml")},
                                               {2, 10, QDateTime(), QStringLiteral("a.xml")}};

    const RegistryPreview p = PreviewOf(candidates, plan, log);
    ASSERT_EQ(p.results.size(), 2u);
    EXPECT_EQ(p.results[0].povNum, "П-10");
    EXPECT_EQ(p.results[0].typeName, "ТХА");
    EXPECT_EQ(p.results[0].date, "09.12.2026");
    EXPECT_FALSE(p.results[0].exportedBefore);
    EXPECT_EQ(p.results[1].typeName, "ТНН");
    EXPECT_FALSE(p.results[1].fit);
    EXPECT_TRUE(p.results[1].exportedBefore);
    EXPECT_EQ(p.exportedBeforeCount(), 1);
    ASSERT_EQ(p.refusals.size(), 1u);
    EXPECT_EQ(p.refusals[0].typeName, "ТХК");
    EXPECT_EQ(p.refusals[0].reason, "Не указаны условия поверки.");
    EXPECT_EQ(p.fileCount, 1);
}

} // namespace
} // namespace kront::test
