#include "platform/qt/shell/item_id_list.h"
#include "platform/qt/shell/shell_namespace.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace lumeno {
namespace {

// One item of the given byte count (count included), filled with a marker.
std::vector<std::uint8_t> Item(std::uint16_t count, std::uint8_t marker)
{
    std::vector<std::uint8_t> bytes(count, marker);
    bytes[0] = std::uint8_t(count & 0xFF);
    bytes[1] = std::uint8_t(count >> 8);
    return bytes;
}

std::vector<std::uint8_t> List(std::initializer_list<std::vector<std::uint8_t>> items)
{
    std::vector<std::uint8_t> bytes;
    for (const auto& item : items)
        bytes.insert(bytes.end(), item.begin(), item.end());
    bytes.push_back(0);
    bytes.push_back(0);
    return bytes;
}

std::vector<std::uint8_t> Bytes(PCItemIdList list) { return {list, list + ItemIdListSize(list)}; }

TEST(ItemIdList, SizesCountEveryItemAndTheTerminator)
{
    const auto one = List({Item(20, 0xAA)});
    EXPECT_EQ(ItemIdListSize(one.data()), 22u);
    const auto two = List({Item(20, 0xAA), Item(300, 0xBB)});
    EXPECT_EQ(ItemIdListSize(two.data()), 322u);
    const auto empty = List({});
    EXPECT_EQ(ItemIdListSize(empty.data()), 2u);
    EXPECT_EQ(ItemIdListSize(nullptr), 0u);
}

TEST(ItemIdList, ConcatenationKeepsOneTerminator)
{
    const auto a = List({Item(20, 0xAA)});
    const auto b = List({Item(6, 0xBB)});
    TOwnedIdList joined(ConcatItemIdLists(a.data(), b.data()));
    EXPECT_EQ(Bytes(joined.get()), List({Item(20, 0xAA), Item(6, 0xBB)}));

    TOwnedIdList copy(ConcatItemIdLists(nullptr, b.data()));
    EXPECT_EQ(Bytes(copy.get()), b);
    EXPECT_NE(copy.get(), b.data());

    const auto empty = List({});
    TOwnedIdList same(ConcatItemIdLists(a.data(), empty.data()));
    EXPECT_EQ(Bytes(same.get()), a);
}

TEST(ItemIdList, CopyFirstAndNextWalkTheItems)
{
    const auto list = List({Item(5, 0x11), Item(9, 0x22)});
    TOwnedIdList copy(CopyItemIdList(list.data()));
    EXPECT_EQ(Bytes(copy.get()), list);
    EXPECT_EQ(CopyItemIdList(nullptr), nullptr);

    TOwnedIdList first(CopyFirstItem(list.data()));
    EXPECT_EQ(Bytes(first.get()), List({Item(5, 0x11)}));

    PCItemIdList second = NextItem(PCItemIdList(list.data()));
    ASSERT_EQ(second, list.data() + 5);
    PCItemIdList end = NextItem(second);
    ASSERT_NE(end, nullptr);
    EXPECT_TRUE(IsEmptyItemIdList(end));
    EXPECT_EQ(ItemIdListSize(end), 2u);
    EXPECT_EQ(NextItem(end), nullptr);
    EXPECT_EQ(NextItem(PCItemIdList(nullptr)), nullptr);
}

TEST(ItemIdList, FreeClearsTheReferenceAndAllocationIsZeroed)
{
    PItemIdList list = AllocItemIdList(16);
    ASSERT_NE(list, nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(list[i], 0);
    FreeItemIdList(list);
    EXPECT_EQ(list, nullptr);
    FreeItemIdList(list); // a nil list is left alone
}

TEST(ItemIdList, ItemsCarryKindAndPayload)
{
    TOwnedIdList item(MakeItem(ikEntryFolder, "Photos"));
    ASSERT_TRUE(item);
    EXPECT_EQ(ItemSize(item.get()), 2u + 1u + 6u + 1u);
    EXPECT_EQ(ItemKind(item.get()), ikEntryFolder);
    EXPECT_EQ(ItemPayload(item.get()), "Photos");
    EXPECT_EQ(MakeItem(ikEntryFile, std::string(70000, 'x')), nullptr);
}

} // namespace
} // namespace lumeno
