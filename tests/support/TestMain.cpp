#include <QCoreApplication>
#include <gtest/gtest.h>

// A Qt application object exists in every test, so event loops, sockets and
// timers work as they do in the program.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    QCoreApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
