// The steps of an export to the state registry as the operator goes through them: where each
// answer stops it, and what it reports when files are written.
#include "registry/RegistryExportFlow.h"
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

} // namespace
} // namespace kront::test
