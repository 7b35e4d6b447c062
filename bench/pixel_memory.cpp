// A one-off operation on fresh pixel memory of a 12 MP photo, with and
// without huge-page advice, right after another process has freed a lot of
// memory (as when a program closes while the viewer starts): the kernel then
// has to compact memory to hand out huge pages. Both ways alternate in one
// run; the processor times and the ratio are printed. Pixel memory keeps
// the advice only while this shows it faster.

#include <benchmark/benchmark.h>

#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kPhoto = std::size_t{4000} * 3000 * 3;
constexpr std::size_t kHugePage = std::size_t{2} << 20;
constexpr std::size_t kMapped = (kPhoto + kHugePage - 1) / kHugePage * kHugePage;

// A neighbour that fills and frees memory in small pages, leaving it
// fragmented behind it.
void NeighbourFreesMemory()
{
    const pid_t child = ::fork();
    if (child == 0) {
        const std::size_t bytes = std::size_t{512} << 20;
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p != MAP_FAILED) {
            ::madvise(p, bytes, MADV_NOHUGEPAGE);
            std::memset(p, 1, bytes);
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
}

// Processor time of this thread, kernel time (faults, clearing, compaction)
// included: on a shared machine wall time mostly measures the waiting.
double ThreadCpuMs()
{
    timespec now {};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// What a decoder does with a new picture: every row written once, then read.
double OneOffMs(bool Hinted)
{
    NeighbourFreesMemory();
    const double start = ThreadCpuMs();
    void* m = ::mmap(nullptr, kMapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (m == MAP_FAILED)
        return 0;
    if (Hinted)
        ::madvise(m, kMapped, MADV_HUGEPAGE);
    auto* p = static_cast<std::uint8_t*>(m);
    for (std::size_t row = 0; row < kPhoto; row += 12000)
        std::memset(p + row, int(row & 0xFF), 12000);
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < kPhoto; i += 64)
        sum += p[i];
    benchmark::DoNotOptimize(sum);
    ::munmap(m, kMapped);
    return ThreadCpuMs() - start;
}

void BM_FreshPhotoMemoryHintedAndPlain(benchmark::State& state)
{
    double hinted = 0, plain = 0;
    int rounds = 0;
    for (auto _ : state) {
        hinted += OneOffMs(true);
        plain += OneOffMs(false);
        ++rounds;
    }
    hinted /= rounds;
    plain /= rounds;
    state.counters["hinted_ms"] = hinted;
    state.counters["plain_ms"] = plain;
    state.counters["hinted_over_plain"] = hinted / plain;
    std::printf("fresh 12 MP block, mean CPU of %d: huge-page advice %.1f ms, none %.1f ms, advice/none %.2f\n", rounds,
                hinted, plain, hinted / plain);
}
BENCHMARK(BM_FreshPhotoMemoryHintedAndPlain)->Unit(benchmark::kMillisecond)->Iterations(10)->UseRealTime();

} // namespace
