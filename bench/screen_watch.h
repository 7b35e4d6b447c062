#pragma once
// Whole-process timing of a viewer: a private X server, a program spawned on
// it with a photo, and the time until the photo is on the screen, found by
// reading the screen back and looking for the photo's key colour.

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

namespace lumeno::bench {

// The colour the benchmark photo carries in a large disc at its centre.
constexpr unsigned long KeyRed = 0, KeyGreen = 255, KeyBlue = 0;

// Xvfb on a free display, for the life of the object.
class TXServer {
public:
    TXServer()
    {
        int pipeFds[2];
        if (::pipe(pipeFds) != 0)
            return;
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(pipeFds[0]);
            const std::string fd = std::to_string(pipeFds[1]);
            ::execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
                     static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(pipeFds[1]);
        char number[16] = {};
        const ssize_t got = ::read(pipeFds[0], number, sizeof number - 1);
        ::close(pipeFds[0]);
        if (got <= 0)
            return;
        name_ = ":" + std::string(number, std::size_t(got));
        while (!name_.empty() && (name_.back() == '\n' || name_.back() == ' '))
            name_.pop_back();
        display_ = XOpenDisplay(name_.c_str());
    }
    ~TXServer()
    {
        if (display_)
            XCloseDisplay(display_);
        if (pid_ > 0) {
            ::kill(pid_, SIGTERM);
            ::waitpid(pid_, nullptr, 0);
        }
    }
    TXServer(const TXServer&) = delete;
    TXServer& operator=(const TXServer&) = delete;

    bool Ok() const { return display_ != nullptr; }
    const std::string& Name() const { return name_; }

    // Screen pixels of the key colour, every fourth pixel of every fourth row.
    int KeyPixels() const
    {
        const Window root = DefaultRootWindow(display_);
        XWindowAttributes attributes;
        XGetWindowAttributes(display_, root, &attributes);
        XImage* image = XGetImage(display_, root, 0, 0, unsigned(attributes.width), unsigned(attributes.height),
                                  AllPlanes, ZPixmap);
        if (!image)
            return 0;
        int count = 0;
        for (int y = 0; y < attributes.height; y += 4)
            for (int x = 0; x < attributes.width; x += 4) {
                const unsigned long p = XGetPixel(image, x, y);
                const auto near = [](unsigned long value, unsigned long key) {
                    return (value > key ? value - key : key - value) <= 40;
                };
                if (near((p >> 16) & 0xFF, KeyRed) && near((p >> 8) & 0xFF, KeyGreen) && near(p & 0xFF, KeyBlue))
                    ++count;
            }
        XDestroyImage(image);
        return count;
    }

private:
    pid_t pid_ = -1;
    std::string name_;
    Display* display_ = nullptr;
};

// One run of a viewer: from spawning it to the photo on the screen.
struct TViewerRun {
    double PaintedMs = -1; // -1: never painted within the time allowed
    long PeakKb = 0;       // the process's peak resident memory, a second later
};

inline long PeakResidentKb(pid_t Pid)
{
    std::ifstream status("/proc/" + std::to_string(Pid) + "/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return 0;
}

// Runs Argv in Folder on the server with Env added to the environment (the
// offscreen platform of the benchmark itself is not passed on), waits for
// the key colour, and ends the program.
inline TViewerRun RunViewer(const TXServer& Server, const std::vector<std::string>& Argv, const std::string& Folder,
                            const std::vector<std::string>& Env)
{
    TViewerRun run;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::unsetenv("QT_QPA_PLATFORM");
        ::setenv("DISPLAY", Server.Name().c_str(), 1);
        for (const std::string& pair : Env)
            ::putenv(::strdup(pair.c_str()));
        if (::chdir(Folder.c_str()) != 0)
            ::_exit(126);
        std::vector<char*> args;
        for (const std::string& arg : Argv)
            args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        if (Server.KeyPixels() >= 400) {
            const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
            run.PaintedMs = took.count();
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::this_thread::sleep_for(std::chrono::seconds(1));
    run.PeakKb = PeakResidentKb(child);
    ::kill(child, SIGTERM);
    ::waitpid(child, nullptr, 0);
    return run;
}

} // namespace lumeno::bench
