#pragma once
// Whether a control of the transparent family lets its parent show through.

class QWidget;

namespace lumeno {

// True for a transparent TPGLabel, TPGRadioButton, TPGCheckBox, TPGGroupBox
// or TPGPanel, and for every TPGBevel; false for any other control.
bool IsTransparentControl(const QWidget* Control);

// A transparent control paints no background of its own, so Qt draws it
// over whatever its parent shows.
void ApplyTransparency(QWidget& Control, bool Transparent);

// Repaints the transparent children of a windowed member with it.
void InvalidateTransparentChildren(QWidget& Parent);

} // namespace lumeno
