#pragma once
// One node of the kit's tree: text, images, user data, hyperlink strings and
// a check box or radio button. Nodes live in a TfcTreeNodes collection,
// which tells its host (the tree view) about every change.

#include <QObject>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <memory>
#include <vector>

namespace lumeno {

class TfcTreeNodes;

enum class TfcCheckboxType : std::uint8_t { tctNone = 0, tctCheckbox = 1, tctRadioButton = 2 };

class TfcTreeNode {
    Q_GADGET
public:
    explicit TfcTreeNode(TfcTreeNodes* owner) : owner_(owner) {}
    virtual ~TfcTreeNode() = default;
    TfcTreeNode(const TfcTreeNode&) = delete;
    TfcTreeNode& operator=(const TfcTreeNode&) = delete;

    TfcTreeNodes* Owner() const { return owner_; }
    // nullptr on the root level.
    TfcTreeNode* Parent() const { return parent_; }
    int Count() const { return static_cast<int>(children_.size()); }
    bool HasChildren() const { return !children_.empty(); }
    // The child at index, nullptr when out of range.
    TfcTreeNode* Item(int index) const;
    TfcTreeNode* GetFirstChild() const { return Item(0); }
    TfcTreeNode* GetLastChild() const { return Item(Count() - 1); }
    TfcTreeNode* GetNextSibling() const;
    TfcTreeNode* GetPrevSibling() const;
    // Depth first, in tree order.
    TfcTreeNode* GetNext() const;
    TfcTreeNode* GetPrev() const;
    // Among nodes whose ancestors are all expanded.
    TfcTreeNode* GetNextVisible() const;
    TfcTreeNode* GetPrevVisible() const;
    int Level() const;
    // Index among the siblings.
    int Index() const { return index_; }
    // Index in tree order over the whole collection.
    int AbsoluteIndex() const;
    bool IsVisible() const;
    bool HasAsParent(const TfcTreeNode* node) const;

    bool Expanded() const { return expanded_; }
    void SetExpanded(bool value);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    // Frees the node and its children.
    void Delete();

    const QString& Text() const { return text_; }
    void SetText(const QString& value);
    std::int32_t Data() const { return data_; }
    void SetData(std::int32_t value);
    // The hyperlink target and a second free string.
    const QString& StringData() const { return stringData_; }
    void SetStringData(const QString& value) { stringData_ = value; }
    const QString& StringData2() const { return stringData2_; }
    void SetStringData2(const QString& value) { stringData2_ = value; }

    int ImageIndex() const { return imageIndex_; }
    void SetImageIndex(int value);
    int SelectedIndex() const { return selectedIndex_; }
    void SetSelectedIndex(int value);
    int OverlayIndex() const { return overlayIndex_; }
    void SetOverlayIndex(int value);
    int StateIndex() const { return stateIndex_; }
    void SetStateIndex(int value);

    TfcCheckboxType CheckboxType() const { return checkboxType_; }
    void SetCheckboxType(TfcCheckboxType value);
    bool IsRadioButton() const { return checkboxType_ == TfcCheckboxType::tctRadioButton; }
    bool Checked() const { return checked_; }
    void SetChecked(bool value);
    bool Grayed() const { return grayed_; }
    void SetGrayed(bool value);
    // A click on the box: radio → checked; a checked three-state box →
    // grayed; otherwise checked toggles and grayed clears.
    void ToggleByClick(bool threeState);

    // The multi-selection flag.
    bool Selected() const { return selected_; }
    void SetSelected(bool value);

    // The published Boolean properties that the node stream carries after
    // the strings (none for a plain node).
    virtual int StreamedBoolCount() const { return 0; }
    virtual bool StreamedBool(int) const { return false; }
    virtual void SetStreamedBool(int, bool) {}

private:
    friend class TfcTreeNodes;
    std::vector<std::unique_ptr<TfcTreeNode>>& Siblings() const;
    void Changed();

    TfcTreeNodes* owner_;
    TfcTreeNode* parent_ = nullptr;
    std::vector<std::unique_ptr<TfcTreeNode>> children_;
    int index_ = 0;
    bool selected_ = false;
    TfcCheckboxType checkboxType_ = TfcCheckboxType::tctNone;
    bool checked_ = false;
    QString text_;
    QString stringData_;
    QString stringData2_;
    std::int32_t data_ = 0;
    int imageIndex_ = 0;
    int selectedIndex_ = 0;
    int overlayIndex_ = -1;
    int stateIndex_ = -1;
    bool grayed_ = false;
    bool expanded_ = false;
};

} // namespace lumeno
