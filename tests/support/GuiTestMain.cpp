#include "app/LumettaApplication.h"
#include <gtest/gtest.h>

// Window tests run inside the program's own application object, so an
// exception that escapes a handler takes the same road as in the program.
int main(int argc, char **argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    // No window test needs a display, test discovery at build time included.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    lumetta::LumettaApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
