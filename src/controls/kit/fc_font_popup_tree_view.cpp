#include "controls/kit/fc_font_popup_tree_view.h"

#include "controls/kit/fc_font_popup_node.h"

#include <QPainter>

namespace lumeno {

TfcFontPopupTreeView::TfcFontPopupTreeView(TfcCustomTreeCombo* combo) : TfcPopupTreeView(combo)
{
    SetNodeClass([](TfcTreeNodes* owner) { return std::make_unique<TfcFontPopupNode>(owner); });
}

void TfcFontPopupTreeView::PaintItem(QPainter& painter, const QRect& row, TfcTreeNode* node)
{
    TfcPopupTreeView::PaintItem(painter, row, node);
    const TfcTreeNode* first = Items().GetFirstNode();
    if (!fcIsRecentNode(first))
        return;
    painter.setPen(palette().color(QPalette::Dark));
    if (fcIsRecentNode(node) && !fcIsRecentNode(node->GetNext()))
        painter.drawLine(row.left(), row.bottom() - 1, row.left() + width(), row.bottom() - 1);
    else if (!fcIsRecentNode(node) && fcIsRecentNode(node->GetPrev()))
        painter.drawLine(row.left(), row.top(), row.left() + width(), row.top());
}

} // namespace lumeno
