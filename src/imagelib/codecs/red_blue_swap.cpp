#include "imagelib/codecs/red_blue_swap.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define LUMENO_BYTE_SHUFFLE 1
#endif

namespace lumeno {

namespace {

void SwapPixels(const std::uint8_t* in, std::uint8_t* out, std::size_t pixels)
{
    for (std::size_t i = 0; i < pixels; ++i, in += 3, out += 3) {
        const std::uint8_t first = in[0];
        out[0] = in[2];
        out[1] = in[1];
        out[2] = first;
    }
}

#ifdef LUMENO_BYTE_SHUFFLE
// Five pixels per sixteen bytes; the sixteenth byte goes back unchanged, so
// that a row turned in place never loses the next pixel's first byte.
__attribute__((target("ssse3"))) void ShufflePixels(const std::uint8_t* in, std::uint8_t* out,
                                                    std::size_t pixels)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    std::size_t i = 0;
    for (; i + 6 <= pixels; i += 5, in += 15, out += 15) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), _mm_shuffle_epi8(v, order));
    }
    SwapPixels(in, out, pixels - i);
}
#endif

} // namespace

void SwapRedBlue(const std::uint8_t* In, std::uint8_t* Out, std::size_t Pixels)
{
#ifdef LUMENO_BYTE_SHUFFLE
    static const bool shuffle = __builtin_cpu_supports("ssse3");
    if (shuffle) {
        ShufflePixels(In, Out, Pixels);
        return;
    }
#endif
    SwapPixels(In, Out, Pixels);
}

} // namespace lumeno
