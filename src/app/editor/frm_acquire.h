#pragma once
// The image editor: one picture in a scrolling view, the commands of its
// menus and tool bar, a one-level undo, and the option and effect dialogs.
// Beyond common/, it uses effects/, whose pixel effects its commands run.

#include "app/editor/edit_undo.h"
#include "platform/numeric.h"
#include "platform/qt/dialog_on_demand.h"
#include "platform/qt/worker_task.h"

#include <QMainWindow>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QDialog;
class QMenu;
class QToolButton;

namespace lumeno {

class TPGImage;
class TdfsStatusBar;
class TPGOpenDialog;
class TPGSaveDialog;
class TPixelGraphic;
class TRGBFilterDialog;
class TCMYFilterDialog;
class TYCbCrFilterDialog;
class THLSFilterDialog;
class THSVFilterDialog;
class TBCGFilterDialog;
class TGrayScaleFilterDialog;
class TNegativeFilterDialog;
class TSharpenFilterDialog;
class TDetailFilterDialog;
class TSmoothFilterDialog;
class TBlurFilterDialog;
class TContourFilterDialog;
class TfRotate;
class TfrmBorder;
class TfrmResize;
class TfrmColorRez;
class TfrmFileSaveOptions;
class TfrmRedEyeReduction;
class TfrmBarrel;
class TfrmNewEFX;
class TfrmGaussianBlur;

class TfrmAcquire : public QMainWindow {
    Q_OBJECT
public:
    // One row of the command table: the action's name, its menu path
    // ("Image/Rotate"), caption, tag and handler.
    struct TCommand {
        const char* Name;
        const char* Menu;
        const char* Caption;
        int Tag;
        void (TfrmAcquire::*Handler)();
    };
    static const std::vector<TCommand>& Commands();

    explicit TfrmAcquire(QWidget* Parent = nullptr);
    ~TfrmAcquire() override;

    // What the main window's edit command does: zoom 1.0, the file loaded
    // (a file that cannot be read keeps the picture and raises, so the
    // caller says what failed), undo cleared, the window shown. While one of
    // the editor's dialogs is open the file is not loaded and that dialog
    // comes to the front.
    void EditFile(const std::string& Path);
    // The editor's dialog on screen, if any: it works on the picture shown,
    // so nothing may replace or change the picture meanwhile.
    QDialog* OpenDialog() const;
    // Loads Path into a new image and hands it to the view only when it
    // loaded, as a new picture saved as SaveName; errors are raised.
    void LoadFile(const std::string& Path, const std::string& SaveName);
    // A picture that is not an edit of the one shown (opened, dropped,
    // scanned, captured): no undo back to the one before, and neither its
    // selection nor its save name.
    void TakeNewPicture(std::unique_ptr<TPixelGraphic> Image, const std::string& SaveName);
    void PushUndo(const std::string& OperationName);
    void RotateImage(Extended Angle);
    QAction* Action(const std::string& Name) const;
    // Save As after its dialog: the picture is written on a worker while
    // the window shows the progress; Esc stops it and keeps an old file.
    void SaveImageAs(const std::string& FileName);
    bool Saving() const { return FSave.Running(); }
    void StopSave();
    const TEditUndo& Undo() const { return FUndo; }

    // The frame routines other windows reach through the editor.
    static void AddWhiteFrame(TPixelGraphic& Image);
    static void AddSoftShadow(TPixelGraphic& Image, int PenWidth, int ShadowSize);

    // Components.
    TPGImage* PGImage1;
    TdfsStatusBar* SB1;
    TDialogOnDemand<TPGOpenDialog> PGOpenDialog1;
    TDialogOnDemand<TPGSaveDialog> PGSaveDialog1;
    QMenu* Image1 = nullptr;
    QMenu* Filters1 = nullptr;
    QToolButton *tbAutoSize, *tbTile, *tbPointer, *tbZoom, *tbSelector, *tbRotateLeft, *tbRotateRight,
        *tbRedEye, *tbScreenCapture;
    TRGBFilterDialog* RGBFilterDialog1;
    TCMYFilterDialog* CMYFilterDialog1;
    TYCbCrFilterDialog* YCbCrFilterDialog1;
    THLSFilterDialog* HLSFilterDialog1;
    THSVFilterDialog* HSVFilterDialog1;
    TBCGFilterDialog* BCGFilterDialog1;
    TGrayScaleFilterDialog* GrayScaleFilterDialog1;
    TNegativeFilterDialog* NegativeFilterDialog1;
    TSharpenFilterDialog* SharpenFilterDialog1;
    TDetailFilterDialog* DetailFilterDialog1;
    TSmoothFilterDialog* SmoothFilterDialog1;
    TBlurFilterDialog* BlurFilterDialog1;
    TContourFilterDialog* ContourFilterDialog1;
    TfRotate* fRotate;
    TfrmBorder* frmBorder;
    TfrmResize* frmResize;
    TfrmColorRez* frmColorRez;
    TfrmFileSaveOptions* frmFileSaveOptions;
    TfrmRedEyeReduction* frmRedEyeReduction;
    TfrmBarrel* frmBarrel;
    TfrmNewEFX* frmNewEFX;
    TfrmGaussianBlur* frmGaussianBlur;

    // Handlers of the command table.
    void Open1Click();
    void SaveAs1Click();
    void SaveOptions1Click();
    void Select1Click();
    void Acquire1Click();
    void Print1Click();
    void Close1Click();
    void Undo1Click();
    void Rotate1801Click();
    void Rotate90CW1Click();
    void Rotate90CCW1Click();
    void Arbitrary1Click();
    void FlipHorizontal1Click();
    void FlipVertical1Click();
    void Crop1Click();
    void DropShadow1Click();
    void WhiteBorder1Click();
    void Gradient1Click();
    void Bevel1Click();
    void ColorResolution1Click();
    void Resize1Click();
    void RadialAdjustment1Click();
    void ColorFilterClick();
    void ConvFilterClick();
    void RedEyeReduction1Click();
    void GaussianBlur1Click();
    void PixelEffectClick();
    void AmountEffectClick();
    void PencilDrawing1Click();
    void Posterize1Click();
    void HelpClick();
    void ScreenCaptureClick();
    // Tool buttons and the view.
    void tbAutoSizeClick();
    void tbTileClick();
    void tbPointerClick();
    void tbZoomClick();
    void tbSelectorClick();
    void PGImage1Change();
    void PicBoxMouseDown(Qt::MouseButton Button, int X, int Y);

protected:
    void showEvent(QShowEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildMenus();
    void BuildToolBar();
    void BuildStatusBar();
    void ConnectDialogs();
    TPGOpenDialog* MakeOpenDialog(const QString& Folder);
    TPGSaveDialog* MakeSaveDialog(const QString& Folder);
    // The common frame of a command: hourglass, the change, then the
    // snapshot kept under Name. A failed change leaves picture and undo as
    // they were.
    void ChangeImage(const std::string& Name, const std::function<void(TPixelGraphic&)>& Change);
    void ReplaceImage(const std::string& Name,
                      const std::function<std::unique_ptr<TPixelGraphic>(TPixelGraphic&)>& Build);
    void UpdateUndo();
    // Runs a handler; an error is shown and the program goes on.
    void Safely(const std::function<void()>& Handler);
    // A menu or tool-bar command: refused while a dialog is open.
    void RunCommand(void (TfrmAcquire::*Handler)());
    int SenderTag() const;
    // Status panel 1 as a gauge, updated at most every 200 ms.
    void GaugeStart();
    void GaugeStep(int Step, int Max);
    void GaugeEnd();
    void HookGauge(TPixelGraphic& Image);
    // While a save runs, the commands and drops that would change the
    // picture are refused.
    void SetSaving(bool Saving);
    void SaveDone(std::exception_ptr Error);

    TEditUndo FUndo;
    std::string FPictureName; // the shown picture's file, "" for a scan or capture
    qint64 FProgressTick = 0;
    int FPendingTag = 0;
    TWorkerTask FSave;
    QAction* FStopSave = nullptr;
};

TfrmAcquire* frmAcquire();

} // namespace lumeno
