#include "controls/kit/fc_tv_multi_select_attributes.h"

#include "controls/kit/fc_tree_view.h"

namespace lumeno {

void TfcTVMultiSelectAttributes::SetEnabled(bool value)
{
    if (enabled_ == value)
        return;
    enabled_ = value;
    tree_->MultiSelectAttributesChanged(false);
}

void TfcTVMultiSelectAttributes::SetMultiSelectLevel(int value)
{
    if (level_ == value)
        return;
    level_ = value;
    tree_->MultiSelectAttributesChanged(true);
}

void TfcTVMultiSelectAttributes::SetMultiSelectCheckbox(bool value)
{
    if (checkbox_ == value)
        return;
    checkbox_ = value;
    tree_->MultiSelectAttributesChanged(false);
}

} // namespace lumeno
