#include "app/editor/frm_color_rez.h"

#include "app/editor/dialog_parts.h"
#include "app/editor/edit_ops.h"
#include "imagelib/pixel_graphic.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <initializer_list>

namespace lumeno {

namespace {

QRadioButton* Radio(QWidget* Parent, QButtonGroup* Group, const char* Name, const QString& Caption)
{
    auto* button = new QRadioButton(Caption, Parent);
    button->setObjectName(Name);
    Group->addButton(button);
    return button;
}

int Count(const QLineEdit* Edit)
{
    return ParseInteger(Edit->text().toStdString()).value_or(0);
}

} // namespace

TfrmColorRez::TfrmColorRez(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("frmColorRez");
    setWindowTitle(tr("Color Resolution"));
    auto* layout = new QVBoxLayout(this);
    auto* depth = new QButtonGroup(this);
    auto* grid = new QGridLayout;
    layout->addLayout(grid);

    auto* box1 = new QGroupBox(this);
    auto* g1 = new QButtonGroup(this);
    auto* l1 = new QVBoxLayout(box1);
    BC1RB = Radio(box1, depth, "BC1RB", tr("1 bit per pixel (max. 2 colors)"));
    BC1BlackWhiteRB = Radio(box1, g1, "BC1BlackWhiteRB", tr("Black && White"));
    BC1OptimizedRB = Radio(box1, g1, "BC1OptimizedRB", tr("Optimized"));
    for (QWidget* w : std::initializer_list<QWidget*>{BC1RB, BC1BlackWhiteRB, BC1OptimizedRB})
        l1->addWidget(w);
    l1->addStretch();
    BC1BlackWhiteRB->setChecked(true);

    auto* box4 = new QGroupBox(this);
    auto* g4 = new QButtonGroup(this);
    auto* l4 = new QVBoxLayout(box4);
    BC4RB = Radio(box4, depth, "BC4RB", tr("4 bits per pixel (max 16 colors)"));
    BC4Gray4RB = Radio(box4, g4, "BC4Gray4RB", tr("Grayscale 4"));
    BC4GraySys4RB = Radio(box4, g4, "BC4GraySys4RB", tr("Grayscale 4 (system)"));
    BC4Gray16RB = Radio(box4, g4, "BC4Gray16RB", tr("Grayscale 16"));
    BC4Sys16RB = Radio(box4, g4, "BC4Sys16RB", tr("System 16"));
    BC4OptimizedRB = Radio(box4, g4, "BC4OptimizedRB", tr("Optimized"));
    BC4ColorsEdit = new QLineEdit("16", box4);
    BC4ColorsEdit->setObjectName("BC4ColorsEdit");
    for (QWidget* w : std::initializer_list<QWidget*>{BC4RB, BC4Gray4RB, BC4GraySys4RB, BC4Gray16RB,
                                                      BC4Sys16RB, BC4OptimizedRB})
        l4->addWidget(w);
    l4->addWidget(new QLabel(tr("Colors (2...16)"), box4));
    l4->addWidget(BC4ColorsEdit);
    BC4Sys16RB->setChecked(true);

    auto* box8 = new QGroupBox(this);
    auto* g8 = new QButtonGroup(this);
    auto* l8 = new QVBoxLayout(box8);
    BC8RB = Radio(box8, depth, "BC8RB", tr("8 bits per pixel (max 256 colors)"));
    BC8Gray236RB = Radio(box8, g8, "BC8Gray236RB", tr("Grayscale 236"));
    BC8Gray256RB = Radio(box8, g8, "BC8Gray256RB", tr("Grayscale 256"));
    BC8Special125RB = Radio(box8, g8, "BC8Special125RB", tr("Special 125"));
    BC8Special216RB = Radio(box8, g8, "BC8Special216RB", tr("Special 216"));
    BC8Special252RB = Radio(box8, g8, "BC8Special252RB", tr("Special 252"));
    BC8OptimizedRB = Radio(box8, g8, "BC8OptimizedRB", tr("Optimized"));
    BC8OptimizedIncludeSys16CB = new QCheckBox(tr("Include 16 system colors"), box8);
    BC8OptimizedIncludeSys16CB->setObjectName("BC8OptimizedIncludeSys16CB");
    BC8OptimizedIncludeSys16CB->setChecked(true);
    BC8ColorsEdit = new QLineEdit("252", box8);
    BC8ColorsEdit->setObjectName("BC8ColorsEdit");
    for (QWidget* w :
         std::initializer_list<QWidget*>{BC8RB, BC8Gray236RB, BC8Gray256RB, BC8Special125RB, BC8Special216RB,
                                         BC8Special252RB, BC8OptimizedRB, BC8OptimizedIncludeSys16CB})
        l8->addWidget(w);
    l8->addWidget(new QLabel(tr("Colors (2...256)"), box8));
    l8->addWidget(BC8ColorsEdit);
    BC8OptimizedRB->setChecked(true);

    auto* box24 = new QGroupBox(this);
    auto* l24 = new QVBoxLayout(box24);
    BC24RB = Radio(box24, depth, "BC24RB", tr("24 bits per pixel (true-color)"));
    BC24RB->setChecked(true);
    l24->addWidget(BC24RB);
    DitheringCB = new QCheckBox(tr("Dithering"), box24);
    DitheringCB->setObjectName("DitheringCB");
    DitheringCB->setChecked(true);
    RGBWeightingCB = new QCheckBox(tr("RGB weighting"), box24);
    RGBWeightingCB->setObjectName("RGBWeightingCB");
    RGBWeightingCB->setChecked(true);
    l24->addStretch();
    l24->addWidget(DitheringCB);
    l24->addWidget(RGBWeightingCB);

    grid->addWidget(box1, 0, 0);
    grid->addWidget(box4, 0, 1);
    grid->addWidget(box8, 1, 0);
    grid->addWidget(box24, 1, 1);
    OKButton = AddOkCancel(this, layout, "OKButton", "CancelButton");

    auto checkDepth = [](QButtonGroup* group, QRadioButton* depthButton) {
        connect(group, &QButtonGroup::buttonClicked, depthButton,
                [depthButton] { depthButton->setChecked(true); });
    };
    checkDepth(g1, BC1RB);
    checkDepth(g4, BC4RB);
    checkDepth(g8, BC8RB);
    connect(BC8OptimizedIncludeSys16CB, &QCheckBox::clicked, this, [this] {
        BC8OptimizedRB->setChecked(true);
        BC8RB->setChecked(true);
    });
    connect(BC4ColorsEdit, &QLineEdit::textEdited, this, [this] { ColorsEditChange(BC4OptimizedRB, BC4RB); });
    connect(BC8ColorsEdit, &QLineEdit::textEdited, this, [this] { ColorsEditChange(BC8OptimizedRB, BC8RB); });
}

// Counts that are not numbers only keep OK disabled.
void TfrmColorRez::ColorsEditChange(QRadioButton* Optimized, QRadioButton* Depth)
{
    Optimized->setChecked(true);
    Depth->setChecked(true);
    OKButton->setEnabled(ColorCountsValid(Count(BC4ColorsEdit), Count(BC8ColorsEdit)));
}

TColorRezChoice TfrmColorRez::Choice() const
{
    TColorRezChoice c;
    c.Dither = DitheringCB->isChecked();
    c.RGBWeighting = RGBWeightingCB->isChecked();
    if (BC1RB->isChecked()) {
        c.PixelFormat = pf1Bit;
        c.Palette = BC1BlackWhiteRB->isChecked() ? pBlackWhite : pNone;
        c.Colors = 2;
    } else if (BC4RB->isChecked()) {
        c.PixelFormat = pf4Bit;
        c.Palette = BC4Gray4RB->isChecked()      ? pGray4
                    : BC4GraySys4RB->isChecked() ? pSysGray4
                    : BC4Gray16RB->isChecked()   ? pGray16
                    : BC4Sys16RB->isChecked()    ? pSys16
                                                 : pNone;
        c.Colors = Count(BC4ColorsEdit);
    } else if (BC8RB->isChecked()) {
        c.PixelFormat = pf8Bit;
        c.Palette = BC8Gray236RB->isChecked()      ? pGray236
                    : BC8Gray256RB->isChecked()    ? pGray256
                    : BC8Special125RB->isChecked() ? pSpecial125
                    : BC8Special216RB->isChecked() ? pSpecial216
                    : BC8Special252RB->isChecked() ? pSpecial252
                                                   : pNone;
        c.Colors = Count(BC8ColorsEdit);
        c.AddSystemColors = BC8OptimizedIncludeSys16CB->isChecked();
    }
    return c;
}

} // namespace lumeno
