// The filters of the toolkit's file dialog as Load, Save and Make open it.

#include "ui/FileDialogs.h"

#include <gtest/gtest.h>

TEST(FileDialogs, FiltersShowTheirDescriptionAsWrittenAndAllFilesMatchesEveryName)
{
    // What the dialog shows, then in parentheses the patterns it matches with, which it hides.
    EXPECT_EQ(ui::nameFilter("Z-code Files (.z?;.dat)", "*.z?;*.dat"),
              "Z-code Files (.z?;.dat) (*.z? *.dat)");
    EXPECT_EQ(ui::nameFilter("Stories", "*.z3;*.z5"), "Stories (*.z3 *.z5) (*.z3 *.z5)");
    // A catalogue saved as "mygames" is found again.
    EXPECT_EQ(ui::nameFilter("All files (*.*)", "*.*"), "All files (*.*) (*)");
}
