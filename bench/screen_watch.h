#pragma once
// Whole-process timing of a viewer as a user waits for it: a private X server
// with a window manager, a program spawned on it with a home and a session
// bus of its own, and the time until a photo is on the screen, found by
// reading the screen through shared memory and looking for the photo's key
// colour. Keys are typed through XTEST, as from a keyboard.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include <signal.h>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace lumeno::bench {

using TClock = std::chrono::steady_clock;

// A colour no photo-like picture of the benchmarks holds: their green stays
// under 230, so every key is full green.
struct TKey {
    unsigned Red, Green, Blue;
};
constexpr TKey PhotoKeys[] = {{0, 255, 0}, {255, 255, 0}, {0, 255, 255}, {150, 255, 0}, {0, 255, 150}};

inline double MsSince(TClock::time_point Start)
{
    return std::chrono::duration<double, std::milli>(TClock::now() - Start).count();
}

inline pid_t Spawn(const std::vector<std::string>& Argv, const std::string& Display,
                   const std::vector<std::string>& Env = {}, const std::string& Folder = "")
{
    const pid_t child = ::fork();
    if (child != 0)
        return child;
    ::unsetenv("QT_QPA_PLATFORM");
    ::setenv("DISPLAY", Display.c_str(), 1);
    for (const std::string& pair : Env)
        ::putenv(::strdup(pair.c_str()));
    if (!Folder.empty() && ::chdir(Folder.c_str()) != 0)
        ::_exit(126);
    std::vector<char*> args;
    for (const std::string& arg : Argv)
        args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    ::execvp(args[0], args.data());
    ::_exit(127);
}

inline void Stop(pid_t Pid)
{
    if (Pid <= 0)
        return;
    ::kill(Pid, SIGTERM);
    ::waitpid(Pid, nullptr, 0);
}

// Xvfb on a free display with openbox on it, for the life of the object.
class TXServer {
public:
    TXServer(int Width = 1600, int Height = 1000)
    {
        // A server started at the same moment elsewhere can take the display
        // this one chose.
        for (int attempt = 0; attempt < 3 && !display_; ++attempt)
            StartServer(Width, Height);
        if (!display_)
            return;
        windowManager_ = Spawn({"openbox", "--sm-disable"}, name_);
        const auto start = TClock::now();
        while (!HasWindowManager() && MsSince(start) < 10000)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        AttachScreen();
    }
    ~TXServer()
    {
        if (image_) {
            XShmDetach(display_, &shm_);
            XDestroyImage(image_);
            ::shmdt(shm_.shmaddr);
        }
        if (display_)
            XCloseDisplay(display_);
        Stop(windowManager_);
        Stop(server_);
    }
    TXServer(const TXServer&) = delete;
    TXServer& operator=(const TXServer&) = delete;

    bool Ok() const { return image_ != nullptr && HasWindowManager(); }
    const std::string& Name() const { return name_; }
    int Width() const { return image_ ? image_->width : 0; }
    int Height() const { return image_ ? image_->height : 0; }

    // Screen pixels near the key colour, every fourth pixel of every fourth row.
    int KeyPixels(const TKey& Key) const
    {
        if (!XShmGetImage(display_, DefaultRootWindow(display_), image_, 0, 0, AllPlanes))
            return 0;
        const auto near = [](unsigned value, unsigned key) { return (value > key ? value - key : key - value) <= 40; };
        int count = 0;
        for (int y = 0; y < image_->height; y += 4) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(image_->data + std::ptrdiff_t(y) * image_->bytes_per_line);
            for (int x = 0; x < image_->width; x += 4) {
                const std::uint32_t p = row[x];
                if (near((p >> 16) & 0xFF, Key.Red) && near((p >> 8) & 0xFF, Key.Green) && near(p & 0xFF, Key.Blue))
                    ++count;
            }
        }
        return count;
    }

    // A key pressed and released on the keyboard, to the focused window.
    void Type(unsigned long KeySym) const
    {
        const KeyCode code = XKeysymToKeycode(display_, KeySym);
        XTestFakeKeyEvent(display_, code, True, CurrentTime);
        XTestFakeKeyEvent(display_, code, False, CurrentTime);
        XFlush(display_);
    }

    // A left click at (X, Y) of the active window's client area: where the
    // window manager placed the window does not matter.
    bool ClickInActiveWindow(int X, int Y) const
    {
        const Window window = RootWindowProperty("_NET_ACTIVE_WINDOW");
        if (!window)
            return false;
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), X, Y, &rootX, &rootY, &child);
        XTestFakeMotionEvent(display_, DefaultScreen(display_), rootX, rootY, CurrentTime);
        XTestFakeButtonEvent(display_, 1, True, CurrentTime);
        XTestFakeButtonEvent(display_, 1, False, CurrentTime);
        XFlush(display_);
        return true;
    }

private:
    // A window the window manager names in a property of the root; 0 for none.
    Window RootWindowProperty(const char* Name) const
    {
        const Atom property = XInternAtom(display_, Name, False);
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        Window window = 0;
        if (XGetWindowProperty(display_, DefaultRootWindow(display_), property, 0, 1, False, XA_WINDOW, &type, &format,
                               &items, &after, &data) == Success &&
            items == 1)
            window = *reinterpret_cast<Window*>(data);
        if (data)
            XFree(data);
        return window;
    }

    void StartServer(int Width, int Height)
    {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            return;
        server_ = ::fork();
        if (server_ == 0) {
            ::close(pipeFds[0]);
            const std::string fd = std::to_string(pipeFds[1]);
            const std::string screen = std::to_string(Width) + "x" + std::to_string(Height) + "x24";
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", screen.c_str(), "-nolisten", "tcp",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        char number[16] = {};
        const ssize_t got = ::read(pipeFds[0], number, sizeof number - 1);
        ::close(pipeFds[0]);
        if (got <= 0) {
            Stop(server_);
            server_ = -1;
            return;
        }
        name_ = ":" + std::string(number, std::size_t(got));
        while (!name_.empty() && (name_.back() == '\n' || name_.back() == ' '))
            name_.pop_back();
        display_ = XOpenDisplay(name_.c_str());
    }

    // One shared-memory image of the whole screen, read again at each look:
    // far cheaper than a round trip of every pixel through the socket.
    void AttachScreen()
    {
        if (!XShmQueryExtension(display_))
            return;
        const int screen = DefaultScreen(display_);
        image_ = XShmCreateImage(display_, DefaultVisual(display_, screen), unsigned(DefaultDepth(display_, screen)),
                                 ZPixmap, nullptr, &shm_, unsigned(DisplayWidth(display_, screen)),
                                 unsigned(DisplayHeight(display_, screen)));
        if (!image_ || image_->bits_per_pixel != 32) {
            if (image_)
                XDestroyImage(image_);
            image_ = nullptr;
            return;
        }
        shm_.shmid = ::shmget(IPC_PRIVATE, std::size_t(image_->bytes_per_line) * std::size_t(image_->height),
                              IPC_CREAT | 0600);
        shm_.shmaddr = image_->data = static_cast<char*>(::shmat(shm_.shmid, nullptr, 0));
        shm_.readOnly = False;
        XShmAttach(display_, &shm_);
        XSync(display_, False);
        // Gone once the server and this process have let go of it.
        ::shmctl(shm_.shmid, IPC_RMID, nullptr);
    }

    bool HasWindowManager() const { return RootWindowProperty("_NET_SUPPORTING_WM_CHECK") != 0; }

    pid_t server_ = -1, windowManager_ = -1;
    std::string name_;
    Display* display_ = nullptr;
    XShmSegmentInfo shm_{};
    XImage* image_ = nullptr;
};

// A home folder and a session bus of one program's own, kept for all its
// runs, so no program finds another's settings or services.
class TSession {
public:
    explicit TSession(const std::filesystem::path& Home) : home_(Home)
    {
        std::filesystem::create_directories(Home / "runtime");
        std::filesystem::permissions(Home / "runtime", std::filesystem::perms::owner_all);
        FILE* bus = ::popen("dbus-daemon --session --fork --nopidfile --print-address=1 --print-pid=1 2>/dev/null", "r");
        if (!bus)
            return;
        char line[512] = {};
        if (std::fgets(line, sizeof line, bus))
            address_ = std::string(line, std::strcspn(line, "\n"));
        if (std::fgets(line, sizeof line, bus))
            busPid_ = std::atoi(line);
        ::pclose(bus);
    }
    ~TSession()
    {
        if (busPid_ > 0)
            ::kill(busPid_, SIGTERM);
    }
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    std::vector<std::string> Env() const
    {
        std::vector<std::string> env = {"HOME=" + home_.string(), "XDG_CONFIG_HOME=" + (home_ / "config").string(),
                                        "XDG_DATA_HOME=" + (home_ / "data").string(),
                                        "XDG_CACHE_HOME=" + (home_ / "cache").string(),
                                        "XDG_RUNTIME_DIR=" + (home_ / "runtime").string()};
        if (!address_.empty())
            env.push_back("DBUS_SESSION_BUS_ADDRESS=" + address_);
        return env;
    }

private:
    std::filesystem::path home_;
    std::string address_;
    pid_t busPid_ = -1;
};

inline long PeakResidentKb(pid_t Pid)
{
    std::ifstream status("/proc/" + std::to_string(Pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// One viewer process on the server, from its spawning to its end.
class TViewerProcess {
public:
    TViewerProcess(const TXServer& Server, const std::vector<std::string>& Argv, const std::string& Folder,
                   const TSession& Session)
        : server_(Server), started_(TClock::now()), pid_(Spawn(Argv, Server.Name(), Session.Env(), Folder))
    {
    }
    // The next program must not find this one's photo still on the screen.
    ~TViewerProcess()
    {
        Stop(pid_);
        const auto start = TClock::now();
        while (MsSince(start) < 5000 && std::any_of(std::begin(PhotoKeys), std::end(PhotoKeys), [&](const TKey& Key) {
                   return server_.KeyPixels(Key) > 0;
               }))
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    TViewerProcess(const TViewerProcess&) = delete;
    TViewerProcess& operator=(const TViewerProcess&) = delete;

    TClock::time_point Started() const { return started_; }

    // Milliseconds from Since until the key colour covers part of the screen;
    // -1 when it has not within the time allowed.
    double WaitFor(const TKey& Key, TClock::time_point Since, int AllowedMs = 20000) const
    {
        while (MsSince(Since) < AllowedMs) {
            if (server_.KeyPixels(Key) >= 400)
                return MsSince(Since);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return -1;
    }

    long PeakKb() const { return PeakResidentKb(pid_); }

private:
    const TXServer& server_;
    TClock::time_point started_;
    pid_t pid_;
};

} // namespace lumeno::bench
