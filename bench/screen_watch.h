#pragma once
// Whole-process timing of a viewer as a user waits for it: a private X server
// with a window manager, a program spawned on it with a home and a session
// bus of its own, and the time until a photo is on the screen, found by
// reading the screen through shared memory and looking for the photo's key
// colour. Keys are typed through XTEST, as from a keyboard.

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

#include "support/x_desktop_x11.h"

#include <sys/ipc.h>
#include <sys/shm.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace lumeno::bench {

using TClock = std::chrono::steady_clock;

// A colour no photo-like picture of the benchmarks comes near: their green
// stays at or under 231 (225 and 6 of noise), every key is full green and a
// screen pixel counts as the key within 16 of it in each channel. The key is
// a flat disc, where JPEG's error is a few levels.
struct TKey {
    unsigned Red, Green, Blue;
};
constexpr TKey PhotoKeys[] = {{0, 255, 0}, {255, 255, 0}, {0, 255, 255}, {150, 255, 0}, {0, 255, 150}};

inline double MsSince(TClock::time_point Start)
{
    return std::chrono::duration<double, std::milli>(TClock::now() - Start).count();
}

// Xvfb on a free display with openbox on it, for the life of the object,
// read through shared memory and typed at through XTEST.
class TXServer {
public:
    TXServer()
    {
        if (desktop_.Ok())
            AttachScreen();
    }
    ~TXServer()
    {
        if (image_) {
            XShmDetach(Connection(), &shm_);
            XDestroyImage(image_);
            ::shmdt(shm_.shmaddr);
        }
    }
    TXServer(const TXServer&) = delete;
    TXServer& operator=(const TXServer&) = delete;

    bool Ok() const { return image_ != nullptr && desktop_.Ok(); }
    const std::string& Name() const { return desktop_.Name(); }
    int Width() const { return image_ ? image_->width : 0; }
    int Height() const { return image_ ? image_->height : 0; }

    // Screen pixels near the key colour, every fourth pixel of every fourth row.
    int KeyPixels(const TKey& Key) const
    {
        if (!XShmGetImage(Connection(), DefaultRootWindow(Connection()), image_, 0, 0, AllPlanes))
            return 0;
        const auto near = [](unsigned value, unsigned key) {
            return (value > key ? value - key : key - value) <= 16;
        };
        int count = 0;
        for (int y = 0; y < image_->height; y += 4) {
            const auto* row = reinterpret_cast<const std::uint32_t*>(
                image_->data + std::ptrdiff_t(y) * image_->bytes_per_line);
            for (int x = 0; x < image_->width; x += 4) {
                const std::uint32_t p = row[x];
                if (near((p >> 16) & 0xFF, Key.Red) && near((p >> 8) & 0xFF, Key.Green) &&
                    near(p & 0xFF, Key.Blue))
                    ++count;
            }
        }
        return count;
    }

    // A key pressed and released on the keyboard, to the focused window.
    void Type(unsigned long KeySym) const
    {
        Display* display = Connection();
        const KeyCode code = XKeysymToKeycode(display, KeySym);
        XTestFakeKeyEvent(display, code, True, CurrentTime);
        XTestFakeKeyEvent(display, code, False, CurrentTime);
        XFlush(display);
    }

    // A left click at (X, Y) of the active window's client area: where the
    // window manager placed the window does not matter.
    bool ClickInActiveWindow(int X, int Y) const
    {
        const std::vector<unsigned long> active = desktop_.RootWindows("_NET_ACTIVE_WINDOW");
        if (active.empty() || !active.front())
            return false;
        Display* display = Connection();
        int rootX = 0, rootY = 0;
        Window child = 0;
        XTranslateCoordinates(display, active.front(), DefaultRootWindow(display), X, Y, &rootX, &rootY,
                              &child);
        XTestFakeMotionEvent(display, DefaultScreen(display), rootX, rootY, CurrentTime);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XFlush(display);
        return true;
    }

private:
    Display* Connection() const { return desktop_.Connection(); }

    // One shared-memory image of the whole screen, read again at each look:
    // far cheaper than a round trip of every pixel through the socket.
    void AttachScreen()
    {
        Display* display = Connection();
        if (!XShmQueryExtension(display))
            return;
        const int screen = DefaultScreen(display);
        XImage* image =
            XShmCreateImage(display, DefaultVisual(display, screen), unsigned(DefaultDepth(display, screen)),
                            ZPixmap, nullptr, &shm_, unsigned(DisplayWidth(display, screen)),
                            unsigned(DisplayHeight(display, screen)));
        if (!image)
            return;
        if (image->bits_per_pixel != 32 || !AttachMemory(*image)) {
            XDestroyImage(image);
            return;
        }
        image_ = image;
    }

    // False when the system gives no shared memory: the screen is then not
    // read at all.
    bool AttachMemory(XImage& Image)
    {
        shm_.shmid = ::shmget(IPC_PRIVATE, std::size_t(Image.bytes_per_line) * std::size_t(Image.height),
                              IPC_CREAT | 0600);
        if (shm_.shmid < 0)
            return false;
        void* memory = ::shmat(shm_.shmid, nullptr, 0);
        if (memory != reinterpret_cast<void*>(-1)) {
            shm_.shmaddr = Image.data = static_cast<char*>(memory);
            shm_.readOnly = False;
            XShmAttach(Connection(), &shm_);
            XSync(Connection(), False);
        }
        // Gone once the server and this process have let go of it.
        ::shmctl(shm_.shmid, IPC_RMID, nullptr);
        return Image.data != nullptr;
    }

    test::XDesktop desktop_;
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
        address_ = test::SpawnAndReadLine(
            {.Argv = {"dbus-daemon", "--session", "--nofork", "--nopidfile", "--print-address="},
             .Quiet = true},
            4, busPid_);
    }
    ~TSession() { test::Stop(busPid_); }
    TSession(const TSession&) = delete;
    TSession& operator=(const TSession&) = delete;

    std::vector<std::string> Env() const
    {
        std::vector<std::string> env = {
            "HOME=" + home_.string(), "XDG_CONFIG_HOME=" + (home_ / "config").string(),
            "XDG_DATA_HOME=" + (home_ / "data").string(), "XDG_CACHE_HOME=" + (home_ / "cache").string(),
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
        : server_(Server), started_(TClock::now()),
          pid_(test::Spawn({.Argv = Argv, .Display = Server.Name(), .Env = Session.Env(), .Folder = Folder}))
    {
    }
    // The next program must not find this one's photo still on the screen.
    ~TViewerProcess()
    {
        test::Stop(pid_);
        const auto start = TClock::now();
        while (MsSince(start) < 5000 &&
               std::any_of(std::begin(PhotoKeys), std::end(PhotoKeys),
                           [&](const TKey& Key) { return server_.KeyPixels(Key) > 0; }))
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
