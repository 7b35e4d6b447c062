#pragma once
// The resize dialog: new width and height, optionally in proportion.

#include <QDialog>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace lumeno {

class TfrmResize : public QDialog {
    Q_OBJECT
public:
    explicit TfrmResize(QWidget* Parent = nullptr);
    // Shows the old size in the labels and the edits.
    void Prepare(int Width, int Height);
    int NewWidth() const;
    int NewHeight() const;
    // Sizes below one pixel are refused: the dialog stays open.
    void accept() override;

    QLabel* lOldWidth;
    QLabel* lOldHeight;
    QLineEdit* eNewWidth;
    QLineEdit* eNewHeight;
    QCheckBox* cbMaintainRatio;

private:
    void eNewWidthExit();
    void eNewHeightExit();
    int FOldWidth = 0, FOldHeight = 0;
};

} // namespace lumeno
