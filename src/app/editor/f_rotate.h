#pragma once
// The arbitrary rotation dialog.

#include "platform/numeric.h"

#include <QDialog>

class QLineEdit;
class QRadioButton;

namespace lumeno {

class TfRotate : public QDialog {
    Q_OBJECT
public:
    explicit TfRotate(QWidget* Parent = nullptr);
    // Clockwise degrees: the angle typed, 360 - angle when counter-clockwise.
    Extended Angle() const;

    QLineEdit* eAngle;
    QRadioButton* rbClockwise;
    QRadioButton* rbCounterClockwise;
};

} // namespace lumeno
