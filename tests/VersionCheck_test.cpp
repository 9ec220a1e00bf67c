#include "service/VersionCheck.h"

#include <gtest/gtest.h>

using namespace lumetta;

TEST(VersionCheck, NewerPartByPart)
{
    struct { const char *latest; const char *current; bool newer; } const cases[] = {
        {"2.4.10", "2.4.9", true},            // numbers, not text
        {"2.4.1.77.1", "2.4.1.77", true},     // a part more
        {"2.4.1", "2.4.1.77", false},         // a part fewer: only latest's parts count
        {"2.4.1.77", "2.4.1.77", false},
        {"3", "2.9.9.9", true},
        {"2.5.0", "2.x.9", true},
        {"2.4.1x", "2.4.0", false},           // a part that is not wholly a number counts 0
        {"1.1.1.1.1.1.1.1.1.2", "1.1.1.1.1.1.1.1.1.1", true},  // more than nine parts: all count
        {"99999999999", "1", false},          // too large for a number: 0
        {"", "2.4.1", false},
        {"2.4.1", "", false},
    };
    for (const auto &c : cases)
        EXPECT_EQ(IsNewerVersion(c.latest, c.current), c.newer) << c.latest << " against " << c.current;
}

TEST(VersionCheck, ProductLineOfTheVersionFile)
{
    struct { const char *description; QByteArray file; QString latest; } const cases[] = {
        {"case and blanks", "  LUMETTA \t 2.5  \r\n", "2.5"},
        {"first matching line counts", "other 1.0\r\n\r\nlumetta 2.0\r\nlumetta 3.0\r\n", "2.0"},
        {"key later in the line does not count", "new lumetta 9.9\r\n", UnknownVersion},
        {"empty version", "lumetta\r\n", ""},
        {"no line", "other 1.0\n", UnknownVersion},
        {"bare carriage returns", "other 1.0\rlumetta 2.1\r", "2.1"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(LatestVersionIn(c.file, "Lumetta"), c.latest) << c.description;
}
