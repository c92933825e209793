// The numbers of new certificates and notices under automatic numbering: the
// settings' counter on the table files, the server's counter shared by the
// installations on a server.
#include "reports/DocumentNumbers.h"
#include "settings/SettingsFile.h"
#include "tests/support/TwoInstallations.h"

namespace kront::test
{
namespace
{

class DocumentNumbers : public TwoInstallations
{
protected:
    void SetUp() override
    {
        TwoInstallations::SetUp();
        settings.setNumbering(DocumentKind::Certificate, {true, 41, 3});
        settings.setNumbering(DocumentKind::Notice, {true, 7, 4});
    }
    ProgramSettings settings;
};

TEST_P(DocumentNumbers, EachInstallationGetsTheNextNumberOfItsStore)
{
    const bool onServer = GetParam() == SharedStore::Server;
    const auto svid = [&](Database &db) {
        return newDocumentNumber(db, settings, DocumentKind::Certificate).value_or("<none>");
    };
    EXPECT_EQ(svid(*first), QStringLiteral("041"));
    // Before the first is printed the other installation asks: on a server it
    // gets the next number, on the table files the settings still propose 41.
    EXPECT_EQ(svid(*second), onServer ? QStringLiteral("042") : QStringLiteral("041"));
    EXPECT_EQ(newDocumentNumber(*second, settings, DocumentKind::Notice), QStringLiteral("0007"));

    // A number typed over the proposed one and printed moves the counter past it.
    documentNumberPrinted(*first, settings, DocumentKind::Certificate, 120, firstDialogs);
    EXPECT_EQ(svid(*second), QStringLiteral("121"));
    // The settings move past a printed number on either store: they show the
    // installation the number that follows.
    EXPECT_EQ(settings.numbering(DocumentKind::Certificate).nextNum, 121);
    EXPECT_EQ(SettingsFile().svidNextNum(), 121);
    EXPECT_TRUE(firstDialogs.shown.empty());
    EXPECT_TRUE(secondDialogs.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Stores, DocumentNumbers,
                         ::testing::Values(SharedStore::Embedded, SharedStore::Server),
                         sharedStoreName);

} // namespace
} // namespace kront::test
