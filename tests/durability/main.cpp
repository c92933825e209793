#include "tests/support/TestServer.h"

#include <QCoreApplication>
#include <QLocale>
#include <gtest/gtest.h>

#include <cstdio>

// A core application only: the test forks children that work on the tables,
// and nothing here needs windows.
int main(int argc, char **argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (kront::test::serverStoreRequested() && !kront::test::serverTestsEnabled()) {
        std::fprintf(stderr, "KRONT_TEST_STORE=postgresql without KRONT_TEST_PG: skipped\n");
        return kront::test::kServerMissingExitCode;
    }
    return RUN_ALL_TESTS();
}
