#pragma once
// Shared pieces of the image benchmarks: test pictures, plain PPM files for
// ImageMagick, and wall-clock timing of our code against its commands.

#include "imagelib/pixel_graphic.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace lumeno::bench {

inline const char* ImageMagick = "convert-im6.q16";

inline bool HaveTool(const std::string& Program)
{
    return std::system(("command -v " + Program + " >/dev/null 2>&1").c_str()) == 0;
}

inline bool HaveImageMagick() { return HaveTool(ImageMagick); }

// Best of Runs wall-clock times, in milliseconds.
inline double BestMs(int Runs, const std::function<void()>& Work)
{
    double best = 1e30;
    for (int i = 0; i < Runs; ++i) {
        const auto start = std::chrono::steady_clock::now();
        Work();
        const std::chrono::duration<double, std::milli> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count());
    }
    return best;
}

inline double CommandMs(int Runs, const std::string& Command)
{
    return BestMs(Runs, [&] {
        if (std::system(Command.c_str()) != 0)
            std::fprintf(stderr, "failed: %s\n", Command.c_str());
    });
}

// A smooth picture with edges and grain, as photographs have; deterministic.
// Each Variant is another picture: other waves, another patch, other grain.
inline void PhotoLike(TPixelGraphic& g, int w, int h, int Variant = 0)
{
    g.SetDimensions(w, h, pf24Bit);
    std::uint32_t seed = 12345 + static_cast<std::uint32_t>(Variant) * 7919u;
    const double shift = Variant * 0.37, cx = 0.6 - 0.05 * (Variant % 9), cy = 0.4 - 0.03 * (Variant % 11);
    for (int y = 0; y < h; ++y) {
        std::uint8_t* p = g.GetScanLine(y);
        for (int x = 0; x < w; ++x, p += 3) {
            seed = seed * 1664525u + 1013904223u;
            const int grain = static_cast<int>(seed >> 28) - 8;
            const double fx = static_cast<double>(x) / w, fy = static_cast<double>(y) / h;
            const bool inside = (fx - cx) * (fx - cx) + (fy - cy) * (fy - cy) < 0.05;
            const int r = static_cast<int>(128 + 100 * std::sin(fx * 7 + fy * 3 + shift)) + (inside ? 60 : 0) + grain;
            const int gr = static_cast<int>(128 + 90 * std::cos(fy * 9 - fx * 2 - shift)) + grain;
            const int b = static_cast<int>(110 + 80 * std::sin((fx + fy) * (5 + shift))) - (inside ? 50 : 0) + grain;
            p[0] = static_cast<std::uint8_t>(std::clamp(b, 0, 255));
            p[1] = static_cast<std::uint8_t>(std::clamp(gr, 0, 255));
            p[2] = static_cast<std::uint8_t>(std::clamp(r, 0, 255));
        }
    }
}

// One photo-like 4000 x 3000 picture for the whole program, made on first use.
inline TPixelGraphic& LargePhoto()
{
    static TPixelGraphic source;
    if (source.GetEmpty())
        PhotoLike(source, 4000, 3000);
    return source;
}

// Binary PPM of any image's colours.
inline void WritePPM(TPixelGraphic& g, const std::string& Path)
{
    std::ofstream out(Path, std::ios::binary);
    out << "P6\n" << g.GetWidth() << " " << g.GetHeight() << "\n255\n";
    std::string row(static_cast<std::size_t>(g.GetWidth()) * 3, '\0');
    for (int y = 0; y < g.GetHeight(); ++y) {
        for (int x = 0; x < g.GetWidth(); ++x) {
            const TColor c = g.GetPixelColor(x, y);
            row[static_cast<std::size_t>(x) * 3] = static_cast<char>(GetRValue(c));
            row[static_cast<std::size_t>(x) * 3 + 1] = static_cast<char>(GetGValue(c));
            row[static_cast<std::size_t>(x) * 3 + 2] = static_cast<char>(GetBValue(c));
        }
        out.write(row.data(), static_cast<std::streamsize>(row.size()));
    }
}

// The largest difference of one channel between two binary 8-bit PPM files,
// leaving out Border pixels at each edge (where tools extend the picture
// each their own way); -1 when a file is missing, unreadable or of another size.
inline int PPMDifference(const std::string& A, const std::string& B, int Border)
{
    struct TPPM {
        int W = 0, H = 0;
        std::vector<unsigned char> Bytes;
    };
    const auto read = [](const std::string& Path) {
        TPPM ppm;
        std::ifstream in(Path, std::ios::binary);
        std::string magic;
        int maxval = 0;
        in >> magic;
        // Header comments, as vips writes one.
        while (in >> std::ws && in.peek() == '#')
            in.ignore(1 << 16, '\n');
        in >> ppm.W >> ppm.H >> maxval;
        in.get();
        if (!in || magic != "P6" || maxval != 255 || ppm.W <= 0 || ppm.H <= 0)
            return TPPM{};
        ppm.Bytes.resize(std::size_t(ppm.W) * std::size_t(ppm.H) * 3);
        in.read(reinterpret_cast<char*>(ppm.Bytes.data()), std::streamsize(ppm.Bytes.size()));
        return in ? ppm : TPPM{};
    };
    const TPPM a = read(A), b = read(B);
    if (a.Bytes.empty() || a.W != b.W || a.H != b.H)
        return -1;
    int worst = 0;
    for (int y = Border; y < a.H - Border; ++y)
        for (int x = Border * 3; x < (a.W - Border) * 3; ++x) {
            const std::size_t i = (std::size_t(y) * std::size_t(a.W)) * 3 + std::size_t(x);
            worst = std::max(worst, std::abs(int(a.Bytes[i]) - int(b.Bytes[i])));
        }
    return worst;
}

inline std::string TempPath(const std::string& Name) { return "/tmp/lumeno_bench_" + Name; }

// The benchmark-only command beside the running benchmark program.
inline std::string ConvertTool()
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    return self.substr(0, self.rfind('/') + 1) + "lumeno_convert";
}

// Our command against the peer's, run alternately, best of Runs each (so
// first-touch page faults and a busy moment count for neither); the times
// and the ratio ours / peer go to the counters under Label and, with both
// command lines, to the output.
inline double ComparePeer(benchmark::State& State, const std::string& Label, const std::string& Ours,
                          const std::string& Peer, int Runs = 5)
{
    double ours = 1e30, peer = 1e30;
    for (int i = 0; i < Runs; ++i) {
        ours = std::min(ours, CommandMs(1, Ours));
        peer = std::min(peer, CommandMs(1, Peer));
    }
    State.counters[Label + "_ours_ms"] = ours;
    State.counters[Label + "_peer_ms"] = peer;
    State.counters[Label + "_ratio"] = ours / peer;
    std::printf("%-22s ours %8.1f ms  peer %8.1f ms  ours/peer %.2f\n  ours: %s\n  peer: %s\n", Label.c_str(),
                ours, peer, ours / peer, Ours.c_str(), Peer.c_str());
    std::fflush(stdout);
    return ours / peer;
}

} // namespace lumeno::bench
