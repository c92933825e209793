#include <QCoreApplication>
#include <QLocale>
#include <gtest/gtest.h>

// A core application only: the test forks children that work on the tables,
// and nothing here needs windows.
int main(int argc, char **argv)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
