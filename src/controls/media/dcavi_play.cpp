#include "controls/media/dcavi_play.h"

#include "platform/qt/auto_size.h"
#include "platform/qt/media/media_library.h"
#include "platform/tsan_handover.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <climits>

namespace lumeno {
namespace {

enum TPostKind { pkDraw, pkRewind, pkEnd };

QEvent::Type PlayerEventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

// Posted by the timer thread. The generation tells a rewind or an end that
// belongs to an earlier playing from one of the current playing.
struct TPlayerEvent : QEvent {
    TPlayerEvent(int kind, unsigned generation)
        : QEvent(PlayerEventType()), Kind(kind), Generation(generation)
    {
    }
    // Also when Qt frees it undelivered.
    ~TPlayerEvent() override { TsanTakeOver(this); }
    int Kind;
    unsigned Generation;
};

} // namespace

TSpanStep NextSpanFrame(int& current, int start, int stop, int& remaining)
{
    if (current < stop) {
        ++current;
        return TSpanStep::Advance;
    }
    if (remaining > 0 && --remaining == 0) {
        current = stop;
        return TSpanStep::End;
    }
    current = start;
    return TSpanStep::Rewind;
}

int FramePeriod(std::uint32_t scale, std::uint32_t rate)
{
    if (scale == 0 || rate == 0)
        return 0;
    const std::int64_t period = (std::int64_t(scale) * 2000 + rate) / (std::int64_t(rate) * 2);
    return static_cast<int>(std::clamp<std::int64_t>(period, 1, INT_MAX));
}

TDCAVIPlay::TDCAVIPlay(QWidget* parent) : QWidget(parent)
{
    resize(100, 50);
    SetAutoSizePolicy(*this, autoSize_, QSizePolicy::Preferred);
}

TDCAVIPlay::~TDCAVIPlay()
{
    // Whoever listens may be half destroyed by now (a parent deletes its
    // children from its own destructor).
    blockSignals(true);
    Stop();
    Close();
}

void TDCAVIPlay::SetActive(bool value)
{
    if (value == active_)
        return;
    if (value)
        Play(startFrame_, stopFrame_, repetitions_);
    else
        Stop();
}

void TDCAVIPlay::SetAutoSize(bool value)
{
    autoSize_ = value;
    SetAutoSizePolicy(*this, autoSize_, QSizePolicy::Preferred);
    ApplyAutoSize();
}

void TDCAVIPlay::SetCenter(bool value)
{
    center_ = value;
    update();
}

void TDCAVIPlay::SetFileName(const QString& value)
{
    const bool wasActive = active_;
    fileName_ = value;
    Close();
    Open();
    if (wasActive && open_)
        Play(startFrame_, stopFrame_, repetitions_);
    update();
}

void TDCAVIPlay::SetRepetitions(int value)
{
    repetitions_ = value;
}

void TDCAVIPlay::SetStartFrame(int value)
{
    startFrame_ = open_ ? ClampFrame(value) : value;
}

void TDCAVIPlay::SetStopFrame(int value)
{
    stopFrame_ = open_ ? ClampFrame(value) : value;
}

void TDCAVIPlay::SetTransparent(bool value)
{
    transparent_ = value;
    update();
}

void TDCAVIPlay::SetStretch(bool value)
{
    stretch_ = value;
    update();
}

void TDCAVIPlay::SetPlaySound(bool value)
{
    playSound_ = value;
    if (!active_)
        return;
    if (value)
        StartAudio(current_);
    else
        audio_.Stop();
}

QColor TDCAVIPlay::Color() const
{
    return palette().color(QPalette::Window);
}

void TDCAVIPlay::SetColor(const QColor& value)
{
    QPalette p = palette();
    p.setColor(QPalette::Window, value);
    setPalette(p);
    update();
}

// A clip that cannot be opened, or no media module to open it with, leaves
// the control closed, without a word.
void TDCAVIPlay::Open()
{
    if (fileName_.isEmpty())
        return;
    Close();
    TMediaLibrary* media = MediaLibrary();
    if (!media)
        return;
    const std::string path = fileName_.toStdString();
    std::unique_ptr<TVideoClip> video;
    try {
        video = media->OpenVideo(path);
    } catch (const std::exception&) {
        return;
    }
    std::unique_ptr<TSoundTrack> sound;
    if (video->HasAudio()) {
        try {
            sound = media->OpenSound(path);
        } catch (const std::exception&) {
            // the picture plays without it
        }
    }
    const TVideoStreamInfo& info = video->Info();
    video_ = std::move(video);
    audioStream_ = std::move(sound);
    frameCount_ = static_cast<int>(std::min<std::int64_t>(info.Length, INT_MAX));
    frameWidth_ = info.Width;
    frameHeight_ = info.Height;
    startFrame_ = ClampFrame(static_cast<int>(std::min<std::int64_t>(info.Start, INT_MAX)));
    stopFrame_ = frameCount_ - 1;
    current_ = startFrame_.load();
    open_ = true;
    ApplyAutoSize();
    update();
    emit OnOpen();
}

void TDCAVIPlay::Close()
{
    if (!open_)
        return;
    Stop();
    audio_.Stop();
    audioStream_.reset();
    video_.reset();
    open_ = false;
    frameCount_ = 0;
    keyed_ = QImage();
    keyedKey_ = -1;
    update();
    emit OnClose();
}

void TDCAVIPlay::Stop()
{
    timer_.Stop();
    if (!active_)
        return;
    audio_.Stop();
    active_ = false;
    ++generation_;
    emit OnStop();
    update();
}

void TDCAVIPlay::Reopen()
{
    Close();
    Open();
}

void TDCAVIPlay::Play(int start, int stop, int repetitions)
{
    Stop();
    if (!open_)
        return;
    const int period = FramePeriod(video_->Info().Scale, video_->Info().Rate);
    if (period == 0)
        return; // a stream without a frame rate cannot be timed
    start = ClampFrame(start);
    current_ = start;
    startFrame_ = start;
    stopFrame_ = ClampFrame(stop);
    remaining_ = repetitions;
    period_ = period;
    emit OnStart();
    if (!open_)
        return; // a handler closed the clip
    active_ = true;
    StartAudio(start);
    busy_ = false;
    const unsigned generation = ++generation_;
    timer_.Start(std::chrono::milliseconds(period), [this, generation] { return Tick(generation); });
    update();
}

// Runs on the timer thread: only moves the frame on and posts.
bool TDCAVIPlay::Tick(unsigned generation)
{
    int current = current_;
    int remaining = remaining_;
    const TSpanStep step = NextSpanFrame(current, startFrame_, stopFrame_, remaining);
    current_ = current;
    remaining_ = remaining;
    if (step == TSpanStep::End) {
        Post(pkEnd, generation);
        return false;
    }
    if (step == TSpanStep::Rewind)
        Post(pkRewind, generation);
    // While a frame is being drawn, later ones are skipped rather than queued.
    if (!busy_.exchange(true))
        Post(pkDraw, generation);
    return true;
}

void TDCAVIPlay::Post(int kind, unsigned generation)
{
    // Safe from the timer thread: the control stops the timer before it goes,
    // and Qt drops events still queued for a deleted object.
    auto* event = new TPlayerEvent(kind, generation);
    TsanHandOver(event);
    QCoreApplication::postEvent(this, event);
}

bool TDCAVIPlay::event(QEvent* e)
{
    TsanTakeOver(e); // may come from the timer thread
    if (e->type() != PlayerEventType())
        return QWidget::event(e);
    const auto* pe = static_cast<TPlayerEvent*>(e);
    const bool current = pe->Generation == generation_ && active_;
    switch (pe->Kind) {
    case pkDraw:
        if (isVisible())
            repaint();
        busy_ = false;
        break;
    case pkRewind:
        if (current)
            StartAudio(startFrame_);
        break;
    case pkEnd:
        if (current)
            Stop();
        break;
    }
    return true;
}

void TDCAVIPlay::StartAudio(int fromFrame)
{
    audio_.Stop();
    if (!audioStream_ || !playSound_ || !video_)
        return;
    // The stop frame is shown for a whole period, so its sound is played too.
    const std::int64_t first = audioStream_->TimeToSample(video_->FrameToTime(fromFrame));
    const std::int64_t end = audioStream_->TimeToSample(video_->FrameToTime(std::int64_t(stopFrame_) + 1));
    audio_.Play(audioStream_.get(), end, first);
}

QSize TDCAVIPlay::sizeHint() const
{
    return autoSize_ && open_ ? QSize(frameWidth_, frameHeight_) : QSize(100, 50);
}

void TDCAVIPlay::ApplyAutoSize()
{
    if (InLayout(*this))
        updateGeometry();
    else if (autoSize_ && open_ && size() != QSize(frameWidth_, frameHeight_))
        resize(frameWidth_, frameHeight_);
}

int TDCAVIPlay::ClampFrame(int frame) const
{
    return std::clamp(frame, 0, std::max(frameCount_ - 1, 0));
}

QRect TDCAVIPlay::FrameRect() const
{
    if (stretch_)
        return rect();
    const QSize frame = open_ ? QSize(frameWidth_, frameHeight_) : size();
    if (!center_)
        return QRect(QPoint(0, 0), frame);
    return QRect(QPoint((width() - frame.width()) / 2, (height() - frame.height()) / 2), frame);
}

// The frame with every pixel of its bottom-left pixel's colour see-through.
const QImage& TDCAVIPlay::KeyedFrame(const QImage& frame)
{
    if (frame.cacheKey() == keyedKey_)
        return keyed_;
    QImage keyed = frame.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = frame.pixel(0, frame.height() - 1) & RGB_MASK;
    for (int y = 0; y < keyed.height(); ++y) {
        auto* row = reinterpret_cast<QRgb*>(keyed.scanLine(y));
        for (QRgb *p = row, *end = row + keyed.width(); p != end; ++p)
            if ((*p & RGB_MASK) == key)
                *p = 0;
    }
    keyed_ = keyed;
    keyedKey_ = frame.cacheKey();
    return keyed_;
}

void TDCAVIPlay::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QImage frame = open_ ? video_->GetFrame(current_) : QImage();
    const QRect target = FrameRect();
    if (transparent_) {
        if (!frame.isNull())
            painter.drawImage(target, KeyedFrame(frame));
        return;
    }
    if (frame.isNull()) {
        painter.fillRect(rect(), Color());
        return;
    }
    for (const QRect& band : QRegion(rect()).subtracted(target))
        painter.fillRect(band, Color());
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, frame);
}

void TDCAVIPlay::resizeEvent(QResizeEvent* e)
{
    QWidget::resizeEvent(e);
    // A layout's decision stands; a free control snaps back to its clip.
    if (!InLayout(*this))
        ApplyAutoSize();
    if (!active_)
        update();
}

} // namespace lumeno
