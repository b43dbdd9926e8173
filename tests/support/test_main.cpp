#include "support/ChildSanitizerReports.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

// Every test program runs with a QApplication on the offscreen platform, so widget tests
// and the SNMP event pump work alike.
int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    SendChildSanitizerReportsToOwnFolder();
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    const int failed = RUN_ALL_TESTS();
    // A report from a program the test started fails the test as its own would.
    if (ChildSanitizerReports() > 0)
        return 1;
    return failed;
}
