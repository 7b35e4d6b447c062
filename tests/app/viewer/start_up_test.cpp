// The whole program started with a photo, watched from outside: which
// folders it lists on the way to showing it.

#include "support/test_env.h"

#include <QElapsedTimer>
#include <QImage>
#include <QProcess>
#include <QProcessEnvironment>
#include <QThread>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <sys/stat.h>

namespace lumeno::test {
namespace {

namespace fs = std::filesystem;

// The folders the traced processes opened successfully for listing.
std::vector<std::string> ListedFolders(const std::string& Log)
{
    std::vector<std::string> folders;
    std::ifstream in(Log);
    for (std::string line; std::getline(in, line);) {
        const auto open = line.find("openat(");
        const auto first = line.find('"', open);
        const auto last = line.find('"', first + 1);
        if (open == std::string::npos || last == std::string::npos || line.find("O_DIRECTORY") == std::string::npos ||
            line.find(" = -1 ") != std::string::npos)
            continue;
        folders.push_back(line.substr(first + 1, last - first - 1));
    }
    return folders;
}

bool Contains(const std::vector<std::string>& Folders, const std::string& Folder)
{
    return std::find(Folders.begin(), Folders.end(), Folder) != Folders.end();
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
    program.start("strace", {"-f", "-qq", "-e", "trace=openat", "-o", QString::fromStdString(log), "timeout", "30",
                             LUMENO_PROGRAM, QString::fromStdString(photos.File("photo.jpg"))});
    ASSERT_TRUE(program.waitForStarted());
    // Running until the photo's folder has been listed, and a moment more
    // for late listings.
    QElapsedTimer waited;
    waited.start();
    while (!Contains(ListedFolders(log), photos.Path().string()) && waited.elapsed() < 50000)
        QThread::msleep(100);
    QThread::msleep(1500);
    program.terminate();
    if (!program.waitForFinished(10000)) {
        program.kill();
        program.waitForFinished();
    }

    const std::vector<std::string> listed = ListedFolders(log);
    EXPECT_TRUE(Contains(listed, photos.Path().string()));
    EXPECT_FALSE(Contains(listed, work.string()));
    EXPECT_FALSE(Contains(listed, "."));
}

// The video and audio libraries come with the first clip shown: neither the
// loader nor a start that shows a photo maps them.
TEST(StartUp, APhotoMapsNoVideoOrAudioLibrary)
{
    const QStringList media = {"libavcodec", "libavformat", "libavutil", "libswscale", "libswresample",
                               "libQt6Multimedia", "liblumeno_media"};
    TempDir photos, home;
    const QProcessEnvironment env = PhotoAndHome(photos, home);

    QProcessEnvironment traced = env;
    traced.insert("LD_TRACE_LOADED_OBJECTS", "1");
    QProcess loader;
    loader.setProcessEnvironment(traced);
    loader.start(LUMENO_PROGRAM, {});
    ASSERT_TRUE(loader.waitForFinished(30000));
    const QString linked = QString::fromLocal8Bit(loader.readAllStandardOutput());
    ASSERT_TRUE(linked.contains("libQt6Core")) << linked.toStdString();
    for (const QString& library : media)
        EXPECT_FALSE(linked.contains(library)) << library.toStdString() << " is linked";

    QProcess program;
    program.setProcessEnvironment(env);
    program.start(LUMENO_PROGRAM, {QString::fromStdString(photos.File("photo.jpg"))});
    ASSERT_TRUE(program.waitForStarted());
    QThread::msleep(4000);
    std::ifstream maps("/proc/" + std::to_string(program.processId()) + "/maps");
    const std::string mapped((std::istreambuf_iterator<char>(maps)), std::istreambuf_iterator<char>());
    program.kill();
    program.waitForFinished();
    ASSERT_NE(mapped.find("libQt6Widgets"), std::string::npos);
    for (const QString& library : media)
        EXPECT_EQ(mapped.find(library.toStdString()), std::string::npos) << library.toStdString() << " is mapped";
}

} // namespace
} // namespace lumeno::test
