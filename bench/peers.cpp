// Whole runs of the library (the benchmark-only lumeno_convert) against the
// peer tools on one 4000 x 3000 photo-like picture, each pair alternating,
// best of five. Run it plain and under `taskset -c N` for one core: the
// peers and our command inherit the pinning. A missing peer is skipped.

#include "bench_support.h"
#include "imagelib/filters/conv_filter.h"
#include "imagelib/parallel_ranges.h"
#include "imagelib/pg_globals.h"
#include "imagelib/pg_startup.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <string>
#include <unistd.h>

namespace lumeno::bench {
namespace {

// Named after the process: benchmarks run side by side must not overwrite
// each other's pictures.
std::string OwnPath(const std::string& Name)
{
    return TempPath("peers_" + std::to_string(::getpid()) + "_" + Name);
}

struct TFiles {
    std::string Ppm = OwnPath("in.ppm");
    std::string Jpeg = OwnPath("in.jpg");
    std::string Gif = OwnPath("in.gif");
    std::string Out = OwnPath("out.ppm");
    std::string PeerOut = OwnPath("peer_out.ppm");
    std::string OutJpeg = OwnPath("out.jpg");
    std::string Kernel = OwnPath("kernel.mat");
    std::string ImageMagickKernel;
    int KernelSum = 1;

    ~TFiles()
    {
        for (const std::string* path : {&Ppm, &Jpeg, &Gif, &Out, &PeerOut, &OutJpeg, &Kernel})
            std::remove(path->c_str());
        std::remove((PeerOut + ".v").c_str());
    }
};

// The 3 x 3 sharpening kernel of the library, for the peers.
void WriteKernel(TFiles& f)
{
    TConvFilter filter;
    filter.SetSharpenKernel(dsGaussian, true, 0.75L, 50);
    std::ofstream mat(f.Kernel);
    int sum = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            sum += filter.GetKernel(x, y);
    f.KernelSum = sum;
    mat << "3 3 " << sum << " 0\n";
    for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 3; ++x) {
            mat << filter.GetKernel(x, y) << (x < 2 ? " " : "\n");
            f.ImageMagickKernel += std::to_string(filter.GetKernel(x, y)) + (x < 2 || y < 2 ? "," : "");
        }
    }
}

const TFiles& Files()
{
    static TFiles files = [] {
        TFiles f;
        PGStartup();
        JPEGQuality = 90;
        LargePhoto().SaveToFile(f.Jpeg);
        WritePPM(LargePhoto(), f.Ppm);
        CommandMs(1, std::string(ImageMagick) + " " + f.Ppm + " -colors 256 " + f.Gif);
        WriteKernel(f);
        std::printf("CPUs available: %d\n", AvailableCpus());
        return f;
    }();
    return files;
}

// Skips the benchmark unless every tool is there.
bool Need(benchmark::State& state, std::initializer_list<const char*> tools)
{
    for (const char* tool : tools)
        if (!HaveTool(tool)) {
            state.SkipWithError((std::string(tool) + " is not installed").c_str());
            return false;
        }
    return true;
}

std::string Ours(const std::string& args)
{
    return ConvertTool() + " " + args;
}

void BM_JpegLoad(benchmark::State& state)
{
    if (!Need(state, {"djpeg"}))
        return;
    const TFiles& f = Files();
    for (auto _ : state) {
        ComparePeer(state, "jpeg_load_vs_ppm", Ours(f.Jpeg), "djpeg -outfile /dev/null " + f.Jpeg);
        ComparePeer(state, "jpeg_load_vs_bmp", Ours(f.Jpeg), "djpeg -bmp -outfile /dev/null " + f.Jpeg);
    }
}
BENCHMARK(BM_JpegLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_JpegSave(benchmark::State& state)
{
    if (!Need(state, {"cjpeg"}))
        return;
    const TFiles& f = Files();
    for (auto _ : state)
        ComparePeer(state, "jpeg_save_q90", Ours(f.Ppm + " " + f.OutJpeg),
                    "cjpeg -dct float -quality 90 -outfile " + f.OutJpeg + " " + f.Ppm);
}
BENCHMARK(BM_JpegSave)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_PpmAndGifLoad(benchmark::State& state)
{
    if (!Need(state, {"pamtopnm", "giftopnm", ImageMagick}))
        return;
    const TFiles& f = Files();
    for (auto _ : state) {
        ComparePeer(state, "ppm_load", Ours(f.Ppm), "pamtopnm " + f.Ppm + " >/dev/null");
        ComparePeer(state, "gif_load", Ours(f.Gif), "giftopnm " + f.Gif + " >/dev/null");
    }
}
BENCHMARK(BM_PpmAndGifLoad)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Stretch(benchmark::State& state)
{
    if (!Need(state, {ImageMagick}))
        return;
    const TFiles& f = Files();
    for (auto _ : state)
        for (const char* percent : {"200", "25"})
            ComparePeer(state, std::string("stretch_") + percent, Ours(f.Ppm + " " + f.Out + " scale " + percent),
                        std::string(ImageMagick) + " " + f.Ppm + " -scale " + percent + "% " + f.Out);
}
BENCHMARK(BM_Stretch)->Iterations(1)->Unit(benchmark::kMillisecond);

void BM_Rotate(benchmark::State& state)
{
    if (!Need(state, {"vips"}))
        return;
    const TFiles& f = Files();
    for (auto _ : state) {
        ComparePeer(state, "rotate_33_bilinear", Ours(f.Ppm + " " + f.Out + " rotate 33"),
                    "vips rotate " + f.Ppm + " " + f.Out + " 33 --interpolate bilinear");
        ComparePeer(state, "rotate_90", Ours(f.Ppm + " " + f.Out + " rotate 90"),
                    "vips rot " + f.Ppm + " " + f.Out + " d90");
    }
}
BENCHMARK(BM_Rotate)->Iterations(1)->Unit(benchmark::kMillisecond);

// A peer's time counts only when its picture agrees with ours (within 1
// per channel away from the edges).
bool SameSharpening(benchmark::State& state, const std::string& Peer)
{
    const TFiles& f = Files();
    CommandMs(1, Ours(f.Ppm + " " + f.Out + " sharpen"));
    CommandMs(1, Peer);
    const int difference = PPMDifference(f.Out, f.PeerOut, 1);
    std::printf("sharpen peer differs by at most %d per channel: %s\n", difference, Peer.c_str());
    if (difference >= 0 && difference <= 1)
        return true;
    state.SkipWithError("the peer's sharpened picture differs from ours");
    return false;
}

void BM_Sharpen(benchmark::State& state)
{
    const TFiles& f = Files();
    const std::string ours = Ours(f.Ppm + " " + f.Out + " sharpen");
    // The kernel divided by its own sum, as ours is.
    char scale[32];
    std::snprintf(scale, sizeof scale, "%.12g", 1.0 / f.KernelSum);
    const std::string im = std::string(ImageMagick) + " " + f.Ppm + " -define convolve:scale=" + scale +
                           " -morphology Convolve 3x3:" + f.ImageMagickKernel + " " + f.PeerOut;
    // Integer convolution gives wider pixels: cast back to bytes, as ours are.
    const std::string vips = "vips conv " + f.Ppm + " " + f.PeerOut + ".v " + f.Kernel +
                             " --precision integer && vips cast " + f.PeerOut + ".v " + f.PeerOut + " uchar";
    for (auto _ : state) {
        if (HaveTool(ImageMagick) && SameSharpening(state, im))
            ComparePeer(state, "sharpen_3x3_vs_im", ours, im);
        if (HaveTool("vips") && SameSharpening(state, vips))
            ComparePeer(state, "sharpen_3x3_vs_vips", ours, vips);
    }
}
BENCHMARK(BM_Sharpen)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace lumeno::bench
