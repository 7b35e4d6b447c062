#pragma once
// A node of the font combo's popup; the recent flag marks the block of
// recently chosen fonts at the top.

#include "controls/kit/fc_tree_combo_tree_node.h"

namespace lumeno {

class TfcFontPopupNode : public TfcTreeComboTreeNode {
public:
    using TfcTreeComboTreeNode::TfcTreeComboTreeNode;

    bool Recent() const { return recent_; }
    void SetRecent(bool value) { recent_ = value; }

private:
    bool recent_ = false;
};

inline bool fcIsRecentNode(const TfcTreeNode* node)
{
    const auto* fontNode = dynamic_cast<const TfcFontPopupNode*>(node);
    return fontNode && fontNode->Recent();
}

} // namespace lumeno
