#pragma once
// The kit's tree view: its own nodes shown through a QTreeView whose items
// it paints itself (lines, buttons, check boxes and radio buttons, images,
// text), with multi-selection on one level, hyperlink nodes, a hint window
// for clipped items, a delayed change notice and sorting.

#include "controls/kit/fc_image_list.h"
#include "controls/kit/fc_tree_hint_window.h"
#include "controls/kit/fc_tree_nodes.h"
#include "controls/kit/fc_tv_multi_select_attributes.h"

#include <QFlags>
#include <QPointer>
#include <QTimer>
#include <QTreeView>

namespace lumeno {

class TfcTreeModel;

enum TfcTreeViewOption : unsigned {
    tvoExpandOnDblClk = 1u << 0,
    tvoExpandButtons3D = 1u << 1,
    tvoFlatCheckBoxes = 1u << 2,
    tvoHideSelection = 1u << 3,
    tvoRowSelect = 1u << 4,
    tvoShowButtons = 1u << 5,
    tvoShowLines = 1u << 6,
    tvoShowRoot = 1u << 7,
    tvoHotTrack = 1u << 8,
    tvoAutoURL = 1u << 9,
    tvoToolTips = 1u << 10,
    tvoEditText = 1u << 11,
    tvo3StateCheckbox = 1u << 12,
};
Q_DECLARE_FLAGS(TfcTreeViewOptions, TfcTreeViewOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TfcTreeViewOptions)

constexpr TfcTreeViewOptions fcDefaultTreeViewOptions{tvoExpandOnDblClk | tvoHideSelection | tvoShowButtons |
                                                      tvoShowLines | tvoShowRoot | tvoToolTips};

enum class TfcSortType { fcstNone, fcstData, fcstText, fcstBoth };

// Flags of an item being painted.
enum TfcItemStateFlag : unsigned { fcisSelected = 1, fcisFocused = 2, fcisHot = 4 };

// What an item is painted with; OnCalcNodeAttributes may change it.
struct TfcItemState {
    unsigned Flags = 0;
    QColor BackColor;
    QColor TextColor;
    QFont Font;
};

// Where the parts of one item lie, in row coordinates (x from the row's
// left edge, y from its top).
struct TfcItemLayout {
    int ButtonCentre = -1; // -1: the item has no button column
    QRect BoxRect;         // empty: no check box or radio button
    QRect ImageRect;       // empty: no image
    QRect TextRect;
};

enum class TfcHitTest { fchtNowhere, fchtOnIndent, fchtOnButton, fchtOnStateIcon, fchtOnIcon, fchtOnLabel, fchtOnRight };

// Half the side of a check box or radio button for an item height.
inline int fcBoxHalfSide(int itemHeight) { return std::max((itemHeight / 2) / 2 + 2, 6); }

class TfcCustomTreeView : public QTreeView, protected TfcTreeNodesHost {
    Q_OBJECT
public:
    explicit TfcCustomTreeView(QWidget* parent = nullptr);
    ~TfcCustomTreeView() override;

    TfcTreeNodes& Items() { return nodes_; }
    // Nodes are made by the factory (descendants' node classes).
    void SetNodeClass(TfcNodeFactory factory) { nodes_.SetNodeFactory(std::move(factory)); }

    // The control's current item (nullptr when none).
    TfcTreeNode* Selected() const;
    void SetSelected(TfcTreeNode* node);
    TfcTreeNode* TopItem() const;
    void SetTopItem(TfcTreeNode* node);
    void MakeVisible(TfcTreeNode* node);

    TfcTreeViewOptions Options() const { return options_; }
    void SetOptions(TfcTreeViewOptions value);
    bool ReadOnly() const { return readOnly_; }
    void SetReadOnly(bool value);
    bool RightClickSelects() const { return rightClickSelects_; }
    void SetRightClickSelects(bool value) { rightClickSelects_ = value; }
    bool AutoExpand() const { return autoExpand_; }
    void SetAutoExpand(bool value) { autoExpand_ = value; }
    TfcSortType SortType() const { return sortType_; }
    void SetSortType(TfcSortType value);
    QColor LineColor() const { return lineColor_; }
    void SetLineColor(const QColor& value);
    QColor InactiveFocusColor() const { return inactiveFocusColor_; }
    void SetInactiveFocusColor(const QColor& value);
    QColor Color() const { return palette().color(QPalette::Base); }
    void SetColor(const QColor& value);
    int Indent() const { return indent_; }
    void SetIndent(int value);
    int ChangeDelay() const { return changeTimer_.interval(); }
    void SetChangeDelay(int value) { changeTimer_.setInterval(value); }
    // The lists stay the caller's.
    TfcImageList* Images() const { return images_; }
    void SetImages(TfcImageList* value);
    TfcTVMultiSelectAttributes& MultiSelectAttributes() { return multiSelect_; }

    // Compare(Node1, Node2, Data, var Compare); without it the texts are
    // compared in the user's locale.
    std::function<void(TfcCustomTreeView*, TfcTreeNode*, TfcTreeNode*, int, int&)> OnCompare;
    void AlphaSort();
    void FullExpand();
    void FullCollapse();

    // Multi-selection.
    bool OnMultiSelectLevel(const TfcTreeNode* node) const;
    std::vector<TfcTreeNode*> MultiSelectList() const;
    void UnselectAll();
    // A left click on node with the given keys, as the mouse makes it.
    void MultiSelectClick(TfcTreeNode* node, Qt::KeyboardModifiers modifiers);
    // Re-applies the level's boxes (they follow the attributes).
    void MultiSelectAttributesChanged(bool unselect);

    // Whether the node shows a check box or radio button.
    bool ShowsBox(const TfcTreeNode* node) const;
    int ItemHeight() const;
    TfcItemLayout ItemLayout(const TfcTreeNode* node) const;
    // The item's row (or with textOnly its text) in viewport coordinates.
    QRect DisplayRect(const TfcTreeNode* node, bool textOnly) const;
    TfcHitTest GetHitTestInfoAt(const QPoint& viewportPos, TfcTreeNode** node = nullptr) const;
    TfcTreeNode* GetNodeAt(const QPoint& viewportPos) const;
    // Expands or collapses as the user does, asking OnExpanding/OnCollapsing.
    void ToggleNode(TfcTreeNode* node);

    TfcTreeHintWindow* HintWindow() const { return hintWindow_; }
    void HideHint();

signals:
    void OnChange(TfcCustomTreeView* sender, TfcTreeNode* node);
    void OnChanging(TfcCustomTreeView* sender, TfcTreeNode* node, bool& allowChange);
    void OnExpanding(TfcCustomTreeView* sender, TfcTreeNode* node, bool& allowExpansion);
    void OnExpanded(TfcCustomTreeView* sender, TfcTreeNode* node);
    void OnCollapsing(TfcCustomTreeView* sender, TfcTreeNode* node, bool& allowCollapse);
    void OnCollapsed(TfcCustomTreeView* sender, TfcTreeNode* node);
    void OnDeletion(TfcCustomTreeView* sender, TfcTreeNode* node);
    void OnEditing(TfcCustomTreeView* sender, TfcTreeNode* node, bool& allowEdit);
    void OnEdited(TfcCustomTreeView* sender, TfcTreeNode* node, QString& text);
    void OnToggleCheckbox(TfcCustomTreeView* sender, TfcTreeNode* node);
    // Before an item's image is drawn: handlers may set the node's indexes.
    void OnGetImageIndex(TfcCustomTreeView* sender, TfcTreeNode* node);
    void OnGetSelectedIndex(TfcCustomTreeView* sender, TfcTreeNode* node);
    void OnCalcNodeAttributes(TfcCustomTreeView* sender, TfcTreeNode* node, TfcItemState& state);
    void OnDrawText(TfcCustomTreeView* sender, TfcTreeNode* node, const QRect& rect, TfcItemState& state,
                    bool& defaultDrawing);
    void OnMouseDown(TfcCustomTreeView* sender, TfcTreeNode* node, Qt::MouseButton button,
                     Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(TfcCustomTreeView* sender, TfcTreeNode* node, Qt::MouseButton button,
                   Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(TfcCustomTreeView* sender, TfcTreeNode* node, Qt::KeyboardModifiers shift, int x, int y);

protected:
    friend class TfcTVMultiSelectAttributes;
    friend class TfcTreeItemDelegate;

    // Paints one item; row is the item's full row in viewport coordinates.
    virtual void PaintItem(QPainter& painter, const QRect& row, TfcTreeNode* node);
    // Whether the selection shows in the highlight colours now.
    virtual bool ShowsActiveSelection() const { return hasFocus(); }
    TfcTreeModel* Model() const { return model_; }

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    using QTreeView::edit;
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void drawBranches(QPainter*, const QRect&, const QModelIndex&) const override {}

    // TfcTreeNodesHost
    void NodesAboutToInsert(TfcTreeNode* parent, int row) override;
    void NodesInserted() override;
    void NodeAboutToDelete(TfcTreeNode* node) override;
    void NodesDeleted() override;
    void NodesAboutToReset() override;
    void NodesReset() override;
    void NodesAboutToSort() override;
    void NodesSorted() override;
    void NodeChanged(TfcTreeNode* node) override;
    void NodeExpandedChanged(TfcTreeNode* node) override;
    void CheckedChanged(TfcTreeNode* node) override;
    void SortKeyChanged(TfcTreeNode* node, bool text) override;
    void SetRedraw(bool on) override;
    void NodesAssigned() override;

private:
    int CompareNodes(TfcTreeNode* a, TfcTreeNode* b);
    void PaintLines(QPainter& painter, const QRect& row, const TfcTreeNode* node, const TfcItemLayout& layout);
    void PaintButton(QPainter& painter, const QRect& row, const TfcTreeNode* node, int centre);
    void PaintBox(QPainter& painter, const QRect& box, const TfcTreeNode* node);
    TfcItemState ItemState(TfcTreeNode* node);
    void ChangeTimerExpired();
    void HintTimerTick();
    void UpdateHint(TfcTreeNode* node);
    void UpdateLinkCursor(TfcHitTest hit, const TfcTreeNode* node);
    void ForgetNode(const TfcTreeNode* node);
    void ClickBox(TfcTreeNode* node);
    void SyncExpansion(TfcTreeNode* node);

    TfcTreeNodes nodes_;
    TfcTreeModel* model_;
    TfcTreeViewOptions options_ = fcDefaultTreeViewOptions;
    bool readOnly_ = false;
    bool rightClickSelects_ = false;
    bool autoExpand_ = false;
    TfcSortType sortType_ = TfcSortType::fcstNone;
    bool sortPending_ = false;
    QColor lineColor_;
    QColor inactiveFocusColor_;
    int indent_ = 19;
    TfcImageList* images_ = nullptr;
    TfcTVMultiSelectAttributes multiSelect_{this};
    TfcTreeNode* anchor_ = nullptr;
    TfcTreeNode* pressedButton_ = nullptr;
    bool buttonShownDown_ = false;
    TfcTreeNode* hintNode_ = nullptr;
    TfcTreeNode* hotNode_ = nullptr;
    bool revertingChange_ = false;
    bool syncingExpansion_ = false;
    QTimer changeTimer_;
    QTimer hintTimer_;
    int hintTicks_ = 0;
    QPointer<TfcTreeHintWindow> hintWindow_;
};

// The published form.
class TfcTreeView : public TfcCustomTreeView {
    Q_OBJECT
public:
    using TfcCustomTreeView::TfcCustomTreeView;
};

} // namespace lumeno
