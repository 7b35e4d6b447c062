#pragma once
// A drop-down combo whose popup is a tree: the edit shows the chosen node's
// text (and image); typing searches the tree; the arrow keys walk it with
// the popup open or closed.

#include "controls/kit/fc_custom_combo.h"
#include "controls/kit/fc_popup_panel.h"
#include "controls/kit/fc_popup_tree_view.h"
#include "controls/kit/fc_tree_combo_tree_node.h"

namespace lumeno {

enum TfcTreeComboOption : unsigned { tcoExpandOnDropDown = 1u << 0, tcoLeafOnly = 1u << 1 };
Q_DECLARE_FLAGS(TfcTreeComboOptions, TfcTreeComboOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TfcTreeComboOptions)

class TfcCustomTreeCombo : public TfcCustomCombo {
    Q_OBJECT
public:
    explicit TfcCustomTreeCombo(QWidget* parent = nullptr);
    ~TfcCustomTreeCombo() override;

    TfcPopupTreeView* TreeView() const { return treeView_; }
    TfcTreeNodes& Items() const { return treeView_->Items(); }
    TfcPopupPanel* Panel() const { return panel_; }

    bool ShowMatchText() const { return showMatchText_; }
    void SetShowMatchText(bool value) { showMatchText_ = value; }
    TfcTreeComboOptions Options() const { return options_; }
    void SetOptions(TfcTreeComboOptions value) { options_ = value; }
    int DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int value) { dropDownWidth_ = value; }
    bool Sorted() const { return treeView_->SortType() == TfcSortType::fcstText; }
    void SetSorted(bool value);
    TfcTreeViewOptions TreeOptions() const { return treeView_->Options(); }
    void SetTreeOptions(TfcTreeViewOptions value) { treeView_->SetOptions(value); }
    // The name=value list the text lookup reads.
    QStringList& LookupList() { return lookupList_; }

    // The node last chosen in the popup or by the search.
    TfcTreeNode* SelectedNode() const { return selectedNode_; }
    virtual bool IsSelectable(TfcTreeNode* node);

    void DropDown() override;
    void CloseUp(bool accept) override;
    bool IsDroppedDown() const override;
    // A release on an item of the popup.
    void ChooseFromPopup(TfcTreeNode* node, bool inside);
    // The first match of the incremental search for text, or nullptr.
    TfcTreeNode* SearchNode(const QString& text);

signals:
    // May veto a node that the selectability test allowed.
    void OnCheckValid(TfcCustomTreeCombo* sender, TfcTreeNode* node, bool& accept);
    void OnSelectionChange(TfcCustomTreeCombo* sender);

protected:
    // Where the incremental search starts and wraps to.
    virtual TfcTreeNode* FirstSearchNode();
    virtual void SelectionChanged() { emit OnSelectionChange(this); }
    // Makes the popup tree (descendants supply their own class).
    void SetTreeView(TfcPopupTreeView* tree);

    QWidget* GetDropDownControl() override { return treeView_; }
    QWidget* GetDropDownContainer() override { return panel_; }
    int GetItemCount() override { return Items().Count(); }
    QSize GetItemSize() override;
    int GetLeftIndent() override;
    bool CanEdit() override;
    void HideCaret() override;
    void PaintFace(QPainter& painter) override;
    void PopupMouseOutside(QEvent::Type type, const QPoint& globalPos, Qt::MouseButtons buttons) override;
    bool KeyDown(QKeyEvent* event) override;
    bool KeyPress(QKeyEvent* event) override;

    // Makes node the tree's selection and the current choice.
    void Choose(TfcTreeNode* node);

private:
    void TextLookup(const QString& text);
    TfcTreeNode* MoveTarget(int key, bool dropped);

    TfcTreeNode* originalNode_ = nullptr;
    QString originalText_;
    TfcTreeNode* selectedNode_ = nullptr;
    TfcPopupPanel* panel_ = nullptr;
    bool showMatchText_ = true;
    TfcTreeComboOptions options_;
    TfcPopupTreeView* treeView_ = nullptr;
    int dropDownWidth_ = 0;
    QStringList lookupList_;
};

} // namespace lumeno
