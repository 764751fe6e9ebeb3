// main for the test executables that need nothing set up but their
// children's end.
#include <gtest/gtest.h>

#include "child_process.h"

int main(int argc, char** argv)
{
    EndChildrenWithThisProcess();
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
