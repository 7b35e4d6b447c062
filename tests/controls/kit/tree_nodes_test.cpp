#include "controls/kit/fc_tree_nodes.h"
#include "support/le_bytes.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace lumeno {
namespace {

using test::Put32;
using Bytes = std::vector<std::uint8_t>;

// One node record as the stream holds it: L, the 39 + n record bytes, then
// the two strings.
void PutNode(Bytes& b, const std::string& text, std::int32_t image, std::uint8_t type, std::uint8_t flags,
             std::int32_t data, const std::string& link, std::int32_t children)
{
    Put32(b, static_cast<std::uint32_t>(39 + text.size()));
    Put32(b, static_cast<std::uint32_t>(image));
    Put32(b, static_cast<std::uint32_t>(image)); // selected index
    Put32(b, type ? 1u : 0xFFFFFFFFu);           // state index
    Put32(b, 0xFFFFFFFFu);                       // overlay
    b.push_back(type);
    b.push_back(flags);
    Put32(b, 0);
    Put32(b, static_cast<std::uint32_t>(data));
    Put32(b, static_cast<std::uint32_t>(link.size()));
    Put32(b, 0);
    Put32(b, static_cast<std::uint32_t>(children));
    b.push_back(static_cast<std::uint8_t>(text.size()));
    b.insert(b.end(), text.begin(), text.end());
    b.insert(b.end(), link.begin(), link.end());
}

Bytes Written(const TfcTreeNodes& nodes)
{
    TMemoryStream stream;
    nodes.WriteData(stream);
    return stream.Data();
}

class TreeNodesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fruit = nodes.Add(nullptr, "Fruit");
        apple = nodes.AddChild(fruit, "Apple");
        pear = nodes.AddChild(fruit, "Pear");
        veg = nodes.Add(nullptr, "Veg");
    }
    TfcTreeNodes nodes;
    TfcTreeNode* fruit = nullptr;
    TfcTreeNode* apple = nullptr;
    TfcTreeNode* pear = nullptr;
    TfcTreeNode* veg = nullptr;
};

TEST_F(TreeNodesTest, StreamOfATwoLevelTreeIsByteExactAndReadsBack)
{
    apple->SetCheckboxType(TfcCheckboxType::tctCheckbox);
    apple->SetChecked(true);
    apple->SetGrayed(true);
    apple->SetData(7);
    apple->SetStringData("http://x");
    pear->SetImageIndex(3);
    pear->SetSelectedIndex(3);

    Bytes expected;
    Put32(expected, 2);
    PutNode(expected, "Fruit", 0, 0, 0, 0, "", 2);
    PutNode(expected, "Apple", 0, 1, 3, 7, "http://x", 0);
    PutNode(expected, "Pear", 3, 0, 0, 0, "", 0);
    PutNode(expected, "Veg", 0, 0, 0, 0, "", 0);
    EXPECT_EQ(Written(nodes), expected);

    TfcTreeNodes copy;
    copy.Add(nullptr, "old");
    copy.Assign(nodes);
    ASSERT_EQ(copy.Count(), 4);
    EXPECT_EQ(Written(copy), expected);
    const TfcTreeNode* a = copy.Item(1);
    EXPECT_EQ(a->Text(), "Apple");
    EXPECT_TRUE(a->Checked());
    EXPECT_TRUE(a->Grayed());
    EXPECT_EQ(a->StringData(), "http://x");
    EXPECT_EQ(a->Parent(), copy.GetFirstNode());
}

TEST_F(TreeNodesTest, HostileStreamsRaiseAndKeepTheNodes)
{
    const Bytes good = Written(nodes);
    std::vector<Bytes> hostile;
    hostile.push_back(Bytes(good.begin(), good.end() - 3)); // cut inside the last text
    Bytes shortRecord;
    Put32(shortRecord, 1);
    PutNode(shortRecord, "abc", 0, 0, 0, 0, "", 0);
    shortRecord[4] = 40; // L below 39 + n
    hostile.push_back(shortRecord);
    Bytes tinyRecord = shortRecord;
    tinyRecord[4] = 10;
    hostile.push_back(tinyRecord);
    Bytes hugeString;
    Put32(hugeString, 1);
    PutNode(hugeString, "a", 0, 0, 0, 0, "", 0);
    hugeString[4 + 4 + 26] = 0xFF; // link length past the end
    hostile.push_back(hugeString);
    Bytes manyChildren;
    Put32(manyChildren, 1);
    PutNode(manyChildren, "a", 0, 0, 0, 0, "", 0x7FFFFFFF);
    hostile.push_back(manyChildren);
    Bytes manyRoots;
    Put32(manyRoots, 0x10000000);
    hostile.push_back(manyRoots);
    Bytes negativeRoots;
    Put32(negativeRoots, 0xFFFFFFFF);
    hostile.push_back(negativeRoots);
    Bytes badType;
    Put32(badType, 1);
    PutNode(badType, "a", 0, 9, 0, 0, "", 0);
    hostile.push_back(badType);
    Bytes deep;
    Put32(deep, 1);
    for (int i = 0; i < 2000; ++i)
        PutNode(deep, "d", 0, 0, 0, 0, "", 1);
    PutNode(deep, "d", 0, 0, 0, 0, "", 0);
    hostile.push_back(deep);

    for (size_t i = 0; i < hostile.size(); ++i) {
        TMemoryStream stream(hostile[i]);
        EXPECT_THROW(nodes.ReadData(stream), EfcStreamError) << "case " << i;
        EXPECT_EQ(Written(nodes), good) << "case " << i;
    }
}

// The most this process held at once since the last reset, in kB.
long PeakResidentKB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::stol(line.substr(6));
    return 0;
}

// A chain of nodes where every level claims as many children as the bytes
// after it could hold: each level's claim overlaps its ancestors', so the
// stream is refused without memory for the claims.
TEST_F(TreeNodesTest, ChildCountsShareTheBytesLeftWithTheirAncestors)
{
    constexpr int kLevels = 500, kNode = 43, kFiller = 64 * 1024;
    Bytes chain;
    Put32(chain, 1);
    for (int i = 0; i < kLevels; ++i) {
        const int after = (kLevels - 1 - i) * kNode + kFiller;
        PutNode(chain, "", 0, 0, 0, 0, "", i + 1 < kLevels ? after / kNode : 0);
    }
    chain.resize(chain.size() + kFiller);
    const Bytes good = Written(nodes);
    std::ofstream("/proc/self/clear_refs") << "5";
    const long before = PeakResidentKB();
    TMemoryStream stream(chain);
    EXPECT_THROW(nodes.ReadData(stream), EfcStreamError);
    EXPECT_LT(PeakResidentKB() - before, 16 * 1024);
    EXPECT_EQ(Written(nodes), good);

    // Claims that fit beside each other still read.
    Bytes wide;
    Put32(wide, 2);
    PutNode(wide, "a", 0, 0, 0, 0, "", 2);
    PutNode(wide, "b", 0, 0, 0, 0, "", 1);
    PutNode(wide, "c", 0, 0, 0, 0, "", 0);
    PutNode(wide, "d", 0, 0, 0, 0, "", 0);
    PutNode(wide, "e", 0, 0, 0, 0, "", 0);
    TMemoryStream fits(wide);
    nodes.ReadData(fits);
    EXPECT_EQ(nodes.Count(), 5);
    EXPECT_EQ(nodes.Item(2)->Text(), "c");
    EXPECT_EQ(nodes.Item(2)->Parent()->Text(), "b");
}

TEST_F(TreeNodesTest, LongerRecordsAreSkippedAndLongTextIsCut)
{
    Bytes padded;
    Put32(padded, 1);
    PutNode(padded, "ab", 5, 0, 0, 0, "L", 0);
    constexpr int kLength = 39 + 2 + 300; // 300 bytes of excess, past the 294-byte record
    padded[4] = kLength & 0xFF;
    padded[5] = kLength >> 8;
    padded.insert(padded.begin() + 8 + 41, 300, 0xEE);
    TMemoryStream stream(padded);
    nodes.ReadData(stream);
    ASSERT_EQ(nodes.Count(), 1);
    EXPECT_EQ(nodes.GetFirstNode()->Text(), "ab");
    EXPECT_EQ(nodes.GetFirstNode()->StringData(), "L");
    EXPECT_EQ(nodes.GetFirstNode()->ImageIndex(), 5);

    nodes.GetFirstNode()->SetText(QString(200, QChar(0x00E9))); // 400 bytes of UTF-8
    const Bytes written = Written(nodes);
    EXPECT_EQ(written[4 + 4 + 38], 254); // whole characters only
    TMemoryStream back(written);
    nodes.ReadData(back);
    EXPECT_EQ(nodes.GetFirstNode()->Text(), QString(127, QChar(0x00E9)));
}

TEST_F(TreeNodesTest, IndexAccessWalksInTreeOrderAndRejectsBadIndexes)
{
    EXPECT_EQ(nodes.Count(), 4);
    EXPECT_EQ(nodes.Item(0), fruit);
    EXPECT_EQ(nodes.Item(1), apple);
    EXPECT_EQ(nodes.Item(3), veg);
    EXPECT_EQ(nodes.Item(2), pear);
    EXPECT_EQ(pear->AbsoluteIndex(), 2);
    EXPECT_EQ(veg->GetPrev(), pear);
    EXPECT_EQ(pear->GetNext(), veg);
    EXPECT_EQ(fruit->GetNextVisible(), veg);
    fruit->Expand(false);
    EXPECT_EQ(fruit->GetNextVisible(), apple);
    EXPECT_EQ(veg->GetPrevVisible(), pear);
    EXPECT_THROW(nodes.Item(4), ETreeViewError);
    EXPECT_THROW(nodes.Item(-1), ETreeViewError);
    try {
        nodes.Item(9);
    } catch (const ETreeViewError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (9)");
    }
    apple->Delete();
    EXPECT_EQ(nodes.Count(), 3);
    EXPECT_EQ(nodes.Item(1), pear);
    EXPECT_EQ(pear->Index(), 0);
    EXPECT_EQ(nodes.FindNode("VEG", false), veg);
    nodes.Insert(veg, "Nuts");
    EXPECT_EQ(veg->Index(), 2);
}

TEST_F(TreeNodesTest, RadioCheckAndThreeStateRules)
{
    TfcTreeNode* r1 = nodes.AddChild(veg, "r1");
    TfcTreeNode* r2 = nodes.AddChild(veg, "r2");
    TfcTreeNode* box = nodes.AddChild(veg, "box");
    for (TfcTreeNode* r : {r1, r2})
        r->SetCheckboxType(TfcCheckboxType::tctRadioButton);
    box->SetCheckboxType(TfcCheckboxType::tctCheckbox);
    EXPECT_EQ(box->StateIndex(), 1);

    r1->ToggleByClick(false);
    EXPECT_TRUE(r1->Checked());
    r2->ToggleByClick(false);
    EXPECT_TRUE(r2->Checked());
    EXPECT_FALSE(r1->Checked());
    r2->ToggleByClick(false); // a radio stays checked
    EXPECT_TRUE(r2->Checked());
    r1->SetGrayed(true);
    EXPECT_TRUE(r2->Grayed());
    r1->SetChecked(true);
    r2->SetChecked(false);
    EXPECT_TRUE(r1->Checked());

    box->ToggleByClick(true);
    EXPECT_TRUE(box->Checked());
    EXPECT_FALSE(box->Grayed());
    box->ToggleByClick(true);
    EXPECT_TRUE(box->Checked());
    EXPECT_TRUE(box->Grayed());
    box->ToggleByClick(true);
    EXPECT_FALSE(box->Checked());
    EXPECT_FALSE(box->Grayed());
    box->ToggleByClick(false);
    box->ToggleByClick(false);
    EXPECT_FALSE(box->Checked());
    box->SetCheckboxType(TfcCheckboxType::tctNone);
    EXPECT_EQ(box->StateIndex(), -1);
}

} // namespace
} // namespace lumeno
