// The whole program started with a photo, watched from outside: which
// folders it lists on the way to showing it.

#include "support/test_env.h"

#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

namespace lumeno::test {
namespace {

namespace fs = std::filesystem;

// The paths the traced processes opened successfully: only the folders
// opened for listing when Folders.
std::vector<std::string> Opened(const std::string& Log, bool Folders)
{
    std::vector<std::string> paths;
    std::ifstream in(Log);
    for (std::string line; std::getline(in, line);) {
        const auto open = line.find("openat(");
        const auto first = line.find('"', open);
        const auto last = line.find('"', first + 1);
        if (open == std::string::npos || last == std::string::npos ||
            (Folders && line.find("O_DIRECTORY") == std::string::npos) ||
            line.find(" = -1 ") != std::string::npos)
            continue;
        paths.push_back(line.substr(first + 1, last - first - 1));
    }
    return paths;
}

bool Contains(const std::vector<std::string>& Paths, const std::string& Path)
{
    return std::find(Paths.begin(), Paths.end(), Path) != Paths.end();
}

// Waits, generously for a loaded machine, until the traced processes have
// opened Path; false when they never did.
bool WaitUntilOpened(const std::string& Log, const std::string& Path, bool Folder)
{
    QElapsedTimer waited;
    waited.start();
    while (!Contains(Opened(Log, Folder), Path)) {
        if (waited.elapsed() > 50000)
            return false;
        QThread::msleep(100);
    }
    return true;
}

// The program strace started: its one child.
qint64 TracedProgram(const QProcess& Strace)
{
    const std::string pid = std::to_string(Strace.processId());
    qint64 child = 0;
    std::ifstream("/proc/" + pid + "/task/" + pid + "/children") >> child;
    return child;
}

// Ends the traced program, then strace.
void End(QProcess& Strace, qint64 Program)
{
    if (Program > 0)
        ::kill(pid_t(Program), SIGKILL);
    Strace.terminate();
    if (!Strace.waitForFinished(10000)) {
        Strace.kill();
        Strace.waitForFinished();
    }
}

// A small photo in Photos, and the environment of a program with Home as
// its private home, on the offscreen platform.
QProcessEnvironment PhotoAndHome(const TempDir& Photos, const TempDir& Home)
{
    QImage picture(320, 240, QImage::Format_RGB32);
    picture.fill(Qt::darkCyan);
    EXPECT_TRUE(picture.save(QString::fromStdString(Photos.File("photo.jpg")), "JPEG"));
    const fs::path runtime = Home.Path() / "runtime";
    fs::create_directories(runtime);
    ::chmod(runtime.c_str(), 0700);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.string()));
    for (const char* var : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"})
        env.insert(var, QString::fromStdString((Home.Path() / var).string()));
    env.insert("QT_QPA_PLATFORM", "offscreen");
    return env;
}

// Started from a folder full of files, the program lists the photo's folder
// and never the folder it was started from: the windows made at start-up
// leave their file dialogs unmade until they are opened.
TEST(StartUp, ListsThePhotosFolderAndNotTheWorkingFolder)
{
    if (!HaveTool("strace") || !HaveTool("timeout"))
        GTEST_SKIP() << "strace or timeout is not installed";
    TempDir outer, photos, home;
    // Deeper than the folder tree looks beside the photo's folder.
    const fs::path work = outer.Path() / "inner" / "work";
    fs::create_directories(work);
    for (int i = 0; i < 300; ++i)
        std::ofstream(work / ("note" + std::to_string(i) + ".txt")) << i;
    const QProcessEnvironment env = PhotoAndHome(photos, home);
    const std::string log = home.File("trace.log");
    QProcess program;
    program.setProcessEnvironment(env);
    program.setWorkingDirectory(QString::fromStdString(work.string()));
    program.start("strace", {"-f", "-qq", "-e", "trace=openat", "-o", QString::fromStdString(log), "timeout",
                             "30", LUMENO_PROGRAM, QString::fromStdString(photos.File("photo.jpg"))});
    ASSERT_TRUE(program.waitForStarted());
    // Running until the photo's folder has been listed, and a moment more
    // for late listings.
    WaitUntilOpened(log, photos.Path().string(), true);
    QThread::msleep(1500);
    End(program, 0);

    const std::vector<std::string> listed = Opened(log, true);
    EXPECT_TRUE(Contains(listed, photos.Path().string()));
    EXPECT_FALSE(Contains(listed, work.string()));
    EXPECT_FALSE(Contains(listed, "."));
}

// The video and audio libraries come with the first clip shown: neither the
// loader nor a start that shows a photo maps them.
const char* const kMediaLibraries[] = {"libavcodec",    "libavformat",      "libavutil",      "libswscale",
                                       "libswresample", "libQt6Multimedia", "liblumeno_media"};

TEST(StartUp, TheLoaderMapsNoVideoOrAudioLibrary)
{
    TempDir photos, home;
    QProcessEnvironment traced = PhotoAndHome(photos, home);
    traced.insert("LD_TRACE_LOADED_OBJECTS", "1");
    QProcess loader;
    loader.setProcessEnvironment(traced);
    loader.start(LUMENO_PROGRAM, {});
    ASSERT_TRUE(loader.waitForFinished(30000));
    const QString linked = QString::fromLocal8Bit(loader.readAllStandardOutput());
    ASSERT_TRUE(linked.contains("libQt6Core")) << linked.toStdString();
    for (const char* library : kMediaLibraries)
        EXPECT_FALSE(linked.contains(library)) << library << " is linked";
}

TEST(StartUp, APhotoShownMapsNoVideoOrAudioLibrary)
{
    if (!HaveTool("strace"))
        GTEST_SKIP() << "strace is not installed";
    TempDir photos, home;
    const QProcessEnvironment env = PhotoAndHome(photos, home);
    // Its neighbour is read ahead once the photo is on screen.
    const std::string next = photos.File("next.jpg");
    fs::copy_file(photos.File("photo.jpg"), next);
    const std::string log = home.File("trace.log");
    QProcess program;
    program.setProcessEnvironment(env);
    program.start("strace", {"-f", "-qq", "-e", "trace=openat", "-o", QString::fromStdString(log),
                             LUMENO_PROGRAM, QString::fromStdString(photos.File("photo.jpg"))});
    ASSERT_TRUE(program.waitForStarted());
    const bool shown = WaitUntilOpened(log, next, false);
    const qint64 pid = TracedProgram(program);
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    const std::string mapped((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    End(program, pid);
    ASSERT_TRUE(shown) << "the photo was never shown";
    ASSERT_NE(mapped.find("libQt6Widgets"), std::string::npos);
    for (const char* library : kMediaLibraries)
        EXPECT_EQ(mapped.find(library), std::string::npos) << library << " is mapped";
}

} // namespace
} // namespace lumeno::test
