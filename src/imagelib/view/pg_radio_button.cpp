#include "imagelib/view/pg_radio_button.h"

#include "imagelib/view/is_transparent_control.h"

namespace lumeno {

TPGRadioButton::TPGRadioButton(QWidget* Parent) : QRadioButton(Parent)
{
    ApplyTransparency(*this, FTransparent);
}

void TPGRadioButton::SetTransparent(bool Value)
{
    if (FTransparent != Value) {
        FTransparent = Value;
        ApplyTransparency(*this, Value);
    }
}

} // namespace lumeno
