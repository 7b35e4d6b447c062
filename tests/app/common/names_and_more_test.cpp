#include "app/common/names_and_more.h"

#include <gtest/gtest.h>

namespace lumeno {
namespace {

TEST(NamesAndMore, NamesTheFirstFewAndCountsTheRest)
{
    const std::vector<std::string> names = {"a", "b", "c", "d"};
    EXPECT_EQ(NamesAndMore(names, 4, ", "), "a, b, c, d");
    EXPECT_EQ(NamesAndMore(names, 9, ", "), "a, b, c, d");
    EXPECT_EQ(NamesAndMore(names, 2, ", "), "a, b, and 2 more");
    EXPECT_EQ(NamesAndMore(names, 1, "\n"), "a\nand 3 more");
    EXPECT_EQ(NamesAndMore(names, 0, ", "), "and 4 more");
    EXPECT_EQ(NamesAndMore({}, 3, ", "), "");
}

} // namespace
} // namespace lumeno
