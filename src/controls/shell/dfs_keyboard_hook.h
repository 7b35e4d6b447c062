#pragma once
// The one keyboard hook of all status bars: an application event filter,
// installed while any lock-key panel is registered, that repaints the lock
// panels of the key pressed. Also counts the bars' timer registrations so an
// imbalance shows at program end.

#include <memory>
#include <vector>

class QObject;

namespace lumeno {

class TdfsStatusPanel;

class TdfsKeyboardHook {
public:
    static TdfsKeyboardHook& Instance();
    ~TdfsKeyboardHook();

    void Register(TdfsStatusPanel* panel);
    void Unregister(TdfsStatusPanel* panel);
    bool Installed() const { return filter_ != nullptr; }
    // The next key event repaints every lock panel.
    void SetRepaintAll() { repaintAll_ = true; }

    void TimerRegistered() { ++timerRegistrations_; }
    void TimerUnregistered() { --timerRegistrations_; }
    int TimerRegistrations() const { return timerRegistrations_; }

    // Called by the filter for every key press.
    void KeyPressed(int qtKey, bool autoRepeat);

private:
    TdfsKeyboardHook() = default;
    void RepaintAll();

    std::vector<TdfsStatusPanel*> panels_;
    std::unique_ptr<QObject> filter_;
    bool repaintAll_ = false;
    int timerRegistrations_ = 0;
};

// A bad balance is a programming error: checked in debug builds, and a
// warning otherwise, since throwing from a destructor would end the program.
void ReportImbalance(const char* message);

} // namespace lumeno
