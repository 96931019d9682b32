// Words of convdiff-transient's report: frame numbers as a list a student
// reads, one frame singular, runs of frames as ranges.
#include <gtest/gtest.h>

#include "cli/transient_report.hpp"

TEST(TransientReportWords, FramesAreListedWithAndAndRanges) {
    EXPECT_EQ(cli::FramesWords({}), "");
    EXPECT_EQ(cli::FramesWords({2}), "frame 2");
    EXPECT_EQ(cli::FramesWords({2, 5}), "frames 2 and 5");
    EXPECT_EQ(cli::FramesWords({2, 5, 7}), "frames 2, 5 and 7");
    EXPECT_EQ(cli::FramesWords({2, 3}), "frames 2-3");
    EXPECT_EQ(cli::FramesWords({3, 4, 5, 6, 7, 10}), "frames 3-7 and 10");
    EXPECT_EQ(cli::FramesWords({0, 2, 3, 4, 9, 10}), "frames 0, 2-4 and 9-10");
}
