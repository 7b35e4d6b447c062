#include "support/x_desktop_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

namespace lumeno::test {

namespace {

XDesktop* theDesktop = nullptr;

// Their chatter is not the test's.
void Quiet()
{
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) {
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
}

// Starts the server on a free display and returns its name, "" on failure.
std::string StartServer(pid_t& Pid)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0)
        return {};
    Pid = ::fork();
    if (Pid == 0) {
        ::close(pipeFds[0]);
        Quiet();
        const std::string fd = std::to_string(pipeFds[1]);
        ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1600x1000x24", "-nolisten", "tcp",
                 static_cast<char*>(nullptr));
        ::_exit(127);
    }
    ::close(pipeFds[1]);
    // The number ends with a new line.
    std::string name;
    char c = 0;
    while (Pid > 0) {
        const ssize_t got = ::read(pipeFds[0], &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != 1 || c < '0' || c > '9')
            break;
        name += c;
    }
    ::close(pipeFds[0]);
    return name.empty() ? name : ":" + name;
}

pid_t StartManager(const std::string& Display)
{
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::setenv("DISPLAY", Display.c_str(), 1);
        Quiet();
        ::execlp("openbox", "openbox", "--sm-disable", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

void Stop(pid_t& Pid)
{
    if (Pid <= 0)
        return;
    ::kill(Pid, SIGTERM);
    ::waitpid(Pid, nullptr, 0);
    Pid = -1;
}

} // namespace

XDesktop::XDesktop()
{
    // Servers starting side by side may race for a display: a few tries.
    for (int attempt = 0; attempt < 3 && !display_; ++attempt) {
        Stop(server_);
        name_ = StartServer(server_);
        if (!name_.empty())
            display_ = XOpenDisplay(name_.c_str());
    }
    if (!display_) {
        fault_ = "Xvfb did not start";
        Stop(server_);
        return;
    }
    wm_ = StartManager(name_);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (wm_ > 0 && !ManagerRuns()) {
        if (::waitpid(wm_, nullptr, WNOHANG) == wm_ || std::chrono::steady_clock::now() > deadline) {
            fault_ = "openbox did not start";
            wm_ = ::waitpid(wm_, nullptr, WNOHANG) == 0 ? wm_ : -1;
            Stop(wm_);
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

XDesktop::~XDesktop()
{
    Stop(wm_);
    if (display_)
        XCloseDisplay(display_);
    Stop(server_);
}

bool XDesktop::ManagerRuns() const
{
    const Atom check = XInternAtom(display_, "_NET_SUPPORTING_WM_CHECK", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    const bool found = XGetWindowProperty(display_, DefaultRootWindow(display_), check, 0, 1, False, XA_WINDOW,
                                          &type, &format, &count, &after, &data) == Success &&
                       count == 1;
    if (data)
        XFree(data);
    return found;
}

std::vector<unsigned long> XDesktop::Stacking() const
{
    std::vector<unsigned long> windows;
    if (!display_)
        return windows;
    const Atom stacking = XInternAtom(display_, "_NET_CLIENT_LIST_STACKING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, DefaultRootWindow(display_), stacking, 0, 4096, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const auto* ids = reinterpret_cast<const unsigned long*>(data);
        windows.assign(ids, ids + count);
    }
    if (data)
        XFree(data);
    return windows;
}

XDesktop* TheXDesktop() { return theDesktop; }
void SetTheXDesktop(XDesktop* Desktop) { theDesktop = Desktop; }

} // namespace lumeno::test
