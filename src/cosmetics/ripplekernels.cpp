#include "cosmetics/ripplekernels.h"

#include <algorithm>
#include <cstddef>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace velanote::ripple {

namespace {

inline int saturate16(int v) {
    return std::clamp(v, -32768, 32767);
}

// value / 2^shift rounded to the nearest whole number, so slight slopes either way give 0.
inline int roundedShift(int value, int shift) {
    return (value + (1 << (shift - 1))) >> shift;
}

inline uint32_t shade(uint32_t pixel, int amount) {
    const auto channel = [amount](uint32_t p, int shift) {
        return uint32_t(std::clamp(int((p >> shift) & 0xFF) + amount, 0, 255)) << shift;
    };
    return (pixel & 0xFF000000u) | channel(pixel, 16) | channel(pixel, 8) | channel(pixel, 0);
}

} // namespace

bool stepRowPlain(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width) {
    bool any = false;
    for (int x = 0; x < width; ++x) {
        const int across = saturate16(mid[x - 1] + mid[x + 1]);
        const int along = saturate16(up[x] + down[x]);
        int h = saturate16(((across + along) >> 1) - next[x]);
        h -= h >> DampingShift;
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
        const int ox = std::clamp(roundedShift(dx, OffsetShift), -margin, margin);
        const int oy = std::clamp(roundedShift(dy, OffsetShift), -margin, margin);
        const int light = std::clamp(roundedShift(dx, ShadeShift), -ShadeLimit, ShadeLimit);
        const uint32_t pixel = source[x + ox + oy * stride];
        out[x] = light == 0 ? pixel : shade(pixel, light);
    }
}

#if defined(__SSE2__)

bool stepRow(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width) {
    const __m128i one = _mm_set1_epi16(1);
    __m128i any = _mm_setzero_si128();
    int x = 0;
    for (; x + 8 <= width; x += 8) {
        const __m128i across = _mm_adds_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(mid + x - 1)),
                                              _mm_loadu_si128(reinterpret_cast<const __m128i*>(mid + x + 1)));
        const __m128i along = _mm_adds_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(up + x)),
                                             _mm_loadu_si128(reinterpret_cast<const __m128i*>(down + x)));
        // (across + along) >> 1 without a 17-bit intermediate.
        const __m128i half = _mm_add_epi16(_mm_add_epi16(_mm_srai_epi16(across, 1), _mm_srai_epi16(along, 1)),
                                           _mm_and_si128(_mm_and_si128(across, along), one));
        __m128i h = _mm_subs_epi16(half, _mm_loadu_si128(reinterpret_cast<const __m128i*>(next + x)));
        h = _mm_sub_epi16(h, _mm_srai_epi16(h, DampingShift));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(next + x), h);
        any = _mm_or_si128(any, h);
    }
    const bool anyVector = _mm_movemask_epi8(_mm_cmpeq_epi16(any, _mm_setzero_si128())) != 0xFFFF;
    const bool anyTail = stepRowPlain(next + x, up + x, mid + x, down + x, width - x);
    return anyVector || anyTail;
}

namespace {

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

} // namespace

void renderRow(uint32_t* out, const uint32_t* source, int stride, int margin, const int16_t* up,
               const int16_t* mid, const int16_t* down, int width) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i maxOffset = _mm_set1_epi16(int16_t(margin));
    const __m128i minOffset = _mm_set1_epi16(int16_t(-margin));
    const __m128i rowStep = _mm_set1_epi16(int16_t(stride));
    const __m128i maxLight = _mm_set1_epi16(ShadeLimit);
    const __m128i minLight = _mm_set1_epi16(-ShadeLimit);
    const __m128i offsetHalf = _mm_set1_epi16(1 << (OffsetShift - 1));
    const __m128i shadeHalf = _mm_set1_epi16(1 << (ShadeShift - 1));
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
        const __m128i ox = _mm_min_epi16(
            _mm_max_epi16(_mm_srai_epi16(_mm_adds_epi16(dx, offsetHalf), OffsetShift), minOffset), maxOffset);
        const __m128i oy = _mm_min_epi16(
            _mm_max_epi16(_mm_srai_epi16(_mm_adds_epi16(dy, offsetHalf), OffsetShift), minOffset), maxOffset);
        const __m128i index = _mm_add_epi16(_mm_mullo_epi16(_mm_add_epi16(oy, marginVec), rowStep),
                                            _mm_add_epi16(ox, laneBase));
        const __m128i light = _mm_min_epi16(
            _mm_max_epi16(_mm_srai_epi16(_mm_adds_epi16(dx, shadeHalf), ShadeShift), minLight), maxLight);

        if (_mm_movemask_epi8(_mm_and_si128(_mm_cmpeq_epi16(index, unmoved), _mm_cmpeq_epi16(light, zero))) ==
            0xFFFF) {
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

#else

bool stepRow(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width) {
    return stepRowPlain(next, up, mid, down, width);
}

void renderRow(uint32_t* out, const uint32_t* source, int stride, int margin, const int16_t* up,
               const int16_t* mid, const int16_t* down, int width) {
    renderRowPlain(out, source, stride, margin, up, mid, down, width);
}

#endif

} // namespace velanote::ripple
