#include "app/editor/frm_acquire.h"

#include "app/common/help.h"
#include "app/common/settings_store.h"
#include "app/common/window_holder.h"
#include "app/editor/edit_ops.h"
#include "app/editor/editor_host.h"
#include "app/editor/editor_icons.h"
#include "app/editor/f_rotate.h"
#include "app/editor/frm_barrel.h"
#include "app/editor/frm_border.h"
#include "app/editor/frm_color_rez.h"
#include "app/editor/frm_file_save_options.h"
#include "app/editor/frm_gaussian_blur.h"
#include "app/editor/frm_new_efx.h"
#include "app/editor/frm_red_eye_reduction.h"
#include "app/editor/frm_resize.h"
#include "app/editor/list_drop.h"
#include "app/effects/frames.h"
#include "controls/shell/dfs_gauge_attrs.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/bcg_filter_dialog.h"
#include "imagelib/view/blur_filter_dialog.h"
#include "imagelib/view/cmy_filter_dialog.h"
#include "imagelib/view/contour_filter_dialog.h"
#include "imagelib/view/detail_filter_dialog.h"
#include "imagelib/view/gray_scale_filter_dialog.h"
#include "imagelib/view/hls_filter_dialog.h"
#include "imagelib/view/hsv_filter_dialog.h"
#include "imagelib/view/negative_filter_dialog.h"
#include "imagelib/view/pg_image.h"
#include "imagelib/view/pg_open_dialog.h"
#include "imagelib/view/pg_save_dialog.h"
#include "imagelib/view/pic_box.h"
#include "imagelib/view/rgb_filter_dialog.h"
#include "imagelib/view/sharpen_filter_dialog.h"
#include "imagelib/view/smooth_filter_dialog.h"
#include "imagelib/view/ycbcr_filter_dialog.h"
#include "platform/dialogs.h"
#include "platform/qt/asking_window.h"
#include "platform/qt/wait_cursor.h"

#include <QAction>
#include <QDateTime>
#include <QDialog>
#include <QMenuBar>
#include <QScrollBar>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>
#include <map>

namespace lumeno {

namespace {

using E = TfrmAcquire;

const char* const GeometryNames[4] = {"AcquireLeft", "AcquireTop", "AcquireWidth", "AcquireHeight"};
const char* const GeometryDefaults[4] = {"50", "50", "600", "400"};

} // namespace

const std::vector<TfrmAcquire::TCommand>& TfrmAcquire::Commands()
{
    static const std::vector<TCommand> table{
        {"Open1", "File", "&Open...", 0, &E::Open1Click},
        {"SaveAs1", "File", "Save &As...", 0, &E::SaveAs1Click},
        {"SaveOptions1", "File", "Save O&ptions...", 0, &E::SaveOptions1Click},
        {"Select1", "File", "&Select...", 0, &E::Select1Click},
        {"Acquire1", "File", "Ac&quire...", 0, &E::Acquire1Click},
        {"Print1", "File", "&Print", 0, &E::Print1Click},
        {"Close1", "File", "&Close", 0, &E::Close1Click},
        {"Undo1", "Edit", "Undo", 0, &E::Undo1Click},
        {"Rotate1801", "Image/Rotate", "180 Degrees", 0, &E::Rotate1801Click},
        {"Rotate90CW1", "Image/Rotate", "90 Degrees CW", 0, &E::Rotate90CW1Click},
        {"Rotate90CCW1", "Image/Rotate", "90 Degrees CCW", 0, &E::Rotate90CCW1Click},
        {"Arbitrary1", "Image/Rotate", "Arbitrary...", 0, &E::Arbitrary1Click},
        {"FlipHorizontal1", "Image/Rotate", "Flip Horizontal", 0, &E::FlipHorizontal1Click},
        {"FlipVertical1", "Image/Rotate", "Flip Vertical", 0, &E::FlipVertical1Click},
        {"Crop1", "Image", "Crop", 0, &E::Crop1Click},
        {"DropShadow1", "Image/Borders", "Drop Shadow", 0, &E::DropShadow1Click},
        {"WhiteBorder1", "Image/Borders", "White Border", 0, &E::WhiteBorder1Click},
        {"Gradient1", "Image/Borders", "Gradient...", 0, &E::Gradient1Click},
        {"Bevel1", "Image/Borders", "Bevel", 0, &E::Bevel1Click},
        {"ColorResolution1", "Image", "Color Resolution...", 0, &E::ColorResolution1Click},
        {"Resize1", "Image", "Resize...", 0, &E::Resize1Click},
        {"RadialAdjustment1", "Image", "Radial Adjustment (Barrel Distortion)...", 0,
         &E::RadialAdjustment1Click},
        {"RGB1", "Filters/Color", "RGB...", 1, &E::ColorFilterClick},
        {"CMY1", "Filters/Color", "CMY...", 2, &E::ColorFilterClick},
        {"YCbCr1", "Filters/Color", "YCbCr...", 3, &E::ColorFilterClick},
        {"HSL1", "Filters/Color", "HSL...", 4, &E::ColorFilterClick},
        {"HSV1", "Filters/Color", "HSV...", 5, &E::ColorFilterClick},
        {"BCG1", "Filters/Color", "Brightness, Contrast, Gamma...", 6, &E::ColorFilterClick},
        {"Greyscale1", "Filters/Color", "Convert To Greyscale...", 7, &E::ColorFilterClick},
        {"Negative1", "Filters/Color", "Negative...", 8, &E::ColorFilterClick},
        {"Sharpen1", "Filters", "Sharpen...", 1, &E::ConvFilterClick},
        {"Detail1", "Filters", "Detail...", 2, &E::ConvFilterClick},
        {"Smooth1", "Filters", "Smooth...", 3, &E::ConvFilterClick},
        {"Blur1", "Filters", "Blur...", 4, &E::ConvFilterClick},
        {"Contour1", "Filters", "Contour...", 5, &E::ConvFilterClick},
        {"RedEyeReduction1", "Filters", "Red Eye Reduction...", 0, &E::RedEyeReduction1Click},
        {"GaussianBlur1", "Filters", "Gaussian Blur...", 0, &E::GaussianBlur1Click},
        {"Emboss1", "Filters", "Emboss", 3, &E::PixelEffectClick},
        {"Fisheye1", "Filters", "Fisheye", 1, &E::PixelEffectClick},
        {"Swirl1", "Filters", "Swirl", 2, &E::PixelEffectClick},
        {"SprayPaint1", "Filters", "Spray Paint", 1, &E::AmountEffectClick},
        {"BWNoise1", "Filters", "B/W Noise", 2, &E::AmountEffectClick},
        {"ColorNoise1", "Filters", "Color Noise", 3, &E::AmountEffectClick},
        {"Mosaic1", "Filters", "Mosaic", 4, &E::AmountEffectClick},
        {"PencilDrawing1", "Filters", "Pencil Drawing", 0, &E::PencilDrawing1Click},
        {"Posterize1", "Filters", "Posterize", 0, &E::Posterize1Click},
        {"HelpAcquire1", "Help", "Help on acquiring an image from a TWAIN device", hcScanning, &E::HelpClick},
        {"HelpEditing1", "Help", "Help on editing an image", hcEditing, &E::HelpClick},
    };
    return table;
}

TfrmAcquire::TfrmAcquire(QWidget* Parent)
    : QMainWindow(Parent, Qt::Tool | Qt::WindowStaysOnTopHint),
      PGOpenDialog1([this](const QString& Folder) { return MakeOpenDialog(Folder); }),
      PGSaveDialog1([this](const QString& Folder) { return MakeSaveDialog(Folder); })
{
    setObjectName("frmAcquire");
    setWindowTitle(tr("Lumeno Image Editor"));
    PGImage1 = new TPGImage(this);
    PGImage1->setObjectName("PGImage1");
    PGImage1->SetStretch(sAlwaysKAR);
    PGImage1->SetCenter(true);
    auto* central = new QWidget(this);
    auto* centralLayout = new QVBoxLayout(central);
    centralLayout->setContentsMargins(0, 0, 0, 0);
    centralLayout->setSpacing(0);
    centralLayout->addWidget(PGImage1, 1);
    SB1 = new TdfsStatusBar(central);
    SB1->setObjectName("SB1");
    centralLayout->addWidget(SB1);
    setCentralWidget(central);
    PGImage1->viewport()->setAcceptDrops(true);
    PGImage1->viewport()->installEventFilter(this);
    connect(PGImage1, &TPGImage::OnPixelGraphicChange, this, [this] { PGImage1Change(); });
    connect(PGImage1->GetPicBox(), &TPicBox::OnMouseDown, this,
            [this](TObject*, Qt::MouseButton button, Qt::KeyboardModifiers, int x, int y) {
                PicBoxMouseDown(button, x, y);
            });


    RGBFilterDialog1 = new TRGBFilterDialog(this);
    CMYFilterDialog1 = new TCMYFilterDialog(this);
    YCbCrFilterDialog1 = new TYCbCrFilterDialog(this);
    HLSFilterDialog1 = new THLSFilterDialog(this);
    HSVFilterDialog1 = new THSVFilterDialog(this);
    BCGFilterDialog1 = new TBCGFilterDialog(this);
    GrayScaleFilterDialog1 = new TGrayScaleFilterDialog(this);
    NegativeFilterDialog1 = new TNegativeFilterDialog(this);
    SharpenFilterDialog1 = new TSharpenFilterDialog(this);
    DetailFilterDialog1 = new TDetailFilterDialog(this);
    SmoothFilterDialog1 = new TSmoothFilterDialog(this);
    BlurFilterDialog1 = new TBlurFilterDialog(this);
    ContourFilterDialog1 = new TContourFilterDialog(this);

    fRotate = new TfRotate(this);
    frmBorder = new TfrmBorder(this);
    frmResize = new TfrmResize(this);
    frmColorRez = new TfrmColorRez(this);
    frmFileSaveOptions = new TfrmFileSaveOptions(this);
    frmRedEyeReduction = new TfrmRedEyeReduction(this);
    frmBarrel = new TfrmBarrel(this);
    frmNewEFX = new TfrmNewEFX(this);
    frmGaussianBlur = new TfrmGaussianBlur(this);

    BuildMenus();
    BuildToolBar();
    BuildStatusBar();
    ConnectDialogs();
    FStopSave = new QAction(this);
    FStopSave->setObjectName("StopSave");
    FStopSave->setShortcut(Qt::Key_Escape);
    FStopSave->setEnabled(false);
    addAction(FStopSave);
    connect(FStopSave, &QAction::triggered, this, &TfrmAcquire::StopSave);
    FSave.KeepOpen(this);

    const TSettingsStore store;
    int geometry[4];
    for (int i = 0; i < 4; ++i)
        geometry[i] = ParseInteger(store.ReadSetting(GeometryNames[i], GeometryDefaults[i]))
                          .value_or(std::stoi(GeometryDefaults[i]));
    setGeometry(geometry[0], geometry[1], geometry[2], geometry[3]);
    PGImage1Change();
    UpdateUndo();
}

TfrmAcquire::~TfrmAcquire()
{
    WriteSettingsOnClose([this] {
        const TSettingsStore store;
        const QRect r = geometry();
        const int values[4] = {r.left(), r.top(), r.width(), r.height()};
        for (int i = 0; i < 4; ++i)
            store.WriteSetting(GeometryNames[i], std::to_string(values[i]));
    });
}

void TfrmAcquire::BuildMenus()
{
    std::map<std::string, QMenu*> menus;
    auto menuFor = [&](const std::string& path) {
        std::string sofar;
        QMenu* parent = nullptr;
        std::size_t start = 0;
        while (start <= path.size()) {
            const std::size_t slash = path.find('/', start);
            const std::string part =
                path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
            sofar += (sofar.empty() ? "" : "/") + part;
            QMenu*& menu = menus[sofar];
            if (!menu) {
                const QString title = QString::fromStdString(part);
                menu = parent ? parent->addMenu(title) : menuBar()->addMenu(title);
                menu->setObjectName(QString::fromStdString(part) + (parent ? "Menu" : "1"));
            }
            parent = menu;
            if (slash == std::string::npos)
                break;
            start = slash + 1;
        }
        return parent;
    };
    for (const TCommand& command : Commands()) {
        QMenu* menu = menuFor(command.Menu);
        auto* action = menu->addAction(tr(command.Caption));
        action->setObjectName(command.Name);
        action->setData(command.Tag);
        const auto handler = command.Handler;
        connect(action, &QAction::triggered, this, [this, handler, action] {
            FPendingTag = action->data().toInt();
            RunCommand(handler);
        });
    }
    Image1 = menus["Image"];
    Filters1 = menus["Filters"];
    Action("Select1")->setEnabled(false);
    Action("Acquire1")->setEnabled(false);
}

void TfrmAcquire::BuildToolBar()
{
    auto* bar = addToolBar(tr("Tools"));
    bar->setObjectName("ToolBar1");
    bar->setIconSize(QSize(20, 20));
    auto button = [&](const char* name, const QString& hint, const QString& icon, bool checkable,
                      void (TfrmAcquire::*handler)()) {
        auto* b = new QToolButton(bar);
        b->setObjectName(name);
        b->setToolTip(hint);
        b->setIcon(EditorIcon(icon));
        b->setCheckable(checkable);
        bar->addWidget(b);
        connect(b, &QToolButton::clicked, this, [this, handler] { RunCommand(handler); });
        return b;
    };
    tbAutoSize = button("tbAutoSize", tr("Fit the window"), "autosize", true, &E::tbAutoSizeClick);
    tbTile = button("tbTile", tr("Tile"), "tile", true, &E::tbTileClick);
    bar->addSeparator();
    tbPointer = button("tbPointer", tr("Move the image"), "pointer", true, &E::tbPointerClick);
    tbZoom = button("tbZoom", tr("Zoom"), "zoom", true, &E::tbZoomClick);
    tbSelector = button("tbSelector", tr("Select area for cropping"), "select", true, &E::tbSelectorClick);
    bar->addSeparator();
    tbRotateLeft = button("tbRotateLeft", tr("Rotate left"), "rotate_left", false, &E::Rotate90CCW1Click);
    tbRotateRight = button("tbRotateRight", tr("Rotate right"), "rotate_right", false, &E::Rotate90CW1Click);
    tbRedEye = button("tbRedEye", tr("Red eye reduction"), "red_eye", false, &E::RedEyeReduction1Click);
    tbScreenCapture =
        button("tbScreenCapture", tr("Capture the screen"), "capture", false, &E::ScreenCaptureClick);
    tbAutoSize->setChecked(true);
    tbPointer->setChecked(true);
}

void TfrmAcquire::BuildStatusBar()
{
    SB1->Panels().Add().SetWidth(120);
    TdfsStatusPanel& gauge = SB1->Panels().Add();
    gauge.SetWidth(4);
    gauge.SetAlignment(taCenter);
}

TfrmAcquire* frmAcquire()
{
    return HeldWindow<TfrmAcquire>();
}

// --- the common frame of a command ----------------------------------------

void TfrmAcquire::Safely(const std::function<void()>& Handler)
{
    // Also for results that reach the editor from elsewhere than its events.
    const TAskingWindow asking(this);
    try {
        Handler();
    } catch (const std::exception& e) {
        ShowMessage(e.what());
    }
}

void TfrmAcquire::RunCommand(void (TfrmAcquire::*Handler)())
{
    if (OpenDialog())
        return;
    Safely([this, Handler] { (this->*Handler)(); });
}

QDialog* TfrmAcquire::OpenDialog() const
{
    for (QDialog* dialog : findChildren<QDialog*>())
        if (dialog->isVisible())
            return dialog;
    return nullptr;
}

int TfrmAcquire::SenderTag() const
{
    return FPendingTag;
}

void TfrmAcquire::PushUndo(const std::string& OperationName)
{
    FUndo.Push(PGImage1->GetPixelGraphicCopy(), OperationName);
    UpdateUndo();
}

void TfrmAcquire::UpdateUndo()
{
    QAction* undo = Action("Undo1");
    undo->setText(QString::fromStdString(FUndo.Caption()));
    undo->setEnabled(FUndo.Available());
}

void TfrmAcquire::ChangeImage(const std::string& Name, const std::function<void(TPixelGraphic&)>& Change)
{
    TPixelGraphic* image = PGImage1->GetPixelGraphic();
    if (!image)
        return;
    const TWaitCursor wait;
    auto snapshot = PGImage1->GetPixelGraphicCopy();
    try {
        Change(*image);
    } catch (...) {
        PGImage1->SetPixelGraphic(std::move(snapshot));
        throw;
    }
    FUndo.Push(std::move(snapshot), Name);
    UpdateUndo();
    PGImage1->Rearrange();
}

void TfrmAcquire::ReplaceImage(const std::string& Name,
                               const std::function<std::unique_ptr<TPixelGraphic>(TPixelGraphic&)>& Build)
{
    TPixelGraphic* image = PGImage1->GetPixelGraphic();
    if (!image)
        return;
    const TWaitCursor wait;
    auto result = Build(*image);
    auto snapshot = PGImage1->GetPixelGraphicCopy();
    PGImage1->SetPixelGraphic(std::move(result));
    FUndo.Push(std::move(snapshot), Name);
    UpdateUndo();
}

void TfrmAcquire::GaugeStart()
{
    SB1->Panels()[1].SetPanelType(sptGauge);
    SB1->Panels()[1].GaugeAttrs().SetPosition(0);
    FProgressTick = 0;
}

void TfrmAcquire::GaugeStep(int Step, int Max)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    if (Max <= 0 || now - FProgressTick <= 200)
        return;
    SB1->Panels()[1].GaugeAttrs().SetPosition(Step * 100 / Max);
    SB1->repaint();
    FProgressTick = now;
}

void TfrmAcquire::GaugeEnd()
{
    SB1->Panels()[1].SetPanelType(sptNormal);
}

void TfrmAcquire::SetSaving(bool Saving)
{
    if (Saving)
        GaugeStart();
    else
        GaugeEnd();
    menuBar()->setEnabled(!Saving);
    findChild<QToolBar*>("ToolBar1")->setEnabled(!Saving);
    PGImage1->viewport()->setAcceptDrops(!Saving);
    FStopSave->setEnabled(Saving);
}

void TfrmAcquire::HookGauge(TPixelGraphic& Image)
{
    Image.SetOnProgressStart([this](TObject*) { GaugeStart(); });
    Image.SetOnProgress([this](TObject*, int step, int max, bool&) { GaugeStep(step, max); });
    Image.SetOnProgressEnd([this](TObject*) { GaugeEnd(); });
}

// --- state -------------------------------------------------------------------

QAction* TfrmAcquire::Action(const std::string& Name) const
{
    return findChild<QAction*>(QString::fromStdString(Name));
}

void TfrmAcquire::PGImage1Change()
{
    TPixelGraphic* image = PGImage1->PeekPixelGraphic();
    SB1->Panels()[0].SetText(
        image ? std::to_string(image->GetWidth()) + " X " + std::to_string(image->GetHeight()) : "");
    Image1->setEnabled(image != nullptr);
    Filters1->setEnabled(image != nullptr);
    if (image && tbTile->isChecked()) {
        tbTile->setChecked(false);
        PGImage1->SetTiling(tNone);
    }
}

TPGOpenDialog* TfrmAcquire::MakeOpenDialog(const QString& Folder)
{
    auto* dialog = new TPGOpenDialog(this, Folder);
    dialog->setObjectName("PGOpenDialog1");
    return dialog;
}

TPGSaveDialog* TfrmAcquire::MakeSaveDialog(const QString& Folder)
{
    auto* dialog = new TPGSaveDialog(this, Folder);
    dialog->setObjectName("PGSaveDialog1");
    dialog->SetFilter("BMP - Bitmap|*.bmp|JPG - JPEG (JFIF compliant)|*.jpg|PBM - Portable Bitmap|*.pbm|"
                      "PGM - Portable Graymap|*.pgm|PNG - Portable Network Graphics|*.png|"
                      "PPM - Portable Pixelmap|*.ppm|TGA - Truevision Targa|*.tga|"
                      "TIF - Tagged Image File Format|*.tif");
    dialog->SetOptions(ofOverwritePrompt | ofHideReadOnly | ofShareAware);
    dialog->setWindowTitle(tr("Lumeno Save File"));
    dialog->SetStretchMode(smFast);
    return dialog;
}

void TfrmAcquire::showEvent(QShowEvent* Event)
{
    QMainWindow::showEvent(Event);
    JPEGQuality = 80;
    frmFileSaveOptions->Fill(ReadSaveOptions());
    const QString folder = QString::fromStdString(EditorHost().TreeFolder());
    PGOpenDialog1.SetDirectory(folder);
    PGSaveDialog1.SetDirectory(folder);
    Action("Select1")->setEnabled(EditorHost().TwainPresent());
    Action("Acquire1")->setEnabled(EditorHost().TwainPresent());
    PGImage1Change();
}

bool TfrmAcquire::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == PGImage1->viewport() &&
        HandleListDrop(Event, [this](const std::string& path) { LoadFile(path, path); }))
        return true;
    return QMainWindow::eventFilter(Watched, Event);
}

void TfrmAcquire::AddWhiteFrame(TPixelGraphic& Image)
{
    lumeno::AddWhiteFrame(Image);
}

void TfrmAcquire::AddSoftShadow(TPixelGraphic& Image, int PenWidth, int ShadowSize)
{
    lumeno::AddSoftShadow(Image, PenWidth, ShadowSize);
}

} // namespace lumeno
