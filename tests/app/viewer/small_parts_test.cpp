// Bookmark file, version texts and the command-line rule.

#include "app/viewer/bookmarks.h"
#include "app/viewer/tool_switch.h"
#include "app/viewer/version_info.h"
#include "support/test_env.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

TEST(Bookmarks, ReadsLfAndCrLfAndWritesLf)
{
    test::TempDir dir;
    const std::string path = dir.File("bookmrks.dat");
    EXPECT_EQ(ReadBookmarks(path), std::vector<std::string>{});
    test::WriteFileBytes(path, {'/', 'a', '\r', '\n', '/', 'b', ' ', '&', ' ', 'c', '\n', '/', 'd'});
    const auto folders = ReadBookmarks(path);
    EXPECT_EQ(folders, (std::vector<std::string>{"/a", "/b & c", "/d"}));
    WriteBookmarks(path, folders);
    const auto bytes = test::ReadFileBytes(path);
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "/a\n/b & c\n/d\n");
}

TEST(Bookmarks, AFileThatCannotBeReadIsNoEmptyList)
{
    test::TempDir dir;
    std::filesystem::create_directory(dir.File("bookmrks.dat"));
    EXPECT_THROW(ReadBookmarks(dir.File("bookmrks.dat")), EBookmarkFile);
    EXPECT_EQ(ReadBookmarksOrNone(dir.File("bookmrks.dat")), std::vector<std::string>{});
}

TEST(Bookmarks, AFileOverTheSizeLimitIsRefused)
{
    test::TempDir dir;
    const std::string path = dir.File("bookmrks.dat");
    std::vector<unsigned char> bytes(std::size_t(kMaxBookmarkFileSize), 'a');
    bytes[0] = '/';
    test::WriteFileBytes(path, bytes);
    EXPECT_EQ(ReadBookmarks(path).size(), 1u);
    bytes.push_back('\n');
    test::WriteFileBytes(path, bytes);
    try {
        ReadBookmarks(path);
        ADD_FAILURE() << "a file over the limit was read";
    } catch (const EBookmarkFile& e) {
        EXPECT_EQ(std::string(e.what()), "The bookmark file " + path + " is larger than 1 MB");
    }
}

TEST(VersionInfo, LabelsFromTheRecordedValues)
{
    EXPECT_EQ(VersionLabel(VersionValue("FileVersion")), "Version 7.8.0.0");
    EXPECT_EQ(VersionLabel(std::nullopt), "Lumeno");
    EXPECT_EQ(VersionLabel(std::string("7.8.0.")), "Lumeno");
    EXPECT_EQ(VersionLabel(std::string("1.0.0.0")), "Version 1.0.0.0");
    EXPECT_EQ(CopyrightLabel(std::string("(c) 2026")), "Copyright (c) Orvella Software");
    EXPECT_EQ(CopyrightLabel(VersionValue("LegalCopyright")), *VersionValue("LegalCopyright"));
}

TEST(Arguments, OneFileIsMadeAbsoluteTwoCountAsNoneToolsTakeTheRest)
{
    EXPECT_EQ(ParseArguments({"pics/a.jpg"}, "/home/u").StartFile, "/home/u/pics/a.jpg");
    EXPECT_EQ(ParseArguments({"/x/../y/a.jpg"}, "/home/u").StartFile, "/y/a.jpg");
    EXPECT_EQ(ParseArguments({"a.jpg", "b.jpg"}, "/home/u").StartFile, "");
    EXPECT_EQ(ParseArguments({}, "/home/u").StartFile, "");
    const TStartRequest tool = ParseArguments({"--tool", "convert", "a.jpg", "b.jpg"}, "/home/u");
    EXPECT_EQ(tool.Tool, "convert");
    EXPECT_EQ(tool.ToolFiles, (QStringList{"a.jpg", "b.jpg"}));
    EXPECT_EQ(tool.StartFile, "");
}

} // namespace
} // namespace lumeno
