#include "cosmetics/ripplekernels.h"

#include <algorithm>
#include <cstddef>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
#if defined(__SSE2__) && (defined(__x86_64__) || defined(__i386__))
#include <immintrin.h>
#define VELANOTE_RIPPLE_AVX2 1
// Functions built for processors with AVX2 or AVX-512 (F and BW); they run only where
// activeKernels() finds it.
#define AVX2_FUNCTION __attribute__((target("avx2")))
#define AVX512_FUNCTION __attribute__((target("avx2,avx512f,avx512bw")))
#endif

namespace velanote::ripple {

namespace {

inline int saturate16(int v) {
    return std::clamp(v, -32768, 32767);
}

// The offset for a height gradient: gradient / 2^OffsetShift rounded down, and for a negative
// gradient one more towards zero, so gentle slopes either way leave the picture where it is.
inline int offsetFor(int gradient) {
    return (gradient >> OffsetShift) + (gradient < 0 ? 1 : 0);
}

inline uint32_t shade(uint32_t pixel, int amount) {
    const auto channel = [amount](uint32_t p, int shift) {
        return uint32_t(std::clamp(int((p >> shift) & 0xFF) + amount, 0, 255)) << shift;
    };
    return (pixel & 0xFF000000u) | channel(pixel, 16) | channel(pixel, 8) | channel(pixel, 0);
}

} // namespace

bool stepRowPlain(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width) {
    constexpr int roundUp = (1 << DampingShift) - 1;
    bool any = false;
    for (int x = 0; x < width; ++x) {
        const int around =
            up[x - 1] + up[x] + up[x + 1] + mid[x - 1] + mid[x + 1] + down[x - 1] + down[x] + down[x + 1];
        int h = (around >> 2) - next[x];
        h -= (h + (h > 0 ? roundUp : 0)) >> DampingShift;
        h = std::clamp(h, -HeightLimit, HeightLimit);
        next[x] = int16_t(h);
        any |= h != 0;
    }
    return any;
}

void renderRowPlain(uint32_t* out, const uint32_t* source, int stride, int margin, const int16_t* up,
                    const int16_t* mid, const int16_t* down, int width) {
    for (int x = 0; x < width; ++x) {
        const int dx = saturate16(mid[x - 1] - mid[x + 1]);
        const int dy = saturate16(up[x] - down[x]);
        const int ox = std::clamp(offsetFor(dx), -margin, margin);
        const int oy = std::clamp(offsetFor(dy), -margin, margin);
        const int light = ShadeScale * ox;
        const uint32_t pixel = source[x + ox + oy * stride];
        out[x] = light == 0 ? pixel : shade(pixel, light);
    }
}

#if defined(__SSE2__)

namespace {

bool stepRowSse2(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width) {
    const __m128i roundUp = _mm_set1_epi16((1 << DampingShift) - 1);
    const __m128i zero = _mm_setzero_si128();
    const __m128i high = _mm_set1_epi16(HeightLimit);
    const __m128i low = _mm_set1_epi16(-HeightLimit);
    const auto load = [](const int16_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); };
    // The sum of a height and its left and right neighbours.
    const auto three = [&](const int16_t* row) {
        return _mm_add_epi16(_mm_add_epi16(load(row - 1), load(row)), load(row + 1));
    };
    __m128i any = zero;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        // Heights within +/- HeightLimit: the sum of eight fits 16 bits.
        const __m128i around = _mm_add_epi16(_mm_add_epi16(three(up + x), three(down + x)),
                                             _mm_add_epi16(load(mid + x - 1), load(mid + x + 1)));
        __m128i h = _mm_sub_epi16(_mm_srai_epi16(around, 2), load(next + x));
        const __m128i bias = _mm_and_si128(_mm_cmpgt_epi16(h, zero), roundUp);
        h = _mm_sub_epi16(h, _mm_srai_epi16(_mm_add_epi16(h, bias), DampingShift));
        h = _mm_min_epi16(_mm_max_epi16(h, low), high);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(next + x), h);
        any = _mm_or_si128(any, h);
    }
    const bool anyVector = _mm_movemask_epi8(_mm_cmpeq_epi16(any, zero)) != 0xFFFF;
    const bool anyTail = stepRowPlain(next + x, up + x, mid + x, down + x, width - x);
    return anyVector || anyTail;
}

// Four pixels at base[index[first]] to base[index[first + 3]].
template <int first> inline __m128i gather4(const uint32_t* base, const uint16_t* index) {
    const __m128i a = _mm_cvtsi32_si128(int(base[index[first + 0]]));
    const __m128i b = _mm_cvtsi32_si128(int(base[index[first + 1]]));
    const __m128i c = _mm_cvtsi32_si128(int(base[index[first + 2]]));
    const __m128i d = _mm_cvtsi32_si128(int(base[index[first + 3]]));
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(a, b), _mm_unpacklo_epi32(c, d));
}

// Adds a signed amount to each colour byte, saturating at 0 and 255: bytes are moved to the
// signed range, added with signed saturation and moved back.
inline __m128i addToColours(__m128i pixels, __m128i amounts) {
    const __m128i flip = _mm_set1_epi8(char(0x80));
    return _mm_xor_si128(_mm_adds_epi8(_mm_xor_si128(pixels, flip), amounts), flip);
}

void renderRowSse2(uint32_t* out, const uint32_t* source, int stride, int margin, const int16_t* up,
                   const int16_t* mid, const int16_t* down, int width) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i maxOffset = _mm_set1_epi16(int16_t(margin));
    const __m128i minOffset = _mm_set1_epi16(int16_t(-margin));
    const __m128i rowStep = _mm_set1_epi16(int16_t(stride));
    const auto offsets = [&](__m128i gradient) {
        // The shift by 15 is -1 for a negative gradient and 0 otherwise.
        const __m128i offset =
            _mm_sub_epi16(_mm_srai_epi16(gradient, OffsetShift), _mm_srai_epi16(gradient, 15));
        return _mm_min_epi16(_mm_max_epi16(offset, minOffset), maxOffset);
    };
    // Pixel indices are counted from `margin` rows up and `margin` columns left of the block's
    // first pixel, so they are never negative and fit unsigned 16-bit lanes.
    const __m128i lanes = _mm_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7);
    const __m128i marginVec = _mm_set1_epi16(int16_t(margin));
    const __m128i laneBase = _mm_add_epi16(lanes, marginVec);
    const __m128i unmoved = _mm_add_epi16(_mm_set1_epi16(int16_t(margin * stride + margin)), lanes);
    const uint32_t* corner = source - std::ptrdiff_t(margin) * stride - margin;
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i dx = _mm_subs_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mid + x - 1)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(mid + x + 1)));
        const __m128i dy = _mm_subs_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(up + x)),
                                          _mm_loadu_si128(reinterpret_cast<const __m128i*>(down + x)));
        const __m128i ox = offsets(dx);
        const __m128i oy = offsets(dy);
        const __m128i index = _mm_add_epi16(_mm_mullo_epi16(_mm_add_epi16(oy, marginVec), rowStep),
                                            _mm_add_epi16(ox, laneBase));
        static_assert(ShadeScale == 2);
        const __m128i light = _mm_add_epi16(ox, ox);

        // Unmoved pixels are unlit too.
        if (_mm_movemask_epi8(_mm_cmpeq_epi16(index, unmoved)) == 0xFFFF) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4),
                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x + 4)));
            continue;
        }
        // The indices go through memory: eight plain 16-bit loads cost less than eight extractions
        // from the register, which the compiler would otherwise choose.
        alignas(16) uint16_t indices[8];
        _mm_store_si128(reinterpret_cast<__m128i*>(indices), index);
        asm volatile("" : : "r"(indices) : "memory");
        const uint32_t* base = corner + x;
        const __m128i low = gather4<0>(base, indices);
        const __m128i high = gather4<4>(base, indices);

        // Each pixel's light as a signed byte on its three colour bytes, 0 on its alpha byte.
        const __m128i lightBytes = _mm_packs_epi16(light, light);
        const __m128i lightPairs = _mm_unpacklo_epi8(lightBytes, lightBytes);
        const __m128i lightAlone = _mm_unpacklo_epi8(lightBytes, zero);
        const __m128i lightLow = _mm_unpacklo_epi16(lightPairs, lightAlone);
        const __m128i lightHigh = _mm_unpackhi_epi16(lightPairs, lightAlone);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), addToColours(low, lightLow));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), addToColours(high, lightHigh));
    }
    renderRowPlain(out + x, source + x, stride, margin, up + x, mid + x, down + x, width - x);
}

} // namespace

#endif

#if defined(VELANOTE_RIPPLE_AVX2)

namespace {

AVX2_FUNCTION inline __m256i load16(const int16_t* p) {
    return _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p));
}

// The sum of sixteen heights and their left and right neighbours.
AVX2_FUNCTION inline __m256i sumOfThree(const int16_t* row) {
    return _mm256_add_epi16(_mm256_add_epi16(load16(row - 1), load16(row)), load16(row + 1));
}

AVX2_FUNCTION bool stepRowAvx2(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down,
                               int width) {
    const __m256i roundUp = _mm256_set1_epi16((1 << DampingShift) - 1);
    const __m256i zero = _mm256_setzero_si256();
    const __m256i high = _mm256_set1_epi16(HeightLimit);
    const __m256i low = _mm256_set1_epi16(-HeightLimit);
    __m256i any = zero;
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i around = _mm256_add_epi16(_mm256_add_epi16(sumOfThree(up + x), sumOfThree(down + x)),
                                                _mm256_add_epi16(load16(mid + x - 1), load16(mid + x + 1)));
        __m256i h = _mm256_sub_epi16(_mm256_srai_epi16(around, 2), load16(next + x));
        const __m256i bias = _mm256_and_si256(_mm256_cmpgt_epi16(h, zero), roundUp);
        h = _mm256_sub_epi16(h, _mm256_srai_epi16(_mm256_add_epi16(h, bias), DampingShift));
        h = _mm256_min_epi16(_mm256_max_epi16(h, low), high);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(next + x), h);
        any = _mm256_or_si256(any, h);
    }
    const bool anyVector = _mm256_testz_si256(any, any) == 0;
    return x < width ? stepRowSse2(next + x, up + x, mid + x, down + x, width - x) || anyVector : anyVector;
}

// The offsets for sixteen height gradients, limited to +/- margin.
AVX2_FUNCTION inline __m256i offsetsFor(__m256i gradient, __m256i minOffset, __m256i maxOffset) {
    // The shift by 15 is -1 for a negative gradient and 0 otherwise.
    const __m256i offset =
        _mm256_sub_epi16(_mm256_srai_epi16(gradient, OffsetShift), _mm256_srai_epi16(gradient, 15));
    return _mm256_min_epi16(_mm256_max_epi16(offset, minOffset), maxOffset);
}

// Adds a signed amount to each colour byte, saturating at 0 and 255: bytes are moved to the signed
// range, added with signed saturation and moved back.
AVX2_FUNCTION inline __m256i addToColours(__m256i pixels, __m256i amounts) {
    const __m256i flip = _mm256_set1_epi8(char(0x80));
    return _mm256_xor_si256(_mm256_adds_epi8(_mm256_xor_si256(pixels, flip), amounts), flip);
}

AVX2_FUNCTION void renderRowAvx2(uint32_t* out, const uint32_t* source, int stride, int margin,
                                 const int16_t* up, const int16_t* mid, const int16_t* down, int width) {
    const __m256i maxOffset = _mm256_set1_epi16(int16_t(margin));
    const __m256i minOffset = _mm256_set1_epi16(int16_t(-margin));
    const __m256i rowStep = _mm256_set1_epi16(int16_t(stride));
    // Pixel indices are counted from `margin` rows up and `margin` columns left of the block's
    // first pixel, so they are never negative and fit unsigned 16-bit lanes.
    const __m256i lanes = _mm256_setr_epi16(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m256i marginVec = _mm256_set1_epi16(int16_t(margin));
    const __m256i laneBase = _mm256_add_epi16(lanes, marginVec);
    const __m256i unmoved = _mm256_add_epi16(_mm256_set1_epi16(int16_t(margin * stride + margin)), lanes);
    // Spreads the low bytes of the 16-bit lights of pixels 0 to 7 over their three colour bytes
    // (alpha gets 0).
    const __m256i spreadLight =
        _mm256_setr_epi8(0, 0, 0, -128, 2, 2, 2, -128, 4, 4, 4, -128, 6, 6, 6, -128, 8, 8, 8, -128, 10, 10,
                         10, -128, 12, 12, 12, -128, 14, 14, 14, -128);
    const uint32_t* corner = source - std::ptrdiff_t(margin) * stride - margin;
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const __m256i dx = _mm256_subs_epi16(load16(mid + x - 1), load16(mid + x + 1));
        const __m256i dy = _mm256_subs_epi16(load16(up + x), load16(down + x));
        const __m256i ox = offsetsFor(dx, minOffset, maxOffset);
        const __m256i oy = offsetsFor(dy, minOffset, maxOffset);
        const __m256i index = _mm256_add_epi16(_mm256_mullo_epi16(_mm256_add_epi16(oy, marginVec), rowStep),
                                               _mm256_add_epi16(ox, laneBase));
        auto* target = reinterpret_cast<__m256i*>(out + x);
        // Unmoved pixels are unlit too.
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi16(index, unmoved)) == -1) {
            _mm256_storeu_si256(target, _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + x)));
            _mm256_storeu_si256(target + 1,
                                _mm256_loadu_si256(reinterpret_cast<const __m256i*>(source + x + 8)));
            continue;
        }
        const auto* base = reinterpret_cast<const int*>(corner + x);
        const __m256i low =
            _mm256_i32gather_epi32(base, _mm256_cvtepu16_epi32(_mm256_castsi256_si128(index)), 4);
        const __m256i high =
            _mm256_i32gather_epi32(base, _mm256_cvtepu16_epi32(_mm256_extracti128_si256(index, 1)), 4);
        static_assert(ShadeScale == 2);
        // Lights within +/- 2 * margin fit a signed byte, the low byte of each 16-bit lane.
        const __m256i light = _mm256_add_epi16(ox, ox);
        const __m256i lightLow = _mm256_shuffle_epi8(_mm256_permute4x64_epi64(light, 0x44), spreadLight);
        const __m256i lightHigh = _mm256_shuffle_epi8(_mm256_permute4x64_epi64(light, 0xEE), spreadLight);
        _mm256_storeu_si256(target, addToColours(low, lightLow));
        _mm256_storeu_si256(target + 1, addToColours(high, lightHigh));
    }
    if (x < width) {
        renderRowSse2(out + x, source + x, stride, margin, up + x, mid + x, down + x, width - x);
    }
}

// The AVX-512 forms: the AVX2 ones at twice the width, thirty-two heights or pixels at a time.
// The masked forms of the intrinsics are used with every lane set: the plain ones start from an
// undefined register, which GCC 12 takes for a read of an uninitialised value.

constexpr __mmask16 All16 = 0xFFFF;
constexpr __mmask8 All8 = 0xFF;

AVX512_FUNCTION inline __m512i gather16(__m512i indices, const int* base) {
    return _mm512_mask_i32gather_epi32(_mm512_setzero_si512(), All16, indices, base, 4);
}

AVX512_FUNCTION inline __m512i load32(const int16_t* p) {
    return _mm512_loadu_si512(p);
}

AVX512_FUNCTION inline __m512i sumOfThree32(const int16_t* row) {
    return _mm512_add_epi16(_mm512_add_epi16(load32(row - 1), load32(row)), load32(row + 1));
}

AVX512_FUNCTION bool stepRowAvx512(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down,
                                   int width) {
    const __m512i roundUp = _mm512_set1_epi16((1 << DampingShift) - 1);
    const __m512i zero = _mm512_setzero_si512();
    const __m512i high = _mm512_set1_epi16(HeightLimit);
    const __m512i low = _mm512_set1_epi16(-HeightLimit);
    __m512i any = zero;
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m512i around =
            _mm512_add_epi16(_mm512_add_epi16(sumOfThree32(up + x), sumOfThree32(down + x)),
                             _mm512_add_epi16(load32(mid + x - 1), load32(mid + x + 1)));
        __m512i h = _mm512_sub_epi16(_mm512_srai_epi16(around, 2), load32(next + x));
        const __m512i bias = _mm512_maskz_mov_epi16(_mm512_cmpgt_epi16_mask(h, zero), roundUp);
        h = _mm512_sub_epi16(h, _mm512_srai_epi16(_mm512_add_epi16(h, bias), DampingShift));
        h = _mm512_min_epi16(_mm512_max_epi16(h, low), high);
        _mm512_storeu_si512(next + x, h);
        any = _mm512_or_si512(any, h);
    }
    const bool anyVector = _mm512_test_epi16_mask(any, any) != 0;
    return x < width ? stepRowAvx2(next + x, up + x, mid + x, down + x, width - x) || anyVector : anyVector;
}

AVX512_FUNCTION inline __m512i offsetsFor32(__m512i gradient, __m512i minOffset, __m512i maxOffset) {
    const __m512i offset =
        _mm512_sub_epi16(_mm512_srai_epi16(gradient, OffsetShift), _mm512_srai_epi16(gradient, 15));
    return _mm512_min_epi16(_mm512_max_epi16(offset, minOffset), maxOffset);
}

AVX512_FUNCTION inline __m512i addToColours32(__m512i pixels, __m512i amounts) {
    const __m512i flip = _mm512_set1_epi8(char(0x80));
    return _mm512_xor_si512(_mm512_adds_epi8(_mm512_xor_si512(pixels, flip), amounts), flip);
}

AVX512_FUNCTION void renderRowAvx512(uint32_t* out, const uint32_t* source, int stride, int margin,
                                     const int16_t* up, const int16_t* mid, const int16_t* down, int width) {
    static constexpr int16_t laneNumbers[32] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10,
                                                11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21,
                                                22, 23, 24, 25, 26, 27, 28, 29, 30, 31};
    const __m512i maxOffset = _mm512_set1_epi16(int16_t(margin));
    const __m512i minOffset = _mm512_set1_epi16(int16_t(-margin));
    const __m512i rowStep = _mm512_set1_epi16(int16_t(stride));
    const __m512i lanes = load32(laneNumbers);
    const __m512i marginVec = _mm512_set1_epi16(int16_t(margin));
    const __m512i laneBase = _mm512_add_epi16(lanes, marginVec);
    const __m512i unmoved = _mm512_add_epi16(_mm512_set1_epi16(int16_t(margin * stride + margin)), lanes);
    // Spreads the low byte of each pixel's 32-bit light over its three colour bytes (alpha gets 0).
    const __m512i spreadLight = _mm512_maskz_broadcast_i32x4(
        All16, _mm_setr_epi8(0, 0, 0, -128, 4, 4, 4, -128, 8, 8, 8, -128, 12, 12, 12, -128));
    const uint32_t* corner = source - std::ptrdiff_t(margin) * stride - margin;
    int x = 0;
    for (; x + 32 <= width; x += 32) {
        const __m512i dx = _mm512_subs_epi16(load32(mid + x - 1), load32(mid + x + 1));
        const __m512i dy = _mm512_subs_epi16(load32(up + x), load32(down + x));
        const __m512i ox = offsetsFor32(dx, minOffset, maxOffset);
        const __m512i oy = offsetsFor32(dy, minOffset, maxOffset);
        const __m512i index = _mm512_add_epi16(_mm512_mullo_epi16(_mm512_add_epi16(oy, marginVec), rowStep),
                                               _mm512_add_epi16(ox, laneBase));
        uint32_t* target = out + x;
        // Unmoved pixels are unlit too.
        if (_mm512_cmpeq_epi16_mask(index, unmoved) == 0xFFFFFFFFU) {
            _mm512_storeu_si512(target, _mm512_loadu_si512(source + x));
            _mm512_storeu_si512(target + 16, _mm512_loadu_si512(source + x + 16));
            continue;
        }
        const auto* base = reinterpret_cast<const int*>(corner + x);
        const __m512i low = gather16(
            _mm512_maskz_cvtepu16_epi32(All16, _mm512_maskz_extracti64x4_epi64(All8, index, 0)), base);
        const __m512i high = gather16(
            _mm512_maskz_cvtepu16_epi32(All16, _mm512_maskz_extracti64x4_epi64(All8, index, 1)), base);
        static_assert(ShadeScale == 2);
        // Lights within +/- 2 * margin fit a signed byte, the low byte of each 32-bit lane.
        const __m512i light = _mm512_add_epi16(ox, ox);
        const __m512i lightLow = _mm512_shuffle_epi8(
            _mm512_maskz_cvtepi16_epi32(All16, _mm512_maskz_extracti64x4_epi64(All8, light, 0)), spreadLight);
        const __m512i lightHigh = _mm512_shuffle_epi8(
            _mm512_maskz_cvtepi16_epi32(All16, _mm512_maskz_extracti64x4_epi64(All8, light, 1)), spreadLight);
        _mm512_storeu_si512(target, addToColours32(low, lightLow));
        _mm512_storeu_si512(target + 16, addToColours32(high, lightHigh));
    }
    if (x < width) {
        renderRowAvx2(out + x, source + x, stride, margin, up + x, mid + x, down + x, width - x);
    }
}

} // namespace

#endif

namespace {

std::span<const Kernels> kernelsOfThisProcessor() {
    static const std::vector<Kernels> kernels = [] {
        std::vector<Kernels> found;
#if defined(VELANOTE_RIPPLE_AVX2)
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw")) {
            found.push_back({"avx512", stepRowAvx512, renderRowAvx512});
        }
        if (__builtin_cpu_supports("avx2")) {
            found.push_back({"avx2", stepRowAvx2, renderRowAvx2});
        }
#endif
#if defined(__SSE2__)
        found.push_back({"sse2", stepRowSse2, renderRowSse2});
#endif
        found.push_back({"plain", stepRowPlain, renderRowPlain});
        return found;
    }();
    return kernels;
}

} // namespace

std::span<const Kernels> availableKernels() {
    return kernelsOfThisProcessor();
}

const Kernels& activeKernels() {
    return kernelsOfThisProcessor().front();
}

bool stepRow(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width) {
    static const StepRowKernel kernel = activeKernels().stepRow;
    return kernel(next, up, mid, down, width);
}

void renderRow(uint32_t* out, const uint32_t* source, int stride, int margin, const int16_t* up,
               const int16_t* mid, const int16_t* down, int width) {
    static const RenderRowKernel kernel = activeKernels().renderRow;
    kernel(out, source, stride, margin, up, mid, down, width);
}

} // namespace velanote::ripple
