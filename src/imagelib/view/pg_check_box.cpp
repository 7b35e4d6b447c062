#include "imagelib/view/pg_check_box.h"

#include "imagelib/view/is_transparent_control.h"

namespace lumeno {

TPGCheckBox::TPGCheckBox(QWidget* Parent) : QCheckBox(Parent)
{
    ApplyTransparency(*this, FTransparent);
}

void TPGCheckBox::SetTransparent(bool Value)
{
    if (FTransparent != Value) {
        FTransparent = Value;
        ApplyTransparency(*this, Value);
    }
}

} // namespace lumeno
