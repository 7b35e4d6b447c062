#pragma once
// The optional keyboard-monitor library. Its two entries take a window id;
// registering returns an event type that the library posts to that window
// (as a TKeyMonitorEvent) whenever a lock key changes.

#include <QEvent>
#include <QLibrary>
#include <QWidget>

namespace lumeno {

constexpr const char* kKeyboardMonitorLibrary = "VOZKbMon";

class TKeyMonitorEvent : public QEvent {
public:
    TKeyMonitorEvent(int type, int virtualKey, int state)
        : QEvent(static_cast<QEvent::Type>(type)), VirtualKey(virtualKey), State(state)
    {
    }
    int VirtualKey; // 0x90 num lock, 0x91 scroll lock, anything else caps lock
    int State;      // bit 0: toggled on
};

class TKeyboardMonitor {
public:
    using TRegister = int (*)(WId window);
    using TDeregister = void (*)(WId window);

    // False when the library or one of its entries is missing.
    bool Load();
    void Unload();
    bool Loaded() const { return register_ != nullptr; }
    int Register(WId window) const { return register_(window); }
    void Deregister(WId window) const { deregister_(window); }

private:
    QLibrary library_{QString::fromLatin1(kKeyboardMonitorLibrary)};
    TRegister register_ = nullptr;
    TDeregister deregister_ = nullptr;
};

} // namespace lumeno
