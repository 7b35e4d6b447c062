#include "support/test_env.h"

#include <gtest/gtest.h>

int main(int argc, char** argv)
{
    lumeno::test::IsolateUserFolders();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
