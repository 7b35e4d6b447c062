#include "app/converter/frm_convert.h"

#include "app/common/file_deletion.h"
#include "app/common/file_types.h"
#include "app/common/list_drag.h"
#include "app/common/settings_store.h"
#include "app/common/window_holder.h"
#include "app/converter/convert_image.h"
#include "app/converter/convert_naming.h"
#include "app/converter/converter_host.h"
#include "app/converter/frm_gif_trans.h"
#include "controls/shell/dfs_gauge_attrs.h"
#include "controls/shell/dfs_status_bar.h"
#include "controls/shell/dfs_status_panel.h"
#include "controls/shell/dfs_status_panels.h"
#include "controls/shell/file_utils.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_image.h"
#include "platform/dialogs.h"
#include "platform/qt/wait_cursor.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSlider>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

namespace lumeno {

namespace {

constexpr const char* OriginalSizeCaption = "Morphel - Original Size Mode";
constexpr const char* ReSizeCaption = "Morphel - ReSize Mode";

bool FileExists(const std::string& Path)
{
    std::error_code ec;
    return std::filesystem::exists(Path, ec);
}

TPGImage* NewView(QWidget* Parent, const char* Name)
{
    auto* view = new TPGImage(Parent);
    view->setObjectName(Name);
    view->SetCenter(true);
    view->SetStretch(sAlwaysKAR);
    return view;
}

QAction* AddCheck(QMenu* Menu, const char* Name, const char* Caption)
{
    QAction* action = Menu->addAction(Caption);
    action->setObjectName(Name);
    action->setCheckable(true);
    action->setChecked(true);
    return action;
}

QAction* AddItem(QMenu* Menu, const char* Name, const char* Caption)
{
    QAction* action = Menu->addAction(Caption);
    action->setObjectName(Name);
    return action;
}

} // namespace

TfrmConvert* frmConvert() { return HeldWindow<TfrmConvert>(); }

TConvertPaneLayout ConvertPaneLayout(int WindowWidth)
{
    const int half = std::max(0, WindowWidth / 2 - 6);
    return {half, half + 3};
}

TfrmConvert::~TfrmConvert() = default;

TfrmConvert::TfrmConvert(QWidget* Parent) : QWidget(Parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setObjectName("frmConvert");
    setWindowTitle(OriginalSizeCaption);
    resize(760, 480);

    BuildToolBars();
    BuildPanes();
    BuildMenus();

    SB1 = new TdfsStatusBar(this);
    SB1->setObjectName("SB1");
    SB1->Panels().Add();
    SB1->Panels().Add().SetWidth(200);
    FStopConvert = new QAction(this);
    FStopConvert->setObjectName("StopConvert");
    FStopConvert->setShortcut(Qt::Key_Escape);
    FStopConvert->setEnabled(false);
    addAction(FStopConvert);
    connect(FStopConvert, &QAction::triggered, this, &TfrmConvert::StopConvert);
    FConvert.KeepOpen(this);

    auto* bars = new QHBoxLayout;
    bars->setContentsMargins(0, 0, 0, 0);
    bars->setSpacing(2);
    bars->addWidget(ToolBar1);
    bars->addWidget(tbJpeg);
    bars->addWidget(tbGif);
    bars->addStretch(1);
    auto* panes = new QWidget(this);
    panes->setObjectName("pnlPanes");
    pnlLeft->setParent(panes);
    pnlRight->setParent(panes);
    panes->installEventFilter(this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(bars);
    layout->addWidget(panes, 1);
    layout->addWidget(SB1);

    // FormCreate: the first type, the quality shown.
    cbFileType->setCurrentIndex(0);
    cbFileTypeChange();
    TrackBar1Change();
}

void TfrmConvert::BuildToolBars()
{
    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName("ToolBar1");
    ToolButton7 = new QToolButton(ToolBar1);
    ToolButton7->setObjectName("ToolButton7");
    ToolButton7->setText("Convert");
    ToolButton7->setToolTip("Convert Now!");
    ToolBar1->addWidget(ToolButton7);
    cbFileType = new QComboBox(ToolBar1);
    cbFileType->setObjectName("cbFileType");
    for (const char* item : ConverterFileTypes)
        cbFileType->addItem(item);
    int longest = 0;
    for (const char* item : ConverterFileTypes)
        longest = std::max(longest, cbFileType->fontMetrics().horizontalAdvance(item));
    cbFileType->setMinimumWidth(longest + 48);
    ToolBar1->addWidget(cbFileType);
    tbOptions = new QToolButton(ToolBar1);
    tbOptions->setObjectName("tbOptions");
    tbOptions->setText("Options");
    tbOptions->setPopupMode(QToolButton::InstantPopup);
    ToolBar1->addWidget(tbOptions);

    tbJpeg = new QToolBar(this);
    tbJpeg->setObjectName("tbJpeg");
    tbJpeg->addWidget(new QLabel("Size", tbJpeg));
    TrackBar1 = new QSlider(Qt::Horizontal, tbJpeg);
    TrackBar1->setObjectName("TrackBar1");
    TrackBar1->setRange(10, 100);
    TrackBar1->setValue(100);
    TrackBar1->setFixedWidth(120);
    TrackBar1->setToolTip("JPG Compression Quality (left more compression, right more quality)");
    tbJpeg->addWidget(TrackBar1);
    tbJpeg->addWidget(new QLabel("Quality", tbJpeg));
    lPosition = new QLabel(tbJpeg);
    lPosition->setObjectName("lPosition");
    lPosition->setMinimumWidth(36);
    lPosition->setAlignment(Qt::AlignCenter);
    tbJpeg->addWidget(lPosition);

    tbGif = new QToolBar(this);
    tbGif->setObjectName("tbGif");
    cbInterlaced = new QCheckBox("Interlaced", tbGif);
    cbInterlaced->setObjectName("cbInterlaced");
    tbGif->addWidget(cbInterlaced);
    cbTransparent = new QCheckBox("Transparent", tbGif);
    cbTransparent->setObjectName("cbTransparent");
    tbGif->addWidget(cbTransparent);

    connect(ToolButton7, &QToolButton::clicked, this, &TfrmConvert::ToolButton7Click);
    connect(cbFileType, &QComboBox::currentIndexChanged, this, &TfrmConvert::cbFileTypeChange);
    connect(TrackBar1, &QSlider::valueChanged, this, &TfrmConvert::TrackBar1Change);
}

void TfrmConvert::BuildPanes()
{
    pnlLeft = new QFrame(this);
    pnlLeft->setObjectName("pnlLeft");
    pnlLeft->setFrameShape(QFrame::StyledPanel);
    pgLeft = NewView(pnlLeft, "pgLeft");
    pgLeft->SetReadWarningAction(pgwaIgnore);
    pgLeft->SetSaveColorResWarningAction(pgwaIgnore);
    pgLeft->setAcceptDrops(true);
    pgLeft->installEventFilter(this);
    pgLeft->viewport()->installEventFilter(this);
    pnlRight = new QFrame(this);
    pnlRight->setObjectName("pnlRight");
    pnlRight->setFrameShape(QFrame::StyledPanel);
    pgRight = NewView(pnlRight, "pgRight");
    for (QFrame* pane : {pnlLeft, pnlRight}) {
        auto* inner = new QVBoxLayout(pane);
        inner->setContentsMargins(2, 2, 2, 2);
        inner->addWidget(pane == pnlLeft ? pgLeft : pgRight);
    }
}

void TfrmConvert::BuildMenus()
{
    pmOptions = new QMenu(this);
    pmOptions->setObjectName("pmOptions");
    opMOS = AddCheck(pmOptions, "opMOS", "Maintain Original Size");
    AutoSharpenwhenResizing1 = AddCheck(pmOptions, "AutoSharpenwhenResizing1", "Auto Sharpen when Resizing");
    SizeToFit1 = AddCheck(pmOptions, "SizeToFit1", "Size To Fit");
    tbOptions->setMenu(pmOptions);
    // The toggles flip their own check before the handlers look at it.
    connect(opMOS, &QAction::triggered, this, &TfrmConvert::opMOSClick);
    connect(SizeToFit1, &QAction::triggered, this, &TfrmConvert::SizeToFit1Click);

    pmLeft = new QMenu(this);
    pmLeft->setObjectName("pmLeft");
    ImageProperties1 = AddItem(pmLeft, "ImageProperties1", "Image Properties");
    CurrentDisplaySize1 = AddItem(pmLeft, "CurrentDisplaySize1", "Current Display Size");
    pmRight = new QMenu(this);
    pmRight->setObjectName("pmRight");
    ImageProperties2 = AddItem(pmRight, "ImageProperties2", "Image Properties");
    DeleteConvertedFile1 = AddItem(pmRight, "DeleteConvertedFile1", "Delete Converted File");
    connect(ImageProperties1, &QAction::triggered, this, &TfrmConvert::ImagePropertiesLeftClick);
    connect(CurrentDisplaySize1, &QAction::triggered, this, &TfrmConvert::CurrentDisplaySizeClick);
    connect(ImageProperties2, &QAction::triggered, this, &TfrmConvert::ImagePropertiesRightClick);
    connect(DeleteConvertedFile1, &QAction::triggered, this, &TfrmConvert::DeleteConvertedFileClick);
    connect(pmRight, &QMenu::aboutToShow, this, &TfrmConvert::pmRightPopup);

    for (TPGImage* view : {pgLeft, pgRight}) {
        QMenu* menu = view == pgLeft ? pmLeft : pmRight;
        view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view, &QWidget::customContextMenuRequested, menu,
                [view, menu](const QPoint& Pos) { menu->popup(view->mapToGlobal(Pos)); });
    }
}

void TfrmConvert::showEvent(QShowEvent* Event)
{
    QWidget::showEvent(Event);
    if (!FSourceFileName.empty())
        LoadSourceFile(FSourceFileName);
}

void TfrmConvert::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    FormResize();
}

void TfrmConvert::FormResize()
{
    const TConvertPaneLayout layout = ConvertPaneLayout(width());
    QWidget* panes = pnlLeft->parentWidget();
    const int h = panes->height();
    pnlLeft->setGeometry(0, 0, layout.Half, h);
    pnlRight->setGeometry(panes->width() - layout.Half, 0, layout.Half, h);
    SB1->Panels()[0].SetWidth(layout.StatusPanel0);
}

bool TfrmConvert::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == pnlLeft->parentWidget()) {
        if (Event->type() == QEvent::Resize)
            FormResize();
        return false;
    }
    if (Event->type() == QEvent::DragEnter || Event->type() == QEvent::DragMove) {
        auto* drag = static_cast<QDropEvent*>(Event);
        if (CarriesListDrag(drag->mimeData()) && !FConvert.Running()) {
            drag->acceptProposedAction();
            return true;
        }
    } else if (Event->type() == QEvent::Drop) {
        auto* drop = static_cast<QDropEvent*>(Event);
        drop->acceptProposedAction();
        pgLeftDragDrop(drop->mimeData());
        return true;
    }
    return QWidget::eventFilter(Watched, Event);
}

void TfrmConvert::ClearConverted()
{
    pgRight->SetPixelGraphic(nullptr);
    SB1->Panels()[1].SetText("");
    FConvertedFileName.clear();
}

void TfrmConvert::LoadSourceFile(const std::string& Name)
{
    StopConvert();
    FSourceFileName = Name;
    ClearConverted();
    try {
        pgLeft->LoadFromFile(Name);
    } catch (const std::exception& e) {
        SB1->Panels()[0].SetText("");
        MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        return;
    }
    SB1->Panels()[0].SetText(FileSizeKText(Name, GetFileSizeByName(Name)));
}

void TfrmConvert::ToolButton7Click()
{
    if (pgLeft->GetEmpty() || FConvert.Running())
        return;
    const std::string ext = ConverterExtension(cbFileType->currentIndex());
    const std::string target =
        ChooseConvertTarget(ConvertTargetName(FSourceFileName, ext), FileExists, [](const std::string& t) {
            return MessageDlg(t + " exists. Overwrite?", TMsgDlgType::mtConfirmation, mbYesNo) == mrYes;
        });
    ClearConverted();
    StartConvert(target);
}

TConvertOptions TfrmConvert::ReadOptions() const
{
    TConvertOptions options;
    options.Extension = ConverterExtension(cbFileType->currentIndex());
    options.MaintainOriginalSize = opMOS->isChecked();
    options.AutoSharpen = AutoSharpenwhenResizing1->isChecked();
    options.Width = pgLeft->GetPicBox()->width();
    options.Height = pgLeft->GetPicBox()->height();
    options.Interlaced = cbInterlaced->isChecked();
    options.Transparent = cbTransparent->isChecked();
    return options;
}

// Asked from the worker: the pick itself runs on the main thread while the
// worker waits, and its answer outlives a worker that was stopped meanwhile.
TTransparentPicker TfrmConvert::Picker() const
{
    TTransparentPicker pick = FPicker;
    if (!pick)
        pick = [](TPixelGraphic& Reduced) {
            return frmGIFTrans()->Pick(Reduced);
        };
    return pick;
}

void TfrmConvert::StartConvert(const std::string& Target)
{
    const TConvertOptions options = ReadOptions();
    if (options.Extension == "jpg")
        JPEGQuality = static_cast<std::uint8_t>(TrackBar1->value());
    auto source = std::make_shared<TPixelGraphic>();
    source->Assign(pgLeft->GetPixelGraphic());
    source->SetSaveColorResWarningAction(pgwaIgnore);
    // The written file is read back on the worker too.
    auto written = std::make_shared<std::unique_ptr<TPixelGraphic>>(std::make_unique<TPixelGraphic>());
    (*written)->SetReadWarningAction(pgwaIgnore);
    (*written)->SetFillColor(pgRight->GetBackGroundColor());
    SetConverting(true);
    FConvert.Start(
        [source, written, Target, options, pick = Picker()](TWorkerTask::TProgress& progress) {
            source->SetOnProgress(
                [&progress](TObject*, int step, int max, bool&) { progress.Report(step, max); });
            ConvertImage(*source, Target, options, [&progress, pick](TPixelGraphic& reduced) {
                auto color = std::make_shared<std::optional<TColor>>();
                progress.Synchronize([pick, color, &reduced] { *color = pick(reduced); });
                return *color;
            });
            (*written)->LoadFromFile(Target);
        },
        [this](int percent) { SB1->Panels()[1].GaugeAttrs().SetPosition(percent); },
        [this, Target, written](std::exception_ptr error) {
            ConvertDone(Target, std::move(*written), error);
        });
}

void TfrmConvert::ConvertDone(const std::string& Target, std::unique_ptr<TPixelGraphic> Written,
                              std::exception_ptr Error)
{
    SetConverting(false);
    if (Error) {
        try {
            std::rethrow_exception(Error);
        } catch (const std::exception& e) {
            MessageDlg(e.what(), TMsgDlgType::mtError, mbOK);
        }
        return;
    }
    pgRight->SetPixelGraphic(std::move(Written), Target);
    FConvertedFileName = Target;
    SB1->Panels()[1].SetText(FileSizeKText(Target, GetFileSizeByName(Target)));
    if (FHost)
        FHost->Update1Click();
}

void TfrmConvert::StopConvert()
{
    FConvert.Stop();
    SetConverting(false);
}

void TfrmConvert::SetConverting(bool Converting)
{
    SB1->Panels()[1].SetPanelType(Converting ? sptGauge : sptNormal);
    SB1->Panels()[1].GaugeAttrs().SetPosition(0);
    for (QWidget* bar :
         {static_cast<QWidget*>(ToolBar1), static_cast<QWidget*>(tbJpeg), static_cast<QWidget*>(tbGif)})
        bar->setEnabled(!Converting);
    FStopConvert->setEnabled(Converting);
}

void TfrmConvert::cbFileTypeChange()
{
    const int item = cbFileType->currentIndex();
    tbJpeg->setVisible(item == ConverterJPGItem);
    tbGif->setVisible(item == ConverterGIFItem);
}

void TfrmConvert::TrackBar1Change() { lPosition->setText(QString::number(TrackBar1->value())); }

void TfrmConvert::SetBothStretch(bool KeepAspect)
{
    pgLeft->SetStretch(KeepAspect ? sAlwaysKAR : sNeverKAR);
    pgRight->SetStretch(KeepAspect ? sAlwaysKAR : sNeverKAR);
}

void TfrmConvert::opMOSClick()
{
    if (opMOS->isChecked()) {
        setWindowTitle(OriginalSizeCaption);
        return;
    }
    setWindowTitle(ReSizeCaption);
    SizeToFit1->setChecked(true);
    SetBothStretch(true);
}

void TfrmConvert::SizeToFit1Click() { SetBothStretch(SizeToFit1->isChecked()); }

void TfrmConvert::CurrentDisplaySizeClick()
{
    const TPicBox* box = pgLeft->GetPicBox();
    ShowMessage(std::to_string(box->width()) + "X" + std::to_string(box->height()));
}

void TfrmConvert::ImagePropertiesLeftClick()
{
    if (!pgLeft->GetEmpty() && FHost)
        FHost->ShowImageProperties(FSourceFileName);
}

void TfrmConvert::ImagePropertiesRightClick()
{
    if (!pgRight->GetEmpty() && FHost)
        FHost->ShowImageProperties(FConvertedFileName);
}

void TfrmConvert::pmRightPopup()
{
    const bool any = !pgRight->GetEmpty();
    ImageProperties2->setEnabled(any);
    DeleteConvertedFile1->setEnabled(any);
}

bool TfrmConvert::RemoveConverted()
{
    return DeleteFileAsSet(FConvertedFileName, TSettingsStore().ReadDeleteMode());
}

void TfrmConvert::DeleteConvertedFileClick()
{
    if (FConvertedFileName.empty())
        return;
    if (TSettingsStore().ReadConfirmDeletions() &&
        MessageDlg("Delete file " + FConvertedFileName + "?", TMsgDlgType::mtConfirmation, mbYesNo) != mrYes)
        return;
    {
        TWaitCursor wait;
        if (!RemoveConverted())
            return;
    }
    ClearConverted();
    if (FHost)
        FHost->Update1Click();
}

void TfrmConvert::pgLeftDragDrop(const QMimeData* Data)
{
    const std::optional<TListDrag> drag = DecodeListDrag(Data);
    if (!drag || drag->Captions.size() != 1)
        return;
    const std::string path = drag->Paths().front().toStdString();
    if (!IsPictureFile(path)) {
        ShowMessage("Can't convert " + path);
        return;
    }
    LoadSourceFile(path);
}

} // namespace lumeno
