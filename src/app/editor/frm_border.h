#pragma once
// The gradient border's options: shape, width and colour.

#include "platform/types.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lumeno {

class TfrmBorder : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBorder(QWidget* Parent = nullptr);
    bool Elliptic() const;
    int BorderWidth() const;
    TColor Color() const { return FColor; }
    void SetColor(TColor Color);

    QRadioButton* rbRectangle;
    QRadioButton* rbEllipse;
    QLineEdit* eWidth;
    QPushButton* pColor;

private:
    void pColorClick();
    TColor FColor = 0xFFFFFF;
};

} // namespace lumeno
