#include "controls/shell/file_masks.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

using ::testing::ElementsAre;

TEST(FileMasks, ListIsLowerCaseSortedAndWithoutDuplicates)
{
    TMaskList list;
    BuildMaskList("*.jpg;*.GIF;*.JPG", list);
    EXPECT_THAT(list, ElementsAre("*.gif", "*.jpg"));
    BuildMaskList("", list);
    EXPECT_THAT(list, ElementsAre("*"));
    BuildMaskList("*.png;", list);
    EXPECT_THAT(list, ElementsAre("*.png"));
    // An empty entry matches nothing, so this list takes no name at all.
    BuildMaskList(";", list);
    EXPECT_THAT(list, ElementsAre(""));
    EXPECT_FALSE(MatchesMaskList("a.png", list));
}

TEST(FileMasks, ListMatchingIgnoresCaseAndTreatsDotlessNamesAsEndingInADot)
{
    TMaskList list;
    BuildMaskList("*.jpg", list);
    EXPECT_FALSE(MatchesMaskList("photo", list));
    EXPECT_TRUE(MatchesMaskList("Photo.JPG", list));
    EXPECT_TRUE(MatchesMaskList("anything", TMaskList{}));
    BuildMaskList("*.*", list);
    EXPECT_TRUE(MatchesMaskList("README", list));
    EXPECT_FALSE(MatchesMask("README", "*.*"));
}

TEST(FileMasks, SingleMasks)
{
    EXPECT_TRUE(MatchesMask("abc.txt", "a?c.*"));
    EXPECT_TRUE(MatchesMask("abc.txt", "*b*.txt"));
    EXPECT_FALSE(MatchesMask("abc.txt", "b*"));
    EXPECT_TRUE(MatchesMask("ABC.txt", "abc.TXT"));
    EXPECT_FALSE(MatchesMask("abc.txt", "abc.tx"));
    EXPECT_FALSE(MatchesMask("abc.txt", ""));
    EXPECT_TRUE(MatchesMask("", "*"));
    EXPECT_FALSE(MatchesMask("ab", "ab?"));
    EXPECT_TRUE(MatchesMask("a.b.c", "*.c"));
    EXPECT_TRUE(MatchesMask("\xC3\xA9t\xC3\xA9.png", "?t?.png")); // '?' takes a whole character
}

TEST(FileMasks, StarsBacktrack)
{
    // A first-occurrence matcher takes the first 'a' for the literal and fails.
    EXPECT_TRUE(MatchesMask("aabc", "*a?c"));
    EXPECT_TRUE(MatchesMask("abcabd.txt", "*ab?.txt"));
    EXPECT_TRUE(MatchesMask("x.tar.gz", "*.gz"));
    EXPECT_FALSE(MatchesMask(std::string(200, 'a') + "b", "*a*a*a*a*a*a*a*a*c"));
}

TEST(FileMasks, ShortNameExtensionsTakeTheirLongForms)
{
    EXPECT_TRUE(MatchesMask("x.jpeg", "*.jpg"));
    EXPECT_TRUE(MatchesMask("X.JPE", "*.JPG"));
    EXPECT_TRUE(MatchesMask("scan.tiff", "*.tif"));
    EXPECT_FALSE(MatchesMask("x.jpgx", "*.jpg"));
    EXPECT_FALSE(MatchesMask("x.jpg", "*.jpeg"));
    EXPECT_FALSE(MatchesMask("x.jpeg", "x.jpg")); // a plain name is only itself
    TMaskList list;
    BuildMaskList("*.gif;*.jpg", list);
    EXPECT_TRUE(MatchesMaskList("Holiday.JPEG", list));
}

} // namespace
} // namespace lumeno
