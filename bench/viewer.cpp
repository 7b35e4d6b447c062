// The viewer as a user waits for it: the whole program from its start to a
// 4000 x 3000 camera-like photo painted on the screen of a private X server
// under a window manager, beside qimgv, feh and nsxiv in the same run (run the
// benchmark under taskset to pin them all to the same CPUs), started from an
// empty folder and from one of 10,000 files; stepping through large photos
// with the keyboard. Then, inside the process: filling and sorting a list of
// 10,000 files; stepping between large JPEGs.

#include "app/viewer/main_window.h"
#include "bench_support.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup_qt.h"
#include "imagelib/view/pg_image.h"
#include "platform/qt/registry/registry.h"

#include <QApplication>
#include <QEventLoop>
#include <QImage>
#include <QTreeWidget>

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <numeric>
#include <thread>

// Last: Xlib defines plain names as macros.
#include "screen_watch.h"

namespace {

using namespace lumeno;
using bench::PhotoKeys;
using bench::TClock;
using bench::TKey;
using bench::TSession;
using bench::TViewerProcess;
using bench::TXServer;
namespace fs = std::filesystem;

void App()
{
    static int argc = 1;
    static char name[] = "bench_viewer";
    static char* argv[] = {name, nullptr};
    // Never destroyed: at exit the statics made while it ran go first, and
    // its clean-up routines would then reach them.
    [[maybe_unused]] static QApplication* app = [] {
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        auto* a = new QApplication(argc, argv);
        // Settings and bookmarks of the benchmark only.
        const fs::path home = bench::TempPath("viewer_home");
        fs::create_directories(home);
        SetRegistryFolder(home.string());
        ::setenv("XDG_DATA_HOME", home.c_str(), 1);
        return a;
    }();
}

// A folder with photos 4000 x 3000 and Small tiny pictures.
std::string Folder(const std::string& Name, int Photos, int Small)
{
    const fs::path folder = bench::TempPath(Name);
    if (fs::exists(folder / "done"))
        return folder.string();
    fs::remove_all(folder);
    fs::create_directories(folder);
    PGStartupAllFormats();
    TPixelGraphic photo;
    bench::PhotoLike(photo, 4000, 3000);
    for (int i = 0; i < Photos; ++i)
        photo.SaveToFile((folder / ("photo" + std::to_string(i) + ".jpg")).string());
    if (Small == 0) {
        std::ofstream(folder / "done") << "1";
        return folder.string();
    }
    QImage tiny(16, 16, QImage::Format_RGB32);
    tiny.fill(Qt::gray);
    const std::string first = (folder / "small0.png").string();
    tiny.save(QString::fromStdString(first));
    for (int i = 1; i < Small; ++i)
        fs::copy_file(first, folder / ("small" + std::to_string(i) + ".png"));
    std::ofstream(folder / "done") << "1";
    return folder.string();
}

void WaitForLoads(TForm1& Form, int Loads)
{
    while (Form.Loader().LoadCount() < Loads || Form.Loader().Pending())
        QCoreApplication::processEvents();
}

// Where camera-like photos are kept between runs: named after the recipe
// below, to be changed with it, so no photo of an older recipe is timed.
fs::path KeyedPhotoFolder(const std::string& Name)
{
    return bench::TempPath(Name + "_q90_444_noise6_v1");
}

// A camera-like photo: photo-like, written by cjpeg at quality 90 with full
// chroma (4:4:4) as cameras write them, with a disc of the Key colour at its
// centre for the screen watch.
std::string KeyedPhoto(const fs::path& Path, const TKey& Key, int Variant)
{
    if (fs::exists(Path))
        return Path.string();
    fs::create_directories(Path.parent_path());
    PGStartupAllFormats();
    TPixelGraphic picture;
    bench::PhotoLike(picture, 4000, 3000, Variant);
    // Sensor noise of its own in each channel, as a camera's photo has: it
    // makes the file as large as theirs.
    std::uint32_t seed = 977u + std::uint32_t(Variant);
    for (int y = 0; y < 3000; ++y) {
        std::uint8_t* row = picture.GetScanLine(y);
        for (int i = 0; i < 4000 * 3; ++i) {
            seed = seed * 1664525u + 1013904223u;
            row[i] = std::uint8_t(std::clamp(int(row[i]) + int((seed >> 28) * 13 / 16) - 6, 0, 255));
        }
    }
    for (int y = 900; y < 2100; ++y) {
        std::uint8_t* row = picture.GetScanLine(y);
        for (int x = 1400; x < 2600; ++x)
            if ((x - 2000) * (x - 2000) + (y - 1500) * (y - 1500) < 600 * 600) {
                row[x * 3] = std::uint8_t(Key.Blue);
                row[x * 3 + 1] = std::uint8_t(Key.Green);
                row[x * 3 + 2] = std::uint8_t(Key.Red);
            }
    }
    const std::string ppm = Path.string() + ".ppm";
    bench::WritePPM(picture, ppm);
    const std::string cjpeg = "cjpeg -quality 90 -sample 1x1 -outfile " + Path.string() + " " + ppm;
    if (!bench::HaveTool("cjpeg") || std::system(cjpeg.c_str()) != 0) {
        JPEGQuality = 90;
        picture.SaveToFile(Path.string());
    }
    fs::remove(ppm);
    return Path.string();
}

// Times of one contender over all its runs.
struct TSamples {
    std::vector<double> Ms;
    std::vector<double> PeakMb;
    int Missed = 0;

    void Add(double PaintedMs, long PeakKb)
    {
        if (PaintedMs < 0) {
            ++Missed;
            return;
        }
        Ms.push_back(PaintedMs);
        PeakMb.push_back(double(PeakKb) / 1024);
    }
    static double Median(std::vector<double> Values)
    {
        if (Values.empty())
            return 0;
        std::sort(Values.begin(), Values.end());
        const std::size_t half = Values.size() / 2;
        return Values.size() % 2 ? Values[half] : (Values[half - 1] + Values[half]) / 2;
    }
    double Median() const { return Median(Ms); }
    double Min() const { return Ms.empty() ? 0 : *std::min_element(Ms.begin(), Ms.end()); }
    double Max() const { return Ms.empty() ? 0 : *std::max_element(Ms.begin(), Ms.end()); }
    double Mean() const { return Ms.empty() ? 0 : std::accumulate(Ms.begin(), Ms.end(), 0.0) / double(Ms.size()); }
};

// One program in the race, with its own home and session bus.
struct TContender {
    std::string Label;
    std::vector<std::string> Argv;
    std::string Folder;
    std::unique_ptr<TSession> Session;
    TSamples Samples;

    std::string Command() const
    {
        std::string line;
        for (const std::string& arg : Argv)
            line += (line.empty() ? "" : " ") + arg;
        return line;
    }
    void Run(const TXServer& Server, bool Count)
    {
        TViewerProcess viewer(Server, Argv, Folder, *Session);
        const double ms = viewer.WaitFor(PhotoKeys[0], viewer.Started());
        // The memory a user's session pays for the photo, once it is shown.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        if (Count)
            Samples.Add(ms, viewer.PeakKb());
    }
};

std::string LoadAverage()
{
    std::ifstream in("/proc/loadavg");
    std::string one, five, fifteen;
    in >> one >> five >> fifteen;
    return one + " " + five + " " + fifteen;
}

int Runs()
{
    const char* runs = std::getenv("LUMENO_BENCH_RUNS");
    return runs ? std::max(1, std::atoi(runs)) : 11;
}

void PrintRace(const std::vector<TContender>& Race)
{
    std::printf("  %-30s %8s %8s %8s %8s  %s\n", "program", "median", "min", "max", "peak MB", "command (working folder)");
    for (const TContender& c : Race)
        std::printf("  %-30s %8.1f %8.1f %8.1f %8.1f  %s (%s)%s\n", c.Label.c_str(), c.Samples.Median(), c.Samples.Min(),
                    c.Samples.Max(), TSamples::Median(c.Samples.PeakMb), c.Command().c_str(), c.Folder.c_str(),
                    c.Samples.Missed ? (" " + std::to_string(c.Samples.Missed) + " never painted").c_str() : "");
}

// One median over another, printed and counted; "n/a" when either side
// missed every run.
void PrintRatio(benchmark::State& State, const std::string& Counter, const std::string& Label, double Over,
                double Under)
{
    if (Over <= 0 || Under <= 0) {
        std::printf("  %s: n/a\n", Label.c_str());
        return;
    }
    State.counters[Counter] = Over / Under;
    std::printf("  %s: %.2f\n", Label.c_str(), Over / Under);
}

// Spawn -> photo painted: Lumeno from an empty folder and from one of 10,000
// files, and the picture viewers qimgv, feh and nsxiv, each once to warm
// up, then in turn; medians, spreads and ratios.
void StartToPhotoPainted(benchmark::State& state)
{
    TXServer server;
    if (!server.Ok()) {
        state.SkipWithError("Xvfb with openbox could not be started");
        return;
    }
    // Before making the photo and the 10,000 files weighs on it.
    const std::string loadBefore = LoadAverage();
    const std::string photo = KeyedPhoto(KeyedPhotoFolder("viewer_photo") / "photo.jpg", PhotoKeys[0], 0);
    const std::string crowded = Folder("viewer_crowded", 0, 10000);
    const fs::path empty = bench::TempPath("viewer_empty");
    fs::create_directories(empty);
    const auto session = [](const std::string& Name) {
        return std::make_unique<TSession>(bench::TempPath("viewer_home_" + Name));
    };
    std::vector<TContender> race;
    race.push_back({"lumeno", {LUMENO_PROGRAM, photo}, empty.string(), session("lumeno"), {}});
    race.push_back({"lumeno from 10,000 files", {LUMENO_PROGRAM, photo}, crowded, session("lumeno_crowded"), {}});
    for (const std::vector<std::string>& peer : {std::vector<std::string>{"qimgv", photo},
                                                 std::vector<std::string>{"feh", "-.", photo},
                                                 std::vector<std::string>{"nsxiv", photo}})
        if (bench::HaveTool(peer[0]))
            race.push_back({peer[0] + (peer.size() > 2 ? " " + peer[1] : ""), peer, empty.string(), session(peer[0]), {}});
        else
            std::printf("  %s is not installed: left out\n", peer[0].c_str());

    for (auto _ : state) {
        for (TContender& c : race)
            c.Run(server, false);
        for (int round = 0; round < Runs(); ++round)
            for (TContender& c : race)
                c.Run(server, true);
    }
    std::printf("spawn -> photo painted (ms), %d runs each after one to warm up, in turn\n", Runs());
    std::printf("  screen %dx%d on %s under openbox; CPUs available: %d; load average before %s, after %s\n",
                server.Width(), server.Height(), server.Name().c_str(), AvailableCpus(), loadBefore.c_str(),
                LoadAverage().c_str());
    std::printf("  photo %s: 4000 x 3000, %.2f MB\n", photo.c_str(), double(fs::file_size(photo)) / 1e6);
    PrintRace(race);
    const TSamples& ours = race[0].Samples;
    state.counters["lumeno_median_ms"] = ours.Median();
    state.counters["lumeno_peak_mb"] = TSamples::Median(ours.PeakMb);
    PrintRatio(state, "crowded_over_empty", "lumeno from 10,000 files / from empty", race[1].Samples.Median(),
               ours.Median());
    double fastest = 0;
    for (std::size_t i = 2; i < race.size(); ++i) {
        const double peer = race[i].Samples.Median();
        PrintRatio(state, "lumeno_over_" + race[i].Argv[0], "lumeno / " + race[i].Label, ours.Median(), peer);
        if (peer > 0 && (fastest == 0 || peer < fastest))
            fastest = peer;
    }
    if (fastest > 0)
        PrintRatio(state, "lumeno_over_fastest_peer", "lumeno / fastest peer", ours.Median(), fastest);
    std::fflush(stdout);
}
BENCHMARK(StartToPhotoPainted)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

// Where the file list's first row is in the main window's client area as
// the program lays it out on first start.
constexpr int FirstFileX = 35, FirstFileY = 182;

// Stepping through five large photos with the Down key in the file list,
// from the first step after start: steadily (the picture has been looked at
// for a moment) and fast (a key 100 ms after each picture is painted).
void StepThroughPhotos(benchmark::State& state)
{
    TXServer server;
    if (!server.Ok()) {
        state.SkipWithError("Xvfb with openbox could not be started");
        return;
    }
    const fs::path folder = KeyedPhotoFolder("viewer_stepping");
    for (int i = 0; i < 5; ++i)
        KeyedPhoto(folder / ("step" + std::to_string(i) + ".jpg"), PhotoKeys[i], i + 1);
    TSession session(bench::TempPath("viewer_home_stepping"));
    const std::vector<std::string> argv = {LUMENO_PROGRAM, (folder / "step0.jpg").string()};
    for (auto _ : state) {
        for (const auto& [label, lookMs] : {std::pair{"steady", 600}, std::pair{"fast", 100}}) {
            TSamples steps, first;
            // Run -1 warms up, as in the start race: the first key typed on a
            // new server reaches the program late.
            for (int run = -1; run < Runs(); ++run) {
                TViewerProcess viewer(server, argv, folder.string(), session);
                if (viewer.WaitFor(PhotoKeys[0], viewer.Started()) < 0) {
                    steps.Missed += run >= 0;
                    continue;
                }
                // The user clicks the first file, the one shown (which shows
                // nothing new), and steps on with the keyboard.
                std::this_thread::sleep_for(std::chrono::milliseconds(lookMs));
                server.ClickInActiveWindow(FirstFileX, FirstFileY);
                for (int i = 1; i < 5; ++i) {
                    std::this_thread::sleep_for(std::chrono::milliseconds(lookMs));
                    const auto pressed = TClock::now();
                    server.Type(XK_Down);
                    const double ms = viewer.WaitFor(PhotoKeys[i], pressed, 5000);
                    if (run < 0)
                        continue;
                    steps.Add(ms, 0);
                    if (i == 1)
                        first.Add(ms, 0);
                }
            }
            std::printf("stepping %-6s (key %3d ms after the picture): mean %6.1f ms  median %6.1f  worst %6.1f  "
                        "first step after start mean %6.1f  (%zu steps, %d missed)\n",
                        label, lookMs, steps.Mean(), steps.Median(), steps.Max(), first.Mean(), steps.Ms.size(),
                        steps.Missed);
            state.counters[std::string(label) + "_mean_ms"] = steps.Mean();
            state.counters[std::string(label) + "_worst_ms"] = steps.Max();
        }
    }
    std::printf("  %s in %s on %s under openbox; load average %s\n", argv[1].c_str(), folder.c_str(),
                server.Name().c_str(), LoadAverage().c_str());
    std::fflush(stdout);
}
BENCHMARK(StepThroughPhotos)->Unit(benchmark::kMillisecond)->Iterations(1)->UseRealTime();

void FillAndSort(benchmark::State& state)
{
    App();
    const std::string folder = Folder("viewer_list", 0, 10000);
    PGStartupAllFormats();
    CreateForm1();
    TForm1& form = *Form1();
    form.BuildFileMask();
    const int column = int(state.range(0));
    double best = 1e30;
    for (auto _ : state) {
        best = std::min(best, bench::BestMs(1, [&] {
            form.FillFileList(form.SLV1, folder, nullptr, form.FileMask());
            form.SLV1ColumnClick(column);
        }));
    }
    state.counters["fill_sort_ms"] = best;
    FreeForm1();
}
BENCHMARK(FillAndSort)->DenseRange(0, 3)->Unit(benchmark::kMillisecond)->Iterations(5);

void NextImage(benchmark::State& state)
{
    App();
    const std::string folder = Folder("viewer_step", 4, 0);
    PGStartupAllFormats();
    CreateForm1();
    TForm1& form = *Form1();
    form.SetStartFile(folder + "/photo0.jpg");
    form.show();
    WaitForLoads(form, 1);
    double worst = 0, total = 0;
    for (auto _ : state) {
        // The picture is looked at for a moment, the program's event loop
        // running: time for the next one to be read ahead.
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(400);
        while (std::chrono::steady_clock::now() < until)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        const int loads = form.Loader().LoadCount();
        const double ms = bench::BestMs(1, [&] {
            form.NextImageButtonClick();
            WaitForLoads(form, loads + 1);
            const QPixmap shot = form.PGImage1->grab();
            benchmark::DoNotOptimize(shot.cacheKey());
        });
        worst = std::max(worst, ms);
        total += ms;
    }
    state.counters["slowest_next_ms"] = worst;
    state.counters["mean_next_ms"] = total / double(state.iterations());
    FreeForm1();
}
BENCHMARK(NextImage)->Unit(benchmark::kMillisecond)->Iterations(8);

} // namespace
