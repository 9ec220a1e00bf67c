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

TEST(DeleteInactiveDecision, EveryAnswerAndAClosedBox)
{
    const std::pair<DialogButton, Catalogue::Decision> cases[] = {
        {DialogButton::Yes, Catalogue::Decision::Yes},
        {DialogButton::No, Catalogue::Decision::No},
        {DialogButton::YesToAll, Catalogue::Decision::YesToAll},
        {DialogButton::Abort, Catalogue::Decision::Abort},
        {DialogButton::Cancel, Catalogue::Decision::No},
    };
    for (const auto &[answer, decision] : cases)
        EXPECT_EQ(DeleteInactiveDecision(answer), decision) << int(answer);
}

} // namespace
