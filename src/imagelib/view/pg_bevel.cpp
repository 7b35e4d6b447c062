#include "imagelib/view/pg_bevel.h"

#include "imagelib/view/is_transparent_control.h"

namespace lumeno {

TPGBevel::TPGBevel(QWidget* Parent) : QFrame(Parent)
{
    setFrameStyle(QFrame::Box | QFrame::Sunken);
    ApplyTransparency(*this, true);
}

} // namespace lumeno
