// Relative patterns and a missing folder are the program test's; the names fuzz target checks
// how any argument splits.

#include "tools/storycrc/FolderWalk.h"

#include <gtest/gtest.h>

TEST(ResolvePattern, AnAbsolutePatternKeepsItsFolder)
{
    const ResolvedPattern absolute = resolvePattern("/tmp/*.dat");
    EXPECT_EQ(absolute.folder, "/tmp/");
    EXPECT_EQ(absolute.pattern, "*.dat");
}
