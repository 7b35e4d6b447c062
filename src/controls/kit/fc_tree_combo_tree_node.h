#pragma once
// A node of a tree combo's popup: it may be made unselectable. Its
// published Boolean properties travel in the node stream.

#include "controls/kit/fc_tree_node.h"

namespace lumeno {

class TfcTreeComboTreeNode : public TfcTreeNode {
    Q_GADGET
    Q_PROPERTY(bool Selectable READ Selectable WRITE SetSelectable)
public:
    explicit TfcTreeComboTreeNode(TfcTreeNodes* owner);

    bool Selectable() const { return selectable_; }
    void SetSelectable(bool value) { selectable_ = value; }

    int StreamedBoolCount() const override;
    bool StreamedBool(int index) const override;
    void SetStreamedBool(int index, bool value) override;

private:
    bool selectable_ = true;
};

} // namespace lumeno
