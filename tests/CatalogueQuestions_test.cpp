#include "app/CatalogueQuestions.h"

#include <gtest/gtest.h>

using namespace lumetta;

namespace {

TEST(InactiveSitesCutoff, ThePickedDayAtTheTimeOfDayItIsNow)
{
    const TDateTime now = EncodeDate(2026, 12, 6) + EncodeTime(14, 30, 0);
    EXPECT_DOUBLE_EQ(InactiveSitesCutoff(QDate(2024, 12, 6), now), EncodeDate(2024, 12, 6) + EncodeTime(14, 30, 0));
    EXPECT_DOUBLE_EQ(InactiveSitesCutoff(QDate(2024, 12, 6), EncodeDate(2026, 12, 6)), EncodeDate(2024, 12, 6))
        << "at midnight";
}

// Yes and No reach the catalogue in the window's own test of the deletion.
TEST(DeleteInactiveDecision, YesToAllAbortAndAClosedBox)
{
    EXPECT_EQ(DeleteInactiveDecision(DialogButton::YesToAll), Catalogue::Decision::YesToAll);
    EXPECT_EQ(DeleteInactiveDecision(DialogButton::Abort), Catalogue::Decision::Abort);
    EXPECT_EQ(DeleteInactiveDecision(DialogButton::Cancel), Catalogue::Decision::No) << "a closed box";
}

} // namespace
