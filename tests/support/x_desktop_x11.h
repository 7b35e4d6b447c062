#pragma once
// A private X server with a window manager (Xvfb at 1600 x 1000 and
// openbox), for the tests that need the real stacking and placement of
// windows, which the offscreen platform does not have.

#include <string>
#include <sys/types.h>
#include <vector>

struct _XDisplay;

namespace lumeno::test {

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

    // The client windows the manager holds, bottom to top
    // (_NET_CLIENT_LIST_STACKING).
    std::vector<unsigned long> Stacking() const;

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
