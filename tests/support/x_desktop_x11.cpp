#include "support/x_desktop_x11.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>

extern char** environ;

namespace lumeno::test {

namespace {

XDesktop* theDesktop = nullptr;

// Their chatter is not the caller's.
void Quiet()
{
    const int null = ::open("/dev/null", O_WRONLY);
    if (null >= 0) {
        ::dup2(null, STDOUT_FILENO);
        ::dup2(null, STDERR_FILENO);
    }
}

void Unset(std::vector<std::string>& Env, const std::string& Name)
{
    std::erase_if(Env, [&](const std::string& pair) { return pair.rfind(Name + "=", 0) == 0; });
}

void Put(std::vector<std::string>& Env, const std::string& Pair)
{
    Unset(Env, Pair.substr(0, Pair.find('=')));
    Env.push_back(Pair);
}

// Made before the fork: a child of a process with threads may not allocate.
std::vector<std::string> ChildEnvironment(const ChildProgram& Program)
{
    std::vector<std::string> env;
    for (char** pair = environ; *pair; ++pair)
        env.emplace_back(*pair);
    // Isolated, or with no bus at all when its own could not start.
    Unset(env, "DBUS_SESSION_BUS_ADDRESS");
    if (!Program.Display.empty()) {
        Unset(env, "QT_QPA_PLATFORM");
        Put(env, "DISPLAY=" + Program.Display);
    }
    for (const std::string& pair : Program.Env)
        Put(env, pair);
    return env;
}

std::vector<char*> Pointers(const std::vector<std::string>& Strings)
{
    std::vector<char*> pointers;
    for (const std::string& s : Strings)
        pointers.push_back(const_cast<char*>(s.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

std::string ReadLine(int Fd)
{
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t got = ::read(Fd, &c, 1);
        if (got < 0 && errno == EINTR)
            continue;
        if (got != 1 || c == '\n')
            return line;
        line += c;
    }
}

} // namespace

pid_t Spawn(const ChildProgram& Program)
{
    const std::vector<std::string> env = ChildEnvironment(Program);
    const std::vector<char*> args = Pointers(Program.Argv);
    const std::vector<char*> envp = Pointers(env);
    const pid_t parent = ::getpid();
    const pid_t pid = ::fork();
    if (pid != 0)
        return pid;
    // The parent may have died before the signal was asked for.
    if (::prctl(PR_SET_PDEATHSIG, SIGTERM) != 0 || ::getppid() != parent)
        ::_exit(126);
    if (!Program.Folder.empty() && ::chdir(Program.Folder.c_str()) != 0)
        ::_exit(126);
    if (Program.Quiet)
        Quiet();
    ::execvpe(args[0], args.data(), envp.data());
    ::_exit(127);
}

std::string SpawnAndReadLine(ChildProgram Program, std::size_t FdArgument, pid_t& Pid)
{
    int pipeFds[2];
    if (::pipe(pipeFds) != 0) {
        Pid = -1;
        return {};
    }
    // Only the end it writes to reaches the program.
    ::fcntl(pipeFds[0], F_SETFD, FD_CLOEXEC);
    Program.Argv[FdArgument] += std::to_string(pipeFds[1]);
    Pid = Spawn(Program);
    ::close(pipeFds[1]);
    const std::string line = Pid > 0 ? ReadLine(pipeFds[0]) : std::string();
    ::close(pipeFds[0]);
    return line;
}

void Stop(pid_t& Pid)
{
    if (Pid <= 0)
        return;
    ::kill(Pid, SIGTERM);
    ::waitpid(Pid, nullptr, 0);
    Pid = -1;
}

XDesktop::XDesktop()
{
    // Servers starting side by side may race for a display: a few tries.
    for (int attempt = 0; attempt < 3 && !display_; ++attempt) {
        Stop(server_);
        const std::string number = SpawnAndReadLine(
            {.Argv = {"Xvfb", "-displayfd", "", "-screen", "0", "1600x1000x24", "-nolisten", "tcp"},
             .Quiet = true},
            2, server_);
        name_ = number.empty() ? "" : ":" + number;
        if (!name_.empty())
            display_ = XOpenDisplay(name_.c_str());
    }
    if (!display_) {
        fault_ = "Xvfb did not start";
        Stop(server_);
        return;
    }
    wm_ = Spawn({.Argv = {"openbox", "--sm-disable"}, .Display = name_, .Quiet = true});
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
    return !RootWindows("_NET_SUPPORTING_WM_CHECK").empty();
}

std::vector<unsigned long> XDesktop::RootWindows(const char* Property) const
{
    std::vector<unsigned long> windows;
    if (!display_)
        return windows;
    const Atom property = XInternAtom(display_, Property, False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display_, DefaultRootWindow(display_), property, 0, 4096, False, XA_WINDOW, &type,
                           &format, &count, &after, &data) == Success &&
        data && format == 32) {
        const auto* ids = reinterpret_cast<const unsigned long*>(data);
        windows.assign(ids, ids + count);
    }
    if (data)
        XFree(data);
    return windows;
}

XDesktop* TheXDesktop()
{
    return theDesktop;
}
void SetTheXDesktop(XDesktop* Desktop)
{
    theDesktop = Desktop;
}

} // namespace lumeno::test
