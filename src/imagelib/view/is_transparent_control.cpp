#include "imagelib/view/is_transparent_control.h"

#include "imagelib/view/pg_bevel.h"
#include "imagelib/view/pg_check_box.h"
#include "imagelib/view/pg_group_box.h"
#include "imagelib/view/pg_label.h"
#include "imagelib/view/pg_panel.h"
#include "imagelib/view/pg_radio_button.h"

namespace lumeno {

bool IsTransparentControl(const QWidget* Control)
{
    if (const auto* label = qobject_cast<const TPGLabel*>(Control))
        return label->GetTransparent();
    if (const auto* check = qobject_cast<const TPGCheckBox*>(Control))
        return check->GetTransparent();
    if (const auto* radio = qobject_cast<const TPGRadioButton*>(Control))
        return radio->GetTransparent();
    if (const auto* group = qobject_cast<const TPGGroupBox*>(Control))
        return group->GetTransparent();
    if (const auto* panel = qobject_cast<const TPGPanel*>(Control))
        return panel->GetTransparent();
    return qobject_cast<const TPGBevel*>(Control) != nullptr;
}

void ApplyTransparency(QWidget& Control, bool Transparent)
{
    Control.setAutoFillBackground(!Transparent);
    Control.setAttribute(Qt::WA_NoSystemBackground, Transparent);
    Control.update();
}

void InvalidateTransparentChildren(QWidget& Parent)
{
    for (QObject* child : Parent.children())
        if (auto* widget = qobject_cast<QWidget*>(child); widget && IsTransparentControl(widget))
            widget->update();
}

} // namespace lumeno
