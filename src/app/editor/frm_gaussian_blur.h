#pragma once
// The Gaussian blur's strength: 0.1 .. 10 in steps of 0.1.

#include <QDialog>

class QLabel;
class QSlider;

namespace lumeno {

class TfrmGaussianBlur : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGaussianBlur(QWidget* Parent = nullptr);
    double Radius() const;

    QSlider* tbStrength;
    QLabel* Label4;

private:
    void tbStrengthChange(int Position);
};

} // namespace lumeno
