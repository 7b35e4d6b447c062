#pragma once
// The font combo's popup tree: its nodes are font nodes, and a line in the
// button-shadow colour parts the recent block from the full list.

#include "controls/kit/fc_popup_tree_view.h"

namespace lumeno {

class TfcFontPopupTreeView : public TfcPopupTreeView {
    Q_OBJECT
public:
    explicit TfcFontPopupTreeView(TfcCustomTreeCombo* combo);

protected:
    void PaintItem(QPainter& painter, const QRect& row, TfcTreeNode* node) override;
};

} // namespace lumeno
