#include "tests/support/TestServer.h"

#include <QApplication>
#include <QLocale>
#include <gtest/gtest.h>

#include <cstdio>

// Tests run offscreen under a non-Russian locale, so that every decimal comma
// and date format the program shows is proven independent of the system.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen")
                                                                    : qgetenv("QT_QPA_PLATFORM"));
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    if (kront::test::serverStoreRequested() && !kront::test::serverTestsEnabled()) {
        std::fprintf(stderr, "KRONT_TEST_STORE=postgresql without KRONT_TEST_PG: no server to "
                             "run on (scripts/pg-cluster.sh); skipped\n");
        return kront::test::kServerMissingExitCode;
    }
    return RUN_ALL_TESTS();
}
