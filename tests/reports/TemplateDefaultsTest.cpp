// A home made by --home or KRONT_HOME has no Protocol/ folder: its protocols
// are printed from the templates installed with the program, and a lab's own
// template in its home wins over them.

#include "reports/ProtocolPrinter.h"
#include "reports/ReportContext.h"
#include "tests/reports/ReportsFixture.h"

namespace kront::test
{
namespace
{

class TemplateDefaultsTest : public ReportsFixture
{
protected:
    ReportContext ctx{db};
    QStringList shown; // file and title of each protocol shown

    void SetUp() override
    {
        ReportsFixture::SetUp();
        const QDir source(QStringLiteral(KRONT_SOURCE_DIR "/resources/protocol"));
        const QDir installed(home.defaults() + QStringLiteral("/Protocol"));
        ASSERT_TRUE(installed.mkpath(QStringLiteral(".")));
        for (const QString &name : source.entryList(QDir::Files))
            ASSERT_TRUE(QFile::copy(source.filePath(name), installed.filePath(name)));
        ASSERT_TRUE(QDir(home.path() + QStringLiteral("/Protocol")).removeRecursively());
    }

    void print(int poverkaID)
    {
        ProtocolPrinter printer(ctx, dialogs, [this](report::Report &r, const QString &) {
            EXPECT_TRUE(r.prepare()) << r.errorString().toStdString();
            shown << r.fileName() + u'|' + r.title();
        });
        printer.printProtocols(poverkaID);
        EXPECT_EQ(dialogs.texts(), QStringList());
    }

    QString installedTemplate(bool electrode) const
    {
        return home.defaults() + QStringLiteral("/Protocol/") + ProtocolTemplateName(electrode);
    }
};

TEST_F(TemplateDefaultsTest, FreshHomePrintsFromInstalledTemplatesAndItsOwnTemplateWins)
{
    const DirectFixture direct = makeDirect();
    const ElectrodeFixture electrode = makeElectrode();
    const QString directTitle = QStringLiteral("Протокол поверки ТП методом прямых измерений");
    const QString electrodeTitle =
        QStringLiteral("Протокол поверки ТП методом поэлектродного сличения");
    print(direct.poverkaID);
    print(electrode.poverkaID);
    EXPECT_EQ(shown, QStringList({installedTemplate(false) + u'|' + directTitle,
                                  installedTemplate(false) + u'|' + directTitle,
                                  installedTemplate(true) + u'|' + electrodeTitle}));

    // The lab edits its copy of the direct-method protocol only.
    QFile source(installedTemplate(false));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString edited = QString::fromUtf8(source.readAll())
                               .replace(QStringLiteral("title=\"") + directTitle + u'"',
                                        QStringLiteral("title=\"Протокол лаборатории\""));
    ASSERT_TRUE(QDir(home.path()).mkpath(QStringLiteral("Protocol")));
    const QString own = AppHome::protocolFile(ProtocolTemplateName(false));
    QFile file(own);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(edited.toUtf8());
    file.close();
    shown.clear();
    print(direct.poverkaID);
    print(electrode.poverkaID);
    EXPECT_EQ(shown, QStringList({own + QStringLiteral("|Протокол лаборатории"),
                                  own + QStringLiteral("|Протокол лаборатории"),
                                  installedTemplate(true) + u'|' + electrodeTitle}));
}

} // namespace
} // namespace kront::test
