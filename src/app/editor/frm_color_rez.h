#pragma once
// The colour-resolution dialog: a depth and, for palette depths, a
// standard or optimised palette.

#include "app/editor/color_rez.h"

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace lumeno {

class TfrmColorRez : public QDialog {
    Q_OBJECT
public:
    explicit TfrmColorRez(QWidget* Parent = nullptr);
    // What the buttons and edits choose (valid when OK is enabled).
    TColorRezChoice Choice() const;

    QRadioButton *BC1RB, *BC4RB, *BC8RB, *BC24RB;
    QRadioButton *BC1BlackWhiteRB, *BC1OptimizedRB;
    QRadioButton *BC4Gray4RB, *BC4GraySys4RB, *BC4Gray16RB, *BC4Sys16RB, *BC4OptimizedRB;
    QLineEdit* BC4ColorsEdit;
    QRadioButton *BC8Gray236RB, *BC8Gray256RB, *BC8Special125RB, *BC8Special216RB, *BC8Special252RB,
        *BC8OptimizedRB;
    QCheckBox* BC8OptimizedIncludeSys16CB;
    QLineEdit* BC8ColorsEdit;
    QCheckBox* DitheringCB;
    QCheckBox* RGBWeightingCB;
    QPushButton* OKButton;

private:
    void ColorsEditChange(QRadioButton* Optimized, QRadioButton* Depth);
};

} // namespace lumeno
