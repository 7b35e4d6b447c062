#include "app/converter/frm_gif_trans.h"

#include "app/common/window_holder.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "imagelib/view/pg_image.h"
#include "platform/qt/normal_cursor.h"

#include <QLabel>
#include <QVBoxLayout>

namespace lumeno {

TfrmGIFTrans* frmGIFTrans() { return HeldWindow<TfrmGIFTrans>(); }

TfrmGIFTrans::~TfrmGIFTrans() = default;

TfrmGIFTrans::TfrmGIFTrans(QWidget* Parent) : QDialog(Parent)
{
    setObjectName("frmGIFTrans");
    setWindowTitle("GIF Transparency Selector");
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint |
                   Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(420, 380);

    Panel1 = new QLabel("Click on the color you want to be transparent...", this);
    Panel1->setObjectName("Panel1");
    Panel1->setAlignment(Qt::AlignCenter);
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setMinimumHeight(28);

    PGImage1 = new TPGImage(this);
    PGImage1->setObjectName("PGImage1");
    PGImage1->setFrameShape(QFrame::NoFrame);
    PGImage1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PGImage1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    PGImage1->SetCenter(true);
    PGImage1->SetDither(false);
    PGImage1->SetStretch(sAlwaysKAR);

    StatusBar1 = new TdfsStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    for (int i = 0; i < 3; ++i)
        StatusBar1->Panels().Add().SetWidth(50);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(Panel1);
    layout->addWidget(PGImage1, 1);
    layout->addWidget(StatusBar1);

    TPicBox* box = PGImage1->GetPicBox();
    box->setMouseTracking(true);
    connect(box, &TPicBox::OnMouseMove, this,
            [this](TObject*, Qt::KeyboardModifiers, int X, int Y) { PicBoxMouseMove(X, Y); });
    connect(box, &TPicBox::OnMouseDown, this,
            [this](TObject*, Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) { PicBoxMouseDown(X, Y); });
}

void TfrmGIFTrans::Prepare(TPixelGraphic& Image)
{
    FPicked.reset();
    PGImage1->AssignPixelGraphic(&Image);
}

std::optional<TColor> TfrmGIFTrans::Pick(TPixelGraphic& Image)
{
    Prepare(Image);
    const TNormalCursor pointer;
    exec();
    return FPicked;
}

TColor TfrmGIFTrans::ColorAt(int X, int Y)
{
    FX = PGImage1->PicBoxToImageX(X);
    FY = PGImage1->PicBoxToImageY(Y);
    TPixelGraphic* image = PGImage1->GetPixelGraphic();
    FColor = image ? image->GetPixelColor(FX, FY) : 0;
    return FColor;
}

void TfrmGIFTrans::PicBoxMouseMove(int X, int Y)
{
    const TColor color = ColorAt(X, Y);
    TdfsStatusPanels& panels = StatusBar1->Panels();
    panels[0].SetText("R=" + std::to_string(GetRValue(color)));
    panels[1].SetText("G=" + std::to_string(GetGValue(color)));
    panels[2].SetText("B=" + std::to_string(GetBValue(color)));
}

void TfrmGIFTrans::PicBoxMouseDown(int X, int Y)
{
    // The colour under the click itself, not the last one pointed at.
    PicBoxMouseMove(X, Y);
    FPicked = FColor;
    accept();
}

} // namespace lumeno
