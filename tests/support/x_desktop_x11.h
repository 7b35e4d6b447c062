#pragma once
// A private X server with a window manager (Xvfb at 1600 x 1000 and
// openbox), for the tests that need the real stacking and placement of
// windows, which the offscreen platform does not have, and for the
// benchmark that times programs on a screen. Xlib only: no test framework.

#include <string>
#include <sys/types.h>
#include <vector>

struct _XDisplay;

namespace lumeno::test {

// A program started as a child of this process.
struct ChildProgram {
    std::vector<std::string> Argv{};
    std::string Display{};          // the X server it shows itself on; "" for none
    std::vector<std::string> Env{}; // "NAME=value", over what it inherits
    std::string Folder{};           // its working folder; "" for ours
    bool Quiet = false;             // its output goes nowhere
};

// The child ends when this process does, however it ends (a crash, a
// timeout's kill, Ctrl-C), and finds no session bus but one in Env. Call it from the thread that lives
// longest: the child also ends with the thread that started it.
pid_t Spawn(const ChildProgram& Program);

// Spawns Program with the number of a pipe appended to its argument at
// FdArgument, for the program to write one line to (as Xvfb's -displayfd and
// dbus-daemon's --print-address= do); returns that line, "" when none came.
std::string SpawnAndReadLine(ChildProgram Program, std::size_t FdArgument, pid_t& Pid);

// Ends the child and waits for it; Pid becomes -1.
void Stop(pid_t& Pid);

class XDesktop {
public:
    // Starts the server and the window manager and waits until the manager
    // runs; Ok() is false when either program is missing or fails.
    XDesktop();
    ~XDesktop();
    XDesktop(const XDesktop&) = delete;
    XDesktop& operator=(const XDesktop&) = delete;

    bool Ok() const { return display_ != nullptr && wm_ > 0; }
    // Why it is not: "" when it is.
    const std::string& Fault() const { return fault_; }
    // ":N", for DISPLAY.
    const std::string& Name() const { return name_; }
    // The connection the desktop watches through, open while it lives.
    _XDisplay* Connection() const { return display_; }

    // The windows the manager names in a property of the root window
    // (_NET_CLIENT_LIST_STACKING bottom to top, _NET_ACTIVE_WINDOW, ...).
    std::vector<unsigned long> RootWindows(const char* Property) const;
    // The client windows the manager holds, bottom to top.
    std::vector<unsigned long> Stacking() const { return RootWindows("_NET_CLIENT_LIST_STACKING"); }

private:
    bool ManagerRuns() const;

    pid_t server_ = -1;
    pid_t wm_ = -1;
    std::string name_;
    std::string fault_;
    _XDisplay* display_ = nullptr;
};

// The desktop the test main started; nullptr when there is none.
XDesktop* TheXDesktop();
void SetTheXDesktop(XDesktop* Desktop);

} // namespace lumeno::test
