#include "controls/kit/fc_tree_view.h"

#include <QApplication>
#include <QSignalSpy>
#include <QtTest/QTest>
#include <gtest/gtest.h>

namespace lumeno {
namespace {

class TreeViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        tree.resize(200, 150);
        auto& items = tree.Items();
        parent = items.Add(nullptr, "Parent");
        for (const char* text : {"a", "b", "c", "d", "e"})
            children.push_back(items.AddChild(parent, text));
        other = items.Add(nullptr, "Other");
        parent->Expand(false);
        tree.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&tree));
    }
    QPoint LabelOf(TfcTreeNode* node) { return tree.DisplayRect(node, true).center(); }

    TfcTreeView tree;
    TfcTreeNode* parent = nullptr;
    TfcTreeNode* other = nullptr;
    std::vector<TfcTreeNode*> children;
};

TEST_F(TreeViewTest, MultiSelectionWithCtrlAndShiftStaysOnOneLevel)
{
    tree.MultiSelectAttributes().SetMultiSelectLevel(1);
    tree.MultiSelectAttributes().SetEnabled(true);
    EXPECT_TRUE(tree.ShowsBox(children[0]));
    EXPECT_FALSE(tree.ShowsBox(parent));

    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, LabelOf(children[1]));
    EXPECT_EQ(tree.Selected(), children[1]);
    EXPECT_EQ(tree.MultiSelectList(), std::vector<TfcTreeNode*>{children[1]});
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, LabelOf(children[3]));
    EXPECT_EQ(tree.MultiSelectList(), (std::vector<TfcTreeNode*>{children[1], children[3]}));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, Qt::ControlModifier, LabelOf(children[1]));
    EXPECT_EQ(tree.MultiSelectList(), std::vector<TfcTreeNode*>{children[3]});

    // Shift selects from the anchor (the last plain or Ctrl click) in either direction.
    tree.MultiSelectClick(children[4], Qt::ShiftModifier);
    EXPECT_EQ(tree.MultiSelectList(), (std::vector<TfcTreeNode*>{children[1], children[2], children[3], children[4]}));
    tree.MultiSelectClick(children[0], Qt::ShiftModifier);
    EXPECT_EQ(tree.MultiSelectList(), (std::vector<TfcTreeNode*>{children[0], children[1]}));
    EXPECT_EQ(tree.Selected(), children[0]);

    // A click on another level selects the node but no flag is set there.
    tree.MultiSelectClick(other, {});
    EXPECT_FALSE(other->Selected());
    EXPECT_EQ(tree.MultiSelectList().size(), 2u);
    tree.MultiSelectAttributes().SetMultiSelectLevel(0);
    EXPECT_TRUE(tree.MultiSelectList().empty());
    tree.MultiSelectAttributes().SetEnabled(false);
    EXPECT_FALSE(tree.ShowsBox(children[0]));
}

TEST_F(TreeViewTest, BoxClicksFollowTheNodeRulesAndSpaceActsAlike)
{
    children[0]->SetCheckboxType(TfcCheckboxType::tctCheckbox);
    QSignalSpy toggled(&tree, &TfcCustomTreeView::OnToggleCheckbox);
    const QRect row = tree.DisplayRect(children[0], false);
    const QRect box = tree.ItemLayout(children[0]).BoxRect.translated(row.topLeft());
    EXPECT_EQ(box.width(), 2 * fcBoxHalfSide(tree.ItemHeight()));
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, box.center());
    EXPECT_TRUE(children[0]->Checked());
    EXPECT_EQ(toggled.count(), 1);
    tree.SetSelected(children[0]);
    QTest::keyClick(&tree, Qt::Key_Space);
    EXPECT_FALSE(children[0]->Checked());
    tree.SetReadOnly(true);
    QTest::keyClick(&tree, Qt::Key_Space);
    EXPECT_FALSE(children[0]->Checked());
    EXPECT_EQ(fcBoxHalfSide(16), 6);
    EXPECT_EQ(fcBoxHalfSide(40), 12);
}

TEST_F(TreeViewTest, ButtonsToggleAndTheChangeNoticeWaitsForItsDelay)
{
    const QRect row = tree.DisplayRect(parent, false);
    QTest::mouseClick(tree.viewport(), Qt::LeftButton, {}, row.topLeft() + QPoint(tree.ItemLayout(parent).ButtonCentre, row.height() / 2));
    EXPECT_FALSE(parent->Expanded());
    EXPECT_TRUE(tree.DisplayRect(children[0], false).isEmpty());

    QSignalSpy changes(&tree, &TfcCustomTreeView::OnChange);
    tree.SetChangeDelay(60);
    tree.SetSelected(other);
    EXPECT_EQ(changes.count(), 0);
    EXPECT_TRUE(changes.wait(1000));
    EXPECT_EQ(changes.count(), 1);

    bool veto = true;
    QObject::connect(&tree, &TfcCustomTreeView::OnChanging, [&](auto*, auto*, bool& allow) { allow = !veto; });
    tree.SetSelected(parent);
    EXPECT_EQ(tree.Selected(), other);
}

TEST_F(TreeViewTest, SortingUsesOnCompareAndKeepsTheSelection)
{
    tree.SetSelected(children[2]);
    tree.OnCompare = [](TfcCustomTreeView*, TfcTreeNode* a, TfcTreeNode* b, int, int& result) {
        result = QString::compare(b->Text(), a->Text());
    };
    tree.SetSortType(TfcSortType::fcstText);
    EXPECT_EQ(tree.Items().GetFirstNode(), parent);
    EXPECT_EQ(parent->GetFirstChild()->Text(), "e");
    EXPECT_EQ(tree.Selected(), children[2]);
    EXPECT_EQ(children[2]->Index(), 2);
    children[4]->SetText("a0"); // was "e", the first
    EXPECT_EQ(children[4]->Index(), 3);
}

TEST_F(TreeViewTest, HintShowsClippedTextAndTimesOut)
{
    TfcTreeNode* wide = tree.Items().Add(nullptr, QString(80, QLatin1Char('W')));
    tree.SetSelected(nullptr);
    const QRect text = tree.DisplayRect(wide, true);
    QTest::mouseMove(tree.viewport(), QPoint(text.left() + 5, text.center().y()));
    ASSERT_NE(tree.HintWindow(), nullptr);
    EXPECT_TRUE(tree.HintWindow()->isVisible());
    EXPECT_EQ(tree.HintWindow()->size(), TfcTreeHintWindow::HintSize(tree.font(), wide->Text()));
    EXPECT_EQ(tree.HintWindow()->pos(), tree.viewport()->mapToGlobal(text.topLeft()));
    QTest::qWait(1000); // the mouse stays on the item
    EXPECT_TRUE(tree.HintWindow()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!tree.HintWindow()->isVisible(), 6000);

    QTest::mouseMove(tree.viewport(), QPoint(text.left() + 9, text.center().y()));
    EXPECT_TRUE(tree.HintWindow()->isVisible());
    QTest::mouseMove(tree.viewport(), LabelOf(other)); // another node hides it
    EXPECT_FALSE(tree.HintWindow()->isVisible());
}

TEST_F(TreeViewTest, DeletingNodesForgetsThemAndTellsOnDeletion)
{
    QSignalSpy deletions(&tree, &TfcCustomTreeView::OnDeletion);
    tree.SetSelected(children[1]);
    parent->Delete();
    EXPECT_EQ(deletions.count(), 6);
    EXPECT_EQ(tree.Items().Count(), 1);
    tree.Items().Clear();
    EXPECT_EQ(deletions.count(), 7);
    EXPECT_EQ(tree.Selected(), nullptr);
    QImage shot = tree.grab().toImage();
    EXPECT_FALSE(shot.isNull());
}

} // namespace
} // namespace lumeno
