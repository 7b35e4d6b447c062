#pragma once
// A control that shows a GIF file and plays its animation.

#include "controls/media/gif_composer.h"
#include "controls/media/gif_parser.h"
#include "controls/media/timer_ex.h"
#include "platform/stream.h"

#include <QColor>
#include <QWidget>

#include <optional>

namespace lumeno {

// Status values of TGIFImage.
constexpr int gsOk = 0;
constexpr int gsAborted = 1;
constexpr int gsReading = 3;
constexpr int gsFrameOutOfRange = 5;
constexpr int gsFileNotFound = 7;

// How long frame delay (ms) stays on screen at speed (percent): short
// delays are shown for 50 ms, and no interval is below 1 ms.
unsigned GIFFrameInterval(int delay, int speed, std::int64_t elapsed = 0);

struct TGIFLayout {
    bool Center = false;
    bool Stretch = false;
    bool StretchRatio = false;
    bool StretchBigOnly = false;
    bool Tile = false;
};

bool GIFNeedsStretch(const TGIFLayout& layout, QSize client, QSize picture);
// Where the picture goes in the client area (the whole area when tiled).
QRect GIFDrawRect(const TGIFLayout& layout, QSize client, QSize picture);

class TGIFImage : public QWidget, public TObject {
    Q_OBJECT
public:
    explicit TGIFImage(QWidget* parent = nullptr);
    ~TGIFImage() override;

    // False (status gsFileNotFound) when the file does not exist; raises
    // EGIFImage when it is no readable GIF file.
    bool LoadFromFile(const std::string& FileName);
    bool LoadFromStream(TStream& Stream);
    // Copies the other control's file; a missing or empty one clears this.
    void Assign(const TGIFImage* Source);
    void AssignTo(QImage& Dest);
    // The first frame as stored in the file; nil while empty.
    const QImage* GetBitmap();
    void Clear();

    // The file bytes as kept with a window: 4-byte length, then the bytes.
    void ReadData(TStream& Stream);
    void WriteData(TStream& Stream) const;

    bool Animate() const { return animate_; }
    void SetAnimate(bool value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    int CurrentFrame() const { return current_; }
    void SetCurrentFrame(int value);
    bool DoubleBuffered() const { return doubleBuffered_; }
    void SetDoubleBuffered(bool value) { doubleBuffered_ = value; }
    bool FirstImageOnly() const { return firstImageOnly_; }
    void SetFirstImageOnly(bool value) { firstImageOnly_ = value; }
    bool Loop() const { return loop_; }
    void SetLoop(bool value);
    bool Opaque() const { return opaque_; }
    void SetOpaque(bool value);
    int Speed() const { return speed_; }
    void SetSpeed(int value);
    const TGIFLayout& Layout() const { return layout_; }
    void SetCenter(bool value);
    void SetStretch(bool value);
    void SetStretchRatio(bool value);
    void SetStretchBigOnly(bool value);
    void SetTile(bool value);
    bool Threaded() const { return threaded_; }
    void SetThreaded(bool value);
    TThreadPriority ThreadPriority() const { return priority_; }
    void SetThreadPriority(TThreadPriority value);
    QColor Color() const { return color_; }
    void SetColor(const QColor& value);
    TGIFVersion Version() const { return version_; }

    bool Empty() const { return empty_; }
    int Status() const { return status_; }
    int FrameCount() const { return static_cast<int>(frames_.size()); }
    const TGIFFrame& Frame(int index) const { return *frames_.at(static_cast<std::size_t>(index - 1)); }
    int LoopCount() const { return loopCount_; }
    QSize PictureSize() const { return picture_; }
    // The picture's size with AutoSize, so a layout can make room for it.
    QSize sizeHint() const override;
    // The picture currently shown, transparent where no frame covers it.
    const QImage& Composition() const { return composer_.Image(); }
    const TTimerEx* AnimationTimer() const { return timer_; }
    // True when the point lies over a transparent part of the picture (only
    // decided for a picture that is drawn unscaled and untiled).
    bool IsTransparentPoint(int X, int Y) const;
    bool MouseOverTransparent() const { return overTransparent_; }

signals:
    void OnChanging(lumeno::TObject* Sender);
    void OnChange(lumeno::TObject* Sender);
    void OnProgress(lumeno::TObject* Sender, qint64 BytesProcessed, qint64 BytesToProcess,
                    int PercentageProcessed, bool& KeepOnProcessing);
    void OnWrapAnimation(lumeno::TObject* Sender);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void Parse(std::vector<std::uint8_t> bytes);
    bool Animating() const;
    void EvaluateTimer();
    void RunTimer(unsigned interval);
    void StopTimer();
    void Tick();
    void ShowFrame(int index);
    void RepaintNow();
    void RestartFromFirst();
    QRect DestRect() const;

    std::vector<std::uint8_t> data_;
    std::vector<std::unique_ptr<TGIFFrame>> frames_;
    TGIFComposer composer_;
    std::optional<QImage> bitmap_;
    TTimerEx* timer_ = nullptr;

    TGIFVersion version_ = TGIFVersion::gvGIF87a;
    QSize picture_;
    bool anyTransparent_ = false;
    int current_ = 1;
    int shown_ = 0; // the frame last composed, whose disposal is pending
    int loopCount_ = 1;
    int pass_ = 1;
    bool firstTick_ = true;
    bool empty_ = true;
    int status_ = gsOk;
    bool overTransparent_ = false;

    bool animate_ = false;
    bool autoSize_ = false;
    bool doubleBuffered_ = true; // Qt's backing store always double-buffers
    bool firstImageOnly_ = false;
    bool loop_ = false;
    bool opaque_ = false;
    int speed_ = 100;
    TGIFLayout layout_;
    bool threaded_ = false;
    TThreadPriority priority_ = TThreadPriority::tpNormal;
    QColor color_;
};

} // namespace lumeno
