#pragma once
// A timer that ticks either from a Qt timer on its own thread or from a
// worker thread that sleeps for the interval; the worker keeps ticking while
// the main thread sits in a modal loop.

#include "platform/exception.h"
#include "platform/types.h"

#include <QObject>

#include <memory>

class QTimer;

namespace lumeno {

LUMENO_DECLARE_EXCEPTION(EOutOfResources, Exception);

enum class TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

struct TTimerShared;

class TTimerEx : public QObject, public TObject {
    Q_OBJECT
public:
    explicit TTimerEx(QObject* parent = nullptr);
    ~TTimerEx() override;

    bool Enabled() const { return enabled_; }
    void SetEnabled(bool value);
    unsigned Interval() const { return interval_; }
    void SetInterval(unsigned value);
    bool Threaded() const { return threaded_; }
    void SetThreaded(bool value);
    TThreadPriority ThreadPriority() const { return priority_; }
    void SetThreadPriority(TThreadPriority value);
    // In threaded mode, tick on the worker itself instead of the main
    // thread; the handler must then leave widgets alone.
    bool ThreadSafe() const { return threadSafe_; }
    void SetThreadSafe(bool value);
    const TNotifyEvent& OnTimer() const { return onTimer_; }
    void SetOnTimer(TNotifyEvent value);

protected:
    void customEvent(QEvent* event) override;

private:
    bool Running() const;
    void UpdateTimer();
    void StopMechanisms();
    void SwitchMechanism();
    void StartMechanism();
    void StopWorker();
    void PublishState();

    bool enabled_ = true;
    unsigned interval_ = 1000;
    bool threaded_ = false;
    TThreadPriority priority_ = TThreadPriority::tpNormal;
    bool threadSafe_ = false;
    TNotifyEvent onTimer_;

    QTimer* windowTimer_ = nullptr;
    std::shared_ptr<TTimerShared> worker_; // nil when no worker thread exists
};

} // namespace lumeno
