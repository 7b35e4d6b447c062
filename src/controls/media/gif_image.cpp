#include "controls/media/gif_image.h"

#include "platform/qt/auto_size.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <filesystem>

namespace lumeno {

unsigned GIFFrameInterval(int delay, int speed, std::int64_t elapsed)
{
    const std::int64_t shown = std::int64_t{std::max(delay, 50)} * 100 / std::max(speed, 1);
    return static_cast<unsigned>(std::clamp<std::int64_t>(shown - elapsed, 1, UINT32_MAX));
}

bool GIFNeedsStretch(const TGIFLayout& layout, QSize client, QSize picture)
{
    if (!(layout.Stretch || layout.StretchRatio) || client == picture)
        return false;
    const bool smaller = client.width() < picture.width() || client.height() < picture.height();
    return !layout.StretchBigOnly || smaller;
}

QRect GIFDrawRect(const TGIFLayout& layout, QSize client, QSize picture)
{
    if (picture.isEmpty())
        return {};
    if (!GIFNeedsStretch(layout, client, picture)) {
        if (layout.Tile)
            return QRect(QPoint(0, 0), client);
        if (layout.Center)
            return QRect(
                QPoint((client.width() - picture.width()) / 2, (client.height() - picture.height()) / 2),
                picture);
        return QRect(QPoint(0, 0), picture);
    }
    if (layout.StretchRatio && !layout.Stretch) {
        const double ratio =
            std::min(double(client.width()) / picture.width(), double(client.height()) / picture.height());
        const int width = static_cast<int>(std::lround(picture.width() * ratio));
        const int height = static_cast<int>(std::lround(picture.height() * ratio));
        return QRect((client.width() - width) / 2, (client.height() - height) / 2, width, height);
    }
    return QRect(QPoint(0, 0), client);
}

TGIFImage::TGIFImage(QWidget* parent) : QWidget(parent), color_(palette().color(QPalette::Window))
{
    resize(105, 105);
    setMouseTracking(true);
}

TGIFImage::~TGIFImage()
{
    StopTimer();
}

bool TGIFImage::LoadFromFile(const std::string& FileName)
{
    std::error_code error;
    if (!std::filesystem::is_regular_file(FileName, error)) {
        status_ = gsFileNotFound;
        return false;
    }
    TFileStream stream(FileName, TFileMode::fmOpenRead);
    return LoadFromStream(stream);
}

bool TGIFImage::LoadFromStream(TStream& Stream)
{
    const std::int64_t size = Stream.Remaining();
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(std::max<std::int64_t>(size, 0)));
    Stream.ReadBuffer(bytes.data(), static_cast<std::int64_t>(bytes.size()));
    Parse(std::move(bytes));
    return true;
}

void TGIFImage::Assign(const TGIFImage* Source)
{
    if (!Source || Source->empty_) {
        data_.clear();
        Clear();
        update();
        return;
    }
    Parse(Source->data_);
}

void TGIFImage::AssignTo(QImage& Dest)
{
    const QImage* bitmap = GetBitmap();
    Dest = bitmap ? *bitmap : QImage();
}

const QImage* TGIFImage::GetBitmap()
{
    if (empty_)
        return nullptr;
    if (!bitmap_) {
        const TGIFFrame& first = *frames_.front();
        QImage image = NewGIFImage(first.Width, first.Height);
        for (int y = 0; y < first.Height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(image.scanLine(y));
            for (int x = 0; x < first.Width; ++x)
                row[x] = first.Colors[first.IndexAt(x, y)];
        }
        bitmap_ = std::move(image);
    }
    return &*bitmap_;
}

void TGIFImage::Clear()
{
    StopTimer();
    frames_.clear();
    bitmap_.reset();
    composer_ = TGIFComposer();
    picture_ = QSize();
    anyTransparent_ = false;
    current_ = 1;
    shown_ = 0;
    loopCount_ = 1;
    pass_ = 1;
    firstTick_ = true;
    empty_ = true;
}

void TGIFImage::ReadData(TStream& Stream)
{
    std::uint8_t length[4];
    Stream.ReadBuffer(length, 4);
    const std::int64_t size = length[0] | length[1] << 8 | length[2] << 16 | std::int64_t{length[3]} << 24;
    if (size > Stream.Remaining())
        throw EReadError("Stored GIF data are cut short");
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(size));
    Stream.ReadBuffer(bytes.data(), size);
    Parse(std::move(bytes));
}

void TGIFImage::WriteData(TStream& Stream) const
{
    const auto size = static_cast<std::uint32_t>(data_.size());
    const std::uint8_t length[4] = {std::uint8_t(size), std::uint8_t(size >> 8), std::uint8_t(size >> 16),
                                    std::uint8_t(size >> 24)};
    Stream.WriteBuffer(length, 4);
    Stream.WriteBuffer(data_.data(), static_cast<std::int64_t>(data_.size()));
}

void TGIFImage::Parse(std::vector<std::uint8_t> bytes)
{
    status_ = gsReading;
    Clear();
    data_ = std::move(bytes);
    if (data_.empty()) {
        update();
        return;
    }
    TGIFParser parser;
    try {
        parser.Parse(data_, firstImageOnly_, [this](std::int64_t processed, std::int64_t total) {
            bool keep = true;
            const int percent = static_cast<int>((processed * 100 + total / 2) / total);
            emit OnProgress(this, processed, total, percent, keep);
            return keep;
        });
    } catch (const EGIFAbort&) {
        status_ = gsAborted;
        update();
        throw;
    } catch (...) {
        update();
        throw;
    }
    frames_ = std::move(parser.Frames);
    version_ = parser.Version;
    loopCount_ = parser.LoopCount;
    picture_ = QSize(parser.ScreenWidth, parser.ScreenHeight);
    anyTransparent_ =
        std::any_of(frames_.begin(), frames_.end(), [](const auto& f) { return f->Transparent; });
    try {
        ShowFrame(1);
    } catch (...) {
        Clear();
        update();
        throw;
    }
    empty_ = false;
    if (autoSize_)
        ApplyAutoSize(*this, picture_);
    status_ = gsOk;
    emit OnChange(this);
    update();
    EvaluateTimer();
}

void TGIFImage::ShowFrame(int index)
{
    if (shown_ != 0 && index == shown_ + 1) {
        composer_.Dispose(*frames_[static_cast<std::size_t>(shown_ - 1)]);
    } else {
        // Every pass, and every jump, starts from a cleared screen.
        composer_.Reset(picture_.width(), picture_.height());
        for (int i = 1; i < index; ++i) {
            composer_.Compose(*frames_[static_cast<std::size_t>(i - 1)]);
            composer_.Dispose(*frames_[static_cast<std::size_t>(i - 1)]);
        }
    }
    composer_.Compose(*frames_[static_cast<std::size_t>(index - 1)]);
    shown_ = index;
}

void TGIFImage::SetCurrentFrame(int value)
{
    if (empty_ || value < 1 || value > FrameCount()) {
        status_ = gsFrameOutOfRange;
        return;
    }
    emit OnChanging(this);
    current_ = value;
    ShowFrame(value);
    RepaintNow();
    emit OnChange(this);
}

bool TGIFImage::Animating() const
{
    return animate_ && !empty_ && FrameCount() > 1;
}

void TGIFImage::EvaluateTimer()
{
    if (!Animating() || !(pass_ <= loopCount_ || loop_ || loopCount_ == 0)) {
        StopTimer();
        return;
    }
    RunTimer(current_ > FrameCount() ? 1 : GIFFrameInterval(Frame(current_).Delay, speed_));
}

void TGIFImage::RunTimer(unsigned interval)
{
    if (!timer_) {
        timer_ = new TTimerEx(this);
        timer_->SetEnabled(false);
        timer_->SetThreaded(threaded_);
        timer_->SetThreadPriority(priority_);
        timer_->SetOnTimer([this](TObject*) { Tick(); });
    }
    timer_->SetInterval(interval);
    timer_->SetEnabled(true);
}

void TGIFImage::StopTimer()
{
    if (timer_)
        timer_->SetEnabled(false);
}

void TGIFImage::Tick()
{
    if (!Animating() || !timer_)
        return;
    QElapsedTimer drawing;
    drawing.start();
    if (current_ < 1 || current_ > FrameCount())
        current_ = 1;
    emit OnChanging(this);
    if (!firstTick_) {
        ShowFrame(current_);
        RepaintNow();
    }
    firstTick_ = false;
    timer_->SetInterval(GIFFrameInterval(Frame(current_).Delay, speed_, drawing.elapsed()));
    bool wrapped = false;
    if (++current_ > FrameCount()) {
        if (!loop_ && loopCount_ >= 1) {
            if (++pass_ > loopCount_)
                StopTimer();
        } else {
            current_ = 1;
            wrapped = true;
        }
    }
    emit OnChange(this);
    if (wrapped)
        emit OnWrapAnimation(this);
}

void TGIFImage::RepaintNow()
{
    if (isVisible())
        repaint();
}

void TGIFImage::RestartFromFirst()
{
    current_ = 1;
    ShowFrame(1);
    update();
}

void TGIFImage::SetAnimate(bool value)
{
    if (value == animate_)
        return;
    animate_ = value;
    pass_ = 1;
    if (animate_) {
        firstTick_ = true;
        EvaluateTimer();
        return;
    }
    StopTimer();
    if (!empty_ && shown_ > 1)
        RestartFromFirst();
}

void TGIFImage::SetLoop(bool value)
{
    if (value == loop_)
        return;
    loop_ = value;
    if (loop_ && !empty_ && pass_ > loopCount_ && loopCount_ != 0) {
        pass_ = 1;
        current_ = 1;
    }
    EvaluateTimer();
}

void TGIFImage::SetSpeed(int value)
{
    // A speed of zero or less would divide by zero in the interval.
    speed_ = std::max(value, 1);
}

void TGIFImage::SetAutoSize(bool value)
{
    autoSize_ = value;
    SetAutoSizePolicy(*this, autoSize_, QSizePolicy::Preferred);
    if (InLayout(*this))
        updateGeometry();
    else if (autoSize_ && !empty_)
        resize(picture_);
}

QSize TGIFImage::sizeHint() const
{
    return autoSize_ && !empty_ ? picture_ : QSize(105, 105);
}

void TGIFImage::SetOpaque(bool value)
{
    opaque_ = value;
    update();
}

void TGIFImage::SetCenter(bool value)
{
    layout_.Center = value;
    update();
}

void TGIFImage::SetStretch(bool value)
{
    layout_.Stretch = value;
    update();
}

void TGIFImage::SetStretchRatio(bool value)
{
    layout_.StretchRatio = value;
    update();
}

void TGIFImage::SetStretchBigOnly(bool value)
{
    layout_.StretchBigOnly = value;
    update();
}

void TGIFImage::SetTile(bool value)
{
    layout_.Tile = value;
    update();
}

void TGIFImage::SetThreaded(bool value)
{
    threaded_ = value;
    if (timer_)
        timer_->SetThreaded(value);
}

void TGIFImage::SetThreadPriority(TThreadPriority value)
{
    priority_ = value;
    if (timer_)
        timer_->SetThreadPriority(value);
}

void TGIFImage::SetColor(const QColor& value)
{
    color_ = value;
    update();
}

QRect TGIFImage::DestRect() const
{
    return GIFDrawRect(layout_, size(), picture_);
}

bool TGIFImage::IsTransparentPoint(int X, int Y) const
{
    if (empty_ || !anyTransparent_ || layout_.Tile || GIFNeedsStretch(layout_, size(), picture_))
        return false;
    const QPoint origin = DestRect().topLeft();
    return composer_.IsTransparentAt(X - origin.x(), Y - origin.y());
}

void TGIFImage::paintEvent(QPaintEvent*)
{
    EvaluateTimer();
    QPainter painter(this);
    const QRect target = DestRect();
    const bool covers = !anyTransparent_ && target.contains(rect());
    if (opaque_ && !covers)
        painter.fillRect(rect(), color_);
    if (empty_)
        return;
    const QImage& image = composer_.Image();
    if (GIFNeedsStretch(layout_, size(), picture_)) {
        painter.drawImage(target, image);
    } else if (layout_.Tile) {
        for (int y = 0; y < height(); y += picture_.height())
            for (int x = 0; x < width(); x += picture_.width())
                painter.drawImage(x, y, image);
    } else {
        painter.drawImage(target.topLeft(), image);
    }
}

void TGIFImage::mouseMoveEvent(QMouseEvent* event)
{
    const QPoint point = event->position().toPoint();
    overTransparent_ = IsTransparentPoint(point.x(), point.y());
    QWidget::mouseMoveEvent(event);
}

} // namespace lumeno
