#include "service/Submission.h"

#include <gtest/gtest.h>

using namespace lumetta;

TEST(Submission, Refusals)
{
    const TDateTime now = EncodeDate(2026, 12, 6) + EncodeTime(12, 0, 0);
    const struct {
        const char *what;
        int exeSwitch;
        bool selection;
        QString lastModified;
        QString message;  // empty: goes on
    } cases[] = {
        {"switch absent or 0", 0, true, "2026-12-06", SubmissionDisabledMessage},
        {"nothing selected: nothing is sent", 1, false, "2026-12-06", SubmissionNoSelectionMessage},
        {"unreadable", 1, true, "yesterday", SubmissionUntestedMessage},
        {"60.5 days", 7, true, "2026-10-07", SubmissionInactiveMessage},
        {"exactly 60 days passes", 1, true, "2026-10-07 12:00", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        const auto refusal = CheckSubmission(c.exeSwitch, c.selection, c.lastModified, now);
        EXPECT_EQ(refusal ? refusal->message : QString(), c.message);
    }
}

TEST(Submission, QueryEncodesOnlyBlanksAmpersandsQuestionMarksAndEquals)
{
    SubmissionFields f{"Bars & Restaurants", "Joe's=Bar 100%", "http://x/cam.jpg?a=1&b=2", "http://x/",
                       EncodeTime(0, 5, 0), EncodeTime(8, 0, 0), EncodeTime(0, 30, 0), "1.0.0.1"};
    EXPECT_EQ(SubmissionQuery(f, 60),
              "?category=Bars%20%26%20Restaurants&webcam=Joe's%3DBar%20100%&image=http://x/cam.jpg%3Fa%3D1%26b%3D2"
              "&homepage=http://x/&RefreshRate=00:05:00&StartTime=09:00:00&EndTime=01:30:00"
              "&email=lists@korvane.example&other=1.0.0.1");
    EXPECT_EQ(SubmissionMarker(), "Email: lists@");
}

TEST(Submission, SwitchFromResponse)
{
    EXPECT_EQ(ExeSwitchFromHeader(""), std::nullopt);
    EXPECT_EQ(ExeSwitchFromHeader("0"), 0);
    EXPECT_EQ(ExeSwitchFromHeader("3"), 3);
    EXPECT_EQ(ExeSwitchFromHeader("yes"), 1);
}

TEST(Submission, ListedMeansTheExactImageUrl)
{
    const QStringList lists{"", "Snow||A||http://a/cam.jpg||h", "Adult||B||http://b"};
    EXPECT_TRUE(ListHasImageUrl(lists, "http://b"));
    EXPECT_FALSE(ListHasImageUrl(lists, "http://A/cam.jpg"));
    EXPECT_FALSE(ListHasImageUrl(lists, "http://a/cam"));
    EXPECT_FALSE(ListHasImageUrl({}, ""));
}

TEST(Export, SkipsSplitsSortsAndConverts)
{
    const auto rec = [](const char *cat, const char *name, const char *refresh, const char *enabled) {
        return QString("%1||%2||http://%2||h||%3||10:00:00||12:00:00||f||||||%4").arg(cat, name, refresh, enabled);
    };
    const MasterLists lists = BuildMasterLists(
        {rec("Snow", "b", "00:05:00", "1"), rec("Snow", "off", "00:05:00", "0"),
         rec("Snow", "-hidden", "00:05:00", "1"), rec("ADULT", "x", "00:00:10", "1"),
         rec("snow", "A", "00:05:00", "yes"), rec("Snow", "a", "00:01:00", "1"), rec("Snow", "B", "00:05:00", "1")},
        -60);
    EXPECT_EQ(lists.main, (QStringList{"Snow||a||http://a||h||60||09:00:00||11:00:00",
                                       "Snow||b||http://b||h||300||09:00:00||11:00:00"}))
        << "disabled, named with '-', and the same line in another case are left out";
    EXPECT_EQ(lists.adult, (QStringList{"ADULT||x||http://x||h||10||09:00:00||11:00:00"}));

    const MasterLists bad = BuildMasterLists({rec("Snow", "b", "soon", "1")}, 0);
    EXPECT_TRUE(bad.main.isEmpty());
    EXPECT_TRUE(bad.error.contains("soon"));
    EXPECT_EQ(ExportReport(2, std::nullopt), "2 main webcams exported\r\n");
}
