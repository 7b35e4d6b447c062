#pragma once
// The scrolling image view: shows one owned TPixelGraphic laid out by a
// stretch rule or a zoom factor, optionally tiled and mirrored, with a
// rubber-band selection and image dragging. A display copy for palette
// screens or resampled views is built by a TCreatePaintPGThread.

#include "imagelib/pixel_graphic.h"
#include "imagelib/view/pg_layout.h"
#include "imagelib/view/pg_selection.h"
#include "imagelib/view/pg_view_types.h"
#include "imagelib/view/pic_box.h"

#include <QAbstractScrollArea>
#include <QBrush>
#include <QColor>
#include <QCursor>

#include <array>
#include <cstdint>
#include <memory>
#include <string>

class QTimer;

namespace lumeno {

class TCreatePaintPGThread;

class TPGImage : public QAbstractScrollArea, public TObject, private TPicBoxOwner {
    Q_OBJECT
public:
    explicit TPGImage(QWidget* Parent = nullptr);
    ~TPGImage() override;

    // --- the image and who owns it ------------------------------------------
    // Stops the paint thread first, so the caller may change the image in place.
    TPixelGraphic* GetPixelGraphic();
    // Read-only use; the paint thread may be reading it too.
    TPixelGraphic* PeekPixelGraphic() const { return FPixelGraphic.get(); }
    // Takes ownership; nullptr empties the control.
    void SetPixelGraphic(std::unique_ptr<TPixelGraphic> Image);
    // As SetPixelGraphic, for an image read from FileName elsewhere (the
    // control's file name becomes FileName).
    void SetPixelGraphic(std::unique_ptr<TPixelGraphic> Image, const std::string& FileName);
    // Shows a copy; the caller keeps Image.
    void AssignPixelGraphic(TPixelGraphic* Image);
    // A copy the caller owns (undo snapshots).
    std::unique_ptr<TPixelGraphic> GetPixelGraphicCopy();
    bool GetEmpty() const { return !FPixelGraphic; }
    TPicBox* GetPicBox() const { return FPicBox; }
    int GetPixelGraphicWidth() const { return FPixelGraphicWidth; }
    int GetPixelGraphicHeight() const { return FPixelGraphicHeight; }
    // The display copy now shown instead of the image, if any.
    const TPixelGraphic* PeekPaintPixelGraphic() const { return FPaintPixelGraphic.get(); }

    void LoadFromFile(const std::string& AFileName);
    virtual void SaveToFile(const std::string& AFileName);
    const std::string& GetFileName() const { return FFileName; }
    void SetFileName(const std::string& Value);

    // --- layout -------------------------------------------------------------
    void Rearrange();
    void Layout(bool Force);
    void Invalidate();
    // True when a display copy must be shown; starts its build when needed.
    bool UpdatePaintPixelGraphic();
    Extended GetEffectiveZoomFactor() const { return FEffectiveZoomFactor; }

    int PicBoxToImageX(int X) const;
    int PicBoxToImageY(int Y) const;
    int ImageToPicBoxX(int X) const;
    int ImageToPicBoxY(int Y) const;

    // Colour depth of the screen in bits; a value set here replaces the
    // screen's (0 = ask the screen), so palette screens can be tried out.
    int GetDisplayDepth() const;
    void SetDisplayDepth(int Value);
    int GetPaintProgressStep() const { return FPaintStep; }
    int GetPaintProgressPercent() const { return FPaintPercent; }

    // --- properties -----------------------------------------------------------
    TActionMode GetActionMode() const { return FActionMode; }
    void SetActionMode(TActionMode Value);
    bool GetAllow24BitStretch() const { return FAllow24BitStretch; }
    void SetAllow24BitStretch(bool Value) { SetAndRearrange(FAllow24BitStretch, Value); }
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    int GetAutoSizeMaxWidth() const { return FAutoSizeMaxWidth; }
    void SetAutoSizeMaxWidth(int Value) { SetAutoSizeLimit(FAutoSizeMaxWidth, Value); }
    int GetAutoSizeMaxHeight() const { return FAutoSizeMaxHeight; }
    void SetAutoSizeMaxHeight(int Value) { SetAutoSizeLimit(FAutoSizeMaxHeight, Value); }
    int GetAutoSizeMinWidth() const { return FAutoSizeMinWidth; }
    void SetAutoSizeMinWidth(int Value) { SetAutoSizeLimit(FAutoSizeMinWidth, Value); }
    int GetAutoSizeMinHeight() const { return FAutoSizeMinHeight; }
    void SetAutoSizeMinHeight(int Value) { SetAutoSizeLimit(FAutoSizeMinHeight, Value); }
    // The auto-size result with AutoSize, so a layout can make room for it.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    TColor GetBackGroundColor() const { return FBackGroundColor; }
    void SetBackGroundColor(TColor Value) { FBackGroundColor = Value; }
    bool GetCenter() const { return FCenter; }
    void SetCenter(bool Value);
    bool GetDither() const { return FDither; }
    void SetDither(bool Value) { SetAndRearrange(FDither, Value); }
    std::uint8_t GetDitherErrorLimit() const { return FDitherErrorLimit; }
    void SetDitherErrorLimit(std::uint8_t Value) { SetDitherSetting(FDitherErrorLimit, Value); }
    bool GetDitherErrorLimitAuto() const { return FDitherErrorLimitAuto; }
    void SetDitherErrorLimitAuto(bool Value) { SetDitherSetting(FDitherErrorLimitAuto, Value); }
    bool GetDitherErrorLimitSoft() const { return FDitherErrorLimitSoft; }
    void SetDitherErrorLimitSoft(bool Value) { SetDitherSetting(FDitherErrorLimitSoft, Value); }
    bool GetFlipHorizontal() const { return FFlipHorizontal; }
    void SetFlipHorizontal(bool Value) { SetAndRepaint(FFlipHorizontal, Value); }
    bool GetFlipVertical() const { return FFlipVertical; }
    void SetFlipVertical(bool Value) { SetAndRepaint(FFlipVertical, Value); }
    bool GetKeepOldPaintPixelGraphic() const { return FKeepOldPaintPixelGraphic; }
    void SetKeepOldPaintPixelGraphic(bool Value) { FKeepOldPaintPixelGraphic = Value; }
    TPalette8BitSys24BitGraphic GetPalette8BitSys24BitGraphic() const { return FPalette8BitSys24BitGraphic; }
    void SetPalette8BitSys24BitGraphic(TPalette8BitSys24BitGraphic Value);
    TPalette8BitSys8BitGraphic GetPalette8BitSys8BitGraphic() const { return FPalette8BitSys8BitGraphic; }
    void SetPalette8BitSys8BitGraphic(TPalette8BitSys8BitGraphic Value);
    QColor GetPicBoxFrameColor() const { return FPicBoxFrameColor; }
    void SetPicBoxFrameColor(const QColor& Value) { FPicBoxFrameColor = Value; }
    bool GetProgress5Clocks() const { return FProgress5Clocks; }
    void SetProgress5Clocks(bool Value) { FProgress5Clocks = Value; }
    QColor GetProgressClockBkColor() const { return FProgressClockBkColor; }
    void SetProgressClockBkColor(const QColor& Value) { FProgressClockBkColor = Value; }
    QColor GetProgressClockLineColor() const { return FProgressClockLineColor; }
    void SetProgressClockLineColor(const QColor& Value) { FProgressClockLineColor = Value; }
    bool GetProgressClockVisible() const { return FProgressClockVisible; }
    void SetProgressClockVisible(bool Value) { FProgressClockVisible = Value; }
    bool GetRGBWeighting() const { return FRGBWeighting; }
    void SetRGBWeighting(bool Value) { SetAndRearrange(FRGBWeighting, Value); }
    bool GetRearrangeAlways() const { return FRearrangeAlways; }
    void SetRearrangeAlways(bool Value) { FRearrangeAlways = Value; }
    bool GetReduceOnLoad() const { return FReduceOnLoad; }
    void SetReduceOnLoad(bool Value) { FReduceOnLoad = Value; }
    TPGWarningAction GetReadWarningAction() const { return FReadWarningAction; }
    void SetReadWarningAction(TPGWarningAction Value) { FReadWarningAction = Value; }
    TPGWarningAction GetSaveColorResWarningAction() const { return FSaveColorResWarningAction; }
    void SetSaveColorResWarningAction(TPGWarningAction Value) { FSaveColorResWarningAction = Value; }
    bool GetShowHourGlass() const { return FShowHourGlass; }
    void SetShowHourGlass(bool Value) { FShowHourGlass = Value; }
    TStretch GetStretch() const { return FStretch; }
    void SetStretch(TStretch Value);
    TStretchMode GetStretchMode() const { return FStretchMode; }
    void SetStretchMode(TStretchMode Value);
    TTiling GetTiling() const { return FTiling; }
    void SetTiling(TTiling Value);
    bool GetUseThread() const { return FUseThread; }
    void SetUseThread(bool Value);
    Extended GetZoomFactor() const { return FZoomFactor; }
    void SetZoomFactor(Extended Value);

    // --- selection ------------------------------------------------------------
    bool GetSelection() const { return FSelection; }
    void SetSelection(bool Value);
    int GetSelectionLeft() const { return FSel.Left; }
    void SetSelectionLeft(int Value) { SetSelectionRect({Value, FSel.Top, FSel.Width, FSel.Height}); }
    int GetSelectionTop() const { return FSel.Top; }
    void SetSelectionTop(int Value) { SetSelectionRect({FSel.Left, Value, FSel.Width, FSel.Height}); }
    int GetSelectionWidth() const { return FSel.Width; }
    void SetSelectionWidth(int Value) { SetSelectionRect({FSel.Left, FSel.Top, Value, FSel.Height}); }
    int GetSelectionHeight() const { return FSel.Height; }
    void SetSelectionHeight(int Value) { SetSelectionRect({FSel.Left, FSel.Top, FSel.Width, Value}); }
    TColor GetSelectionColor1() const { return FSelectionColor1; }
    void SetSelectionColor1(TColor Value);
    TColor GetSelectionColor2() const { return FSelectionColor2; }
    void SetSelectionColor2(TColor Value);
    bool SelectionAnimating() const { return FAnimationTimer != nullptr; }

signals:
    void OnNewAutoSize(lumeno::TObject* Sender, int PGImageWidth, int PGImageHeight);
    void OnPainting(lumeno::TObject* Sender);
    void OnPaint(lumeno::TObject* Sender);
    void OnPixelGraphicChange(lumeno::TObject* Sender);
    void OnPixelGraphicProgressStart(lumeno::TObject* Sender);
    void OnPixelGraphicProgress(lumeno::TObject* Sender, int Step, int Max, bool& Abort);
    void OnPixelGraphicProgressEnd(lumeno::TObject* Sender);
    void OnSelectionChange(lumeno::TObject* Sender);
    void OnSelectionMade(lumeno::TObject* Sender);
    void OnSetCursor(lumeno::TObject* Sender, QCursor& Cursor);
    void PicBoxOnSetCursor(lumeno::TObject* Sender, QCursor& Cursor);
    void OnZoomFactorChange(lumeno::TObject* Sender);

protected:
    // Paints the client area: picture (or progress clocks) and background.
    virtual void Paint(QPainter& Painter, const QRect& Clip);
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void scrollContentsBy(int DX, int DY) override;
    void customEvent(QEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;

private:
    enum class TMouseState { None, MoveImage, MoveSelection, CreateSelection, Resize };

    void PicBoxMouseDown(QMouseEvent& Event) override;
    void PicBoxMouseMove(QMouseEvent& Event) override;
    void PicBoxMouseUp(QMouseEvent& Event) override;
    void PicBoxPaint(QPainter& Painter) override;

    template <typename T> void SetAndRearrange(T& Field, T Value)
    {
        if (Field != Value) {
            Field = Value;
            Rearrange();
        }
    }
    template <typename T> void SetAndRepaint(T& Field, T Value)
    {
        if (Field != Value) {
            Field = Value;
            Invalidate();
        }
    }
    template <typename T> void SetDitherSetting(T& Field, T Value)
    {
        if (Field != Value) {
            Field = Value;
            if (FDither)
                Rearrange();
        }
    }
    void SetAutoSizeLimit(int& Field, int Value);

    // image ownership
    void StopPaintThread();
    void ReplacePixelGraphic(std::unique_ptr<TPixelGraphic> Image);
    void DropPaintPixelGraphic();
    void HookProgress(TPixelGraphic& Image);
    void HookChange(TPixelGraphic& Image);
    void HandOver(std::unique_ptr<TPixelGraphic> Image);

    // paint image
    TPGSize PaintTargetSize() const;
    bool PaintPixelGraphicNeeded();
    void StartBuild();
    void PrepareBuild(TCreatePaintPGThread& Thread);

    // layout
    int BorderWidth() const;
    TPGSize AvailableSize() const;
    int HScrollHeight() const;
    int VScrollWidth() const;
    bool Scrollable() const;
    void PlacePicBox();

    // painting
    void DrawTiles(QPainter& Painter, const QRect& Clip, TPixelGraphic& Image);
    void DrawProgressClocks(QPainter& Painter, const QRect& Box);
    QRect BoxInViewport() const;

    // selection
    TRect SelectionFrame() const;
    void SetSelectionRect(const TPGSelectionRect& Value);
    void InvalidateFrame(const TRect& Frame);
    int FrameMargin() const { return FActionMode == amMoveResizeCreateSelection ? 8 : 1; }
    void AnimationTick();
    void AutoScrollTick();
    void DragImage(QPoint GlobalPos);
    void UpdateCursor(QPoint BoxPos);
    QCursor PicBoxCursorAt(QPoint BoxPos) const;

    TPicBox* FPicBox = nullptr;
    std::unique_ptr<TPixelGraphic> FPixelGraphic;
    std::unique_ptr<TPixelGraphic> FPaintPixelGraphic;
    std::unique_ptr<TCreatePaintPGThread> FThread;
    std::uint64_t FGeneration = 0;         // of the newest build
    std::uint64_t FAcceptedGeneration = 0; // results of other builds are stale
    int FDisplayDepth = 0;
    int FPixelGraphicWidth = 0;
    int FPixelGraphicHeight = 0;
    TPGSize FPaintSize;
    bool FRebuildPaint = false;
    bool FLayouting = false;
    Extended FZoomFactor = 1.0L;
    Extended FEffectiveZoomFactor = 1.0L;
    int FPaintStep = 1;
    int FPaintPercent = 0;
    QRect FBox; // the picture in content coordinates
    std::string FFileName;

    TActionMode FActionMode = amMoveImage;
    bool FAllow24BitStretch = false;
    bool FAutoSize = false;
    int FAutoSizeMaxWidth = 2147483647;
    int FAutoSizeMaxHeight = 2147483647;
    int FAutoSizeMinWidth = 0;
    int FAutoSizeMinHeight = 0;
    QSize FAutoSizeHint;
    TColor FBackGroundColor = 0;
    bool FCenter = false;
    bool FDither = true;
    std::uint8_t FDitherErrorLimit = 32;
    bool FDitherErrorLimitAuto = true;
    bool FDitherErrorLimitSoft = true;
    bool FFlipHorizontal = false;
    bool FFlipVertical = false;
    bool FKeepOldPaintPixelGraphic = false;
    TPalette8BitSys24BitGraphic FPalette8BitSys24BitGraphic = pOptimized252Sys16;
    TPalette8BitSys8BitGraphic FPalette8BitSys8BitGraphic = pOptimized252Sys16;
    QColor FPicBoxFrameColor;
    bool FProgress5Clocks = true;
    QColor FProgressClockBkColor;
    QColor FProgressClockLineColor;
    bool FProgressClockVisible = true;
    bool FRGBWeighting = true;
    bool FRearrangeAlways = false;
    bool FReduceOnLoad = false;
    TPGWarningAction FReadWarningAction = pgwaOKCancelBox;
    TPGWarningAction FSaveColorResWarningAction = pgwaOKCancelBox;
    bool FShowHourGlass = true;
    TStretch FStretch = sNeverKAR;
    TStretchMode FStretchMode = smFast;
    TTiling FTiling = tNone;
    bool FUseThread = true;

    bool FSelection = false;
    TPGSelectionRect FSel;
    TColor FSelectionColor1 = clWhite;
    TColor FSelectionColor2 = clRed;
    int FFramePhase = 0;
    TMouseState FMouseState = TMouseState::None;
    int FHandle = -1;
    QPoint FStartPoint; // global, while the image is dragged
    TPoint FGrab;
    TPoint FAnchor;
    QTimer* FAnimationTimer = nullptr;
    QTimer* FAutoScrollTimer = nullptr;
    std::array<QBrush, 8> FFrameBrushes;
    bool FFrameBrushesBuilt = false;
};

} // namespace lumeno
