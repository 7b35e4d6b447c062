#include "imagelib/view/pg_label.h"

#include "imagelib/view/is_transparent_control.h"

namespace lumeno {

TPGLabel::TPGLabel(QWidget* Parent) : QLabel(Parent)
{
    ApplyTransparency(*this, FTransparent);
}

void TPGLabel::SetTransparent(bool Value)
{
    if (FTransparent != Value) {
        FTransparent = Value;
        ApplyTransparency(*this, Value);
    }
}

} // namespace lumeno
