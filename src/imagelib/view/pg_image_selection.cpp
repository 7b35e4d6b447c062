// The view control's mouse modes: dragging the picture and drawing, moving
// and resizing the selection, its animated frame and the cursors.

#include "imagelib/view/pg_cursors.h"
#include "imagelib/view/pg_image.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTimer>

namespace lumeno {

TRect TPGImage::SelectionFrame() const
{
    return Rect(ImageToPicBoxX(FSel.Left), ImageToPicBoxY(FSel.Top), ImageToPicBoxX(FSel.Left + FSel.Width),
                ImageToPicBoxY(FSel.Top + FSel.Height));
}

void TPGImage::SetSelection(bool Value)
{
    if (FSelection == Value)
        return;
    FSelection = Value;
    if (FSelection && !FAnimationTimer) {
        FAnimationTimer = new QTimer(this);
        connect(FAnimationTimer, &QTimer::timeout, this, &TPGImage::AnimationTick);
        FAnimationTimer->start(50);
    } else if (!FSelection) {
        delete FAnimationTimer;
        FAnimationTimer = nullptr;
    }
    FPicBox->update();
    emit OnSelectionChange(this);
}

void TPGImage::SetSelectionColor1(TColor Value)
{
    if (FSelectionColor1 != Value) {
        FSelectionColor1 = Value;
        FFrameBrushesBuilt = false;
        FPicBox->update();
    }
}

void TPGImage::SetSelectionColor2(TColor Value)
{
    if (FSelectionColor2 != Value) {
        FSelectionColor2 = Value;
        FFrameBrushesBuilt = false;
        FPicBox->update();
    }
}

// The four strips of the frame and its handles, in paint-box pixels.
void TPGImage::InvalidateFrame(const TRect& F)
{
    const int m = FrameMargin();
    FPicBox->update(QRect(QPoint(F.Left - m, F.Top - m), QPoint(F.Left - 1, F.Bottom + m - 1)));
    FPicBox->update(QRect(QPoint(F.Left - m, F.Top - m), QPoint(F.Right + m - 1, F.Top - 1)));
    FPicBox->update(QRect(QPoint(F.Right, F.Top - m), QPoint(F.Right + m - 1, F.Bottom + m - 1)));
    FPicBox->update(QRect(QPoint(F.Left - m, F.Bottom), QPoint(F.Right + m - 1, F.Bottom + m - 1)));
}

void TPGImage::SetSelectionRect(const TPGSelectionRect& Value)
{
    if (Value == FSel)
        return;
    if (FSelection)
        InvalidateFrame(SelectionFrame());
    FSel = Value;
    if (FSelection)
        InvalidateFrame(SelectionFrame());
    emit OnSelectionChange(this);
}

void TPGImage::PicBoxPaint(QPainter& Painter)
{
    if (!FSelection)
        return;
    if (!FFrameBrushesBuilt) {
        for (int k = 0; k < 8; ++k)
            FFrameBrushes[static_cast<std::size_t>(k)] =
                QBrush(PGSelectionPattern(FSelectionColor1, FSelectionColor2, k));
        FFrameBrushesBuilt = true;
    }
    const TRect F = SelectionFrame();
    const QBrush& brush =
        FFrameBrushes[static_cast<std::size_t>(((FFramePhase + F.Left + F.Top) % 8 + 8) % 8)];
    const auto frame = [&](const TRect& r) {
        const int w = r.Width(), h = r.Height();
        Painter.fillRect(QRect(r.Left, r.Top, w, 1), brush);
        Painter.fillRect(QRect(r.Left, r.Bottom - 1, w, 1), brush);
        Painter.fillRect(QRect(r.Left, r.Top, 1, h), brush);
        Painter.fillRect(QRect(r.Right - 1, r.Top, 1, h), brush);
    };
    frame(Rect(F.Left - 1, F.Top - 1, F.Right + 1, F.Bottom + 1));
    if (FActionMode == amMoveResizeCreateSelection)
        for (const TRect& r : PGHandleRects(F))
            frame(r);
}

void TPGImage::AnimationTick()
{
    FFramePhase = (FFramePhase + 1) % 8;
    InvalidateFrame(SelectionFrame());
}

// --- mouse ----------------------------------------------------------------------------

void TPGImage::PicBoxMouseDown(QMouseEvent& Event)
{
    if (Event.button() != Qt::LeftButton)
        return;
    const int X = Event.position().toPoint().x(), Y = Event.position().toPoint().y();
    const int ix = PicBoxToImageX(X), iy = PicBoxToImageY(Y);
    const TRect F = SelectionFrame();
    const bool inside = FSelection && X >= F.Left && X < F.Right && Y >= F.Top && Y < F.Bottom;
    const int handle = FActionMode == amMoveResizeCreateSelection && FSelection ? PGHandleAt(F, X, Y) : -1;
    FMouseState = TMouseState::None;
    if ((FActionMode == amMoveResizeCreateSelection || FActionMode == amMoveSelection ||
         FActionMode == amMoveSelectionMoveImage) &&
        inside) {
        FMouseState = TMouseState::MoveSelection;
        FGrab = {ix - FSel.Left, iy - FSel.Top};
    } else if (FActionMode == amMoveImage || FActionMode == amMoveSelectionMoveImage) {
        if (Scrollable()) {
            FMouseState = TMouseState::MoveImage;
            FStartPoint = Event.globalPosition().toPoint();
        }
    } else if (handle >= 0) {
        FMouseState = TMouseState::Resize;
        FHandle = handle;
        FGrab = PGHandleGrab(handle, FSel, ix, iy);
    } else if (FActionMode == amMoveResizeCreateSelection || FActionMode == amCreateSelection) {
        FMouseState = TMouseState::CreateSelection;
        SetSelection(true);
        FAnchor = {ix, iy};
        SetSelectionRect({ix, iy, 1, 1});
    }
    if (FMouseState != TMouseState::None && FMouseState != TMouseState::MoveImage && !FAutoScrollTimer) {
        FAutoScrollTimer = new QTimer(this);
        connect(FAutoScrollTimer, &QTimer::timeout, this, &TPGImage::AutoScrollTick);
        FAutoScrollTimer->start(50);
    }
    UpdateCursor(Event.position().toPoint());
}

void TPGImage::PicBoxMouseMove(QMouseEvent& Event)
{
    const QPoint p = Event.position().toPoint();
    const int ix = PicBoxToImageX(p.x()), iy = PicBoxToImageY(p.y());
    switch (FMouseState) {
    case TMouseState::None:
        break;
    case TMouseState::MoveImage:
        DragImage(Event.globalPosition().toPoint());
        break;
    case TMouseState::MoveSelection:
        SetSelectionRect(PGMoveSelection(FSel, ix, iy, FGrab, FPixelGraphicWidth, FPixelGraphicHeight));
        break;
    case TMouseState::CreateSelection:
        SetSelectionRect(PGCreateSelection(FAnchor, ix, iy));
        break;
    case TMouseState::Resize:
        SetSelectionRect(PGResizeSelection(FSel, FHandle, ix, iy, FGrab));
        break;
    }
    UpdateCursor(p);
}

void TPGImage::DragImage(QPoint GlobalPos)
{
    QScrollBar* bars[2] = {horizontalScrollBar(), verticalScrollBar()};
    const int wanted[2] = {FStartPoint.x() - GlobalPos.x(), FStartPoint.y() - GlobalPos.y()};
    int applied[2] = {0, 0};
    for (int i = 0; i < 2; ++i) {
        const int old = bars[i]->value();
        bars[i]->setValue(old + wanted[i]);
        applied[i] = bars[i]->value() - old;
    }
    FStartPoint -= QPoint(applied[0], applied[1]);
}

void TPGImage::PicBoxMouseUp(QMouseEvent& Event)
{
    const bool selecting = FMouseState == TMouseState::MoveSelection ||
                           FMouseState == TMouseState::CreateSelection || FMouseState == TMouseState::Resize;
    FMouseState = TMouseState::None;
    delete FAutoScrollTimer;
    FAutoScrollTimer = nullptr;
    if (selecting) {
        SetSelection(true);
        emit OnSelectionMade(this);
    }
    UpdateCursor(Event.position().toPoint());
}

void TPGImage::AutoScrollTick()
{
    const QPoint p = viewport()->mapFromGlobal(QCursor::pos());
    QScrollBar* h = horizontalScrollBar();
    QScrollBar* v = verticalScrollBar();
    if (p.x() < 0 && h->value() > 0)
        h->setValue(h->value() - 5);
    if (p.y() < 0 && v->value() > 0)
        v->setValue(v->value() - 5);
    if (p.x() >= viewport()->width() && h->value() < h->maximum())
        h->setValue(h->value() + 5);
    if (p.y() >= viewport()->height() && v->value() < v->maximum())
        v->setValue(v->value() + 5);
}

// --- cursors --------------------------------------------------------------------------

QCursor TPGImage::PicBoxCursorAt(QPoint BoxPos) const
{
    const TRect F = SelectionFrame();
    const int X = BoxPos.x(), Y = BoxPos.y();
    const bool inside = FSelection && X >= F.Left && X < F.Right && Y >= F.Top && Y < F.Bottom;
    QCursor result = cursor(); // the control's own
    if ((FActionMode == amMoveImage || FActionMode == amMoveSelectionMoveImage) && Scrollable())
        result = PGCursor(FMouseState == TMouseState::MoveImage ? crPGHandClosed : crPGHandOpen);
    if (FActionMode == amMoveResizeCreateSelection || FActionMode == amCreateSelection)
        result = PGCursor(crPGCross);
    if ((FActionMode == amMoveResizeCreateSelection || FActionMode == amMoveSelection ||
         FActionMode == amMoveSelectionMoveImage) &&
        inside)
        result = PGCursor(crPGMove);
    if (FActionMode == amMoveResizeCreateSelection && FSelection) {
        static const Qt::CursorShape HandleShapes[PGHandleCount] = {
            Qt::SizeFDiagCursor, Qt::SizeVerCursor,   Qt::SizeBDiagCursor, Qt::SizeHorCursor,
            Qt::SizeHorCursor,   Qt::SizeBDiagCursor, Qt::SizeVerCursor,   Qt::SizeFDiagCursor};
        const int handle = PGHandleAt(F, X, Y);
        if (handle >= 0)
            result = QCursor(HandleShapes[handle]);
    }
    return result;
}

void TPGImage::UpdateCursor(QPoint BoxPos)
{
    if (QApplication::overrideCursor())
        return; // a busy or drag cursor of the program wins
    QCursor cursor = PicBoxCursorAt(BoxPos);
    emit PicBoxOnSetCursor(FPicBox, cursor);
    FPicBox->setCursor(cursor);
}

void TPGImage::mouseMoveEvent(QMouseEvent* Event)
{
    // Over the client area outside the picture.
    if (Event->buttons() == Qt::NoButton && !QApplication::overrideCursor()) {
        QCursor result = cursor();
        emit OnSetCursor(this, result);
        viewport()->setCursor(result);
    }
    QAbstractScrollArea::mouseMoveEvent(Event);
}

} // namespace lumeno
