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

bool stepRow(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width) {
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
