// The list of unfinished verifications of two installations sharing their
// tables: each sees its own and those no installation is named for, resumes
// and deletes only those.
#include "model/TPoverka.h"
#include "procedure/UnfinishedVerifications.h"
#include "tests/support/TwoInstallations.h"

namespace kront::test
{
namespace
{

class InstallationList : public TwoInstallations
{
protected:
    static QStringList numbers(const std::optional<std::vector<UnfinishedRow>> &rows)
    {
        QStringList out;
        if (rows)
            for (const UnfinishedRow &r : *rows)
                out << r.cells[0];
        return out;
    }
};

TEST_P(InstallationList, EachInstallationListsItsOwnAndTheUnmarkedVerifications)
{
    start(*first, QStringLiteral("1"));
    start(*second, QStringLiteral("2"));
    startUnmarked(*first, QStringLiteral("3"));
    start(*second, QStringLiteral("4"), QStringLiteral("Calculation;0;1;1;")); // done
    UnfinishedVerifications firstList(*first, firstDialogs);
    UnfinishedVerifications secondList(*second, secondDialogs);
    EXPECT_EQ(numbers(firstList.List()), (QStringList{"1", "3"}));
    EXPECT_EQ(numbers(secondList.List()), (QStringList{"2", "3"}));
    EXPECT_TRUE(firstDialogs.shown.empty());

    // With only another installation's verification left, the list is empty.
    ASSERT_TRUE(first->DBDeletePoverka(QStringLiteral("PovNum <> '2'")));
    const auto rows = firstList.List();
    ASSERT_TRUE(rows.has_value());
    EXPECT_TRUE(rows->empty());
    EXPECT_EQ(firstDialogs.last().text, QStringLiteral("Незавершенные поверки не найдены."));
}

TEST_P(InstallationList, AnotherInstallationsVerificationIsNotResumed)
{
    start(*second, QStringLiteral("5"));
    UnfinishedVerifications firstList(*first, firstDialogs);
    UnfinishedVerifications secondList(*second, secondDialogs);
    // A row of the other installation's list, as a stale list would hold it.
    const auto theirs = secondList.List();
    ASSERT_TRUE(theirs && theirs->size() == 1);
    firstDialogs.defaultYes = true;
    EXPECT_EQ(firstList.Resume(theirs->front()), nullptr);
    EXPECT_EQ(firstDialogs.last().text,
              QStringLiteral("Поверка № 5 начата на установке «Стенд-2». Продолжить её можно "
                             "только на этой установке."));
    secondDialogs.defaultYes = true;
    const auto resumed = secondList.Resume(theirs->front());
    ASSERT_NE(resumed, nullptr);
    EXPECT_EQ(resumed->PovNum, QStringLiteral("5"));
}

TEST_P(InstallationList, DeletingFromTheListKeepsAnotherInstallationsVerificationOfTheSameNumber)
{
    const int mine = start(*first, QStringLiteral("9"));
    const int theirs = start(*second, QStringLiteral("9"));
    UnfinishedVerifications firstList(*first, firstDialogs);
    const auto rows = firstList.List();
    ASSERT_TRUE(rows && rows->size() == 1);
    firstDialogs.defaultYes = true;
    firstList.Delete(rows->front());
    EXPECT_EQ(first->DBGetRecordsCount(tables::Poverki, QStringLiteral("ID = %1").arg(mine)), 0);
    EXPECT_EQ(first->DBGetRecordsCount(tables::Poverki, QStringLiteral("ID = %1").arg(theirs)), 1);
    const auto owners = first->installationsOf({mine, theirs});
    ASSERT_TRUE(owners.has_value());
    EXPECT_EQ(*owners, (std::map<int, QString>{{theirs, QStringLiteral("Стенд-2")}}));
}

INSTANTIATE_TEST_SUITE_P(Stores, InstallationList,
                         ::testing::Values(SharedStore::Embedded, SharedStore::Server),
                         sharedStoreName);

} // namespace
} // namespace kront::test
