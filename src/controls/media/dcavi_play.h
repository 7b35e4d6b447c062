#pragma once
// A control that plays the picture of a video clip frame by frame, with its
// sound when the clip has some and a sound device is there, optionally with
// the frames' background colour left out so that the parent shows through.
//
// A timer thread moves the frame on and posts to the control; drawing, the
// end of playing and restarting the sound happen on the GUI thread.

#include "controls/media/audio_play.h"
#include "platform/periodic_timer.h"

#include <QImage>
#include <QWidget>

#include <atomic>
#include <memory>

namespace lumeno {

class TSoundTrack;
class TVideoClip;

// What one tick does to the frame of a span.
enum class TSpanStep { Advance, Rewind, End };

// Moves current on by one tick of the span start..stop. At the stop frame a
// pass ends: with remaining passes counted down to 0 playing ends (current
// stays at the stop frame), otherwise current goes back to start. remaining
// 0 means endless.
TSpanStep NextSpanFrame(int& current, int start, int stop, int& remaining);

// Milliseconds per frame for a stream whose frames last scale / rate
// seconds, rounded to nearest; 0 for a stream that cannot be timed.
int FramePeriod(std::uint32_t scale, std::uint32_t rate);

class TDCAVIPlay : public QWidget {
    Q_OBJECT
public:
    explicit TDCAVIPlay(QWidget* parent = nullptr);
    ~TDCAVIPlay() override;

    bool Active() const { return active_; }
    void SetActive(bool value);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool value);
    bool Center() const { return center_; }
    void SetCenter(bool value);
    const QString& FileName() const { return fileName_; }
    void SetFileName(const QString& value);
    int Repetitions() const { return repetitions_; }
    void SetRepetitions(int value);
    int StartFrame() const { return startFrame_; }
    void SetStartFrame(int value);
    int StopFrame() const { return stopFrame_; }
    void SetStopFrame(int value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    bool Stretch() const { return stretch_; }
    void SetStretch(bool value);
    bool PlaySound() const { return playSound_; }
    void SetPlaySound(bool value);
    QColor Color() const;
    void SetColor(const QColor& value);

    void Open();
    void Close();
    void Stop();
    void Reopen();

    bool IsOpen() const { return open_; }
    int FrameCount() const { return frameCount_; }
    int FrameWidth() const { return frameWidth_; }
    int FrameHeight() const { return frameHeight_; }
    int CurrentFrame() const { return current_; }
    int Period() const { return period_; }
    bool HasSound() const { return audio_.Playing(); }

    // The clip's frame size with AutoSize, so a layout can make room for it.
    QSize sizeHint() const override;

signals:
    void OnOpen();
    void OnClose();
    void OnStart();
    void OnStop();

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void Play(int start, int stop, int repetitions);
    bool Tick(unsigned generation);
    void Post(int kind, unsigned generation);
    void StartAudio(int fromFrame);
    void ApplyAutoSize();
    int ClampFrame(int frame) const;
    QRect FrameRect() const;
    const QImage& KeyedFrame(const QImage& frame);

    QString fileName_;
    bool active_ = false;
    bool autoSize_ = true;
    bool center_ = true;
    bool transparent_ = true;
    bool stretch_ = false;
    bool playSound_ = true;
    int repetitions_ = 0;

    bool open_ = false;
    int frameCount_ = 0;
    int frameWidth_ = 0;
    int frameHeight_ = 0;
    int period_ = 0;
    // Shared with the timer thread.
    std::atomic<int> current_{0};
    std::atomic<int> startFrame_{0};
    std::atomic<int> stopFrame_{0};
    std::atomic<int> remaining_{0};
    std::atomic<bool> busy_{false};
    std::atomic<unsigned> generation_{0};

    std::unique_ptr<TVideoClip> video_;
    std::unique_ptr<TSoundTrack> audioStream_;
    TAudioPlay audio_;
    QImage keyed_;
    qint64 keyedKey_ = -1;
    TPeriodicTimer timer_; // last: stopped before anything it uses goes
};

} // namespace lumeno
