#pragma once
#include <cstdint>

// The inner loops of the water ripple, one row at a time. Each has a vectorised form (SSE2 where the
// compiler targets it) and a plain form that defines the results; both give identical output.
namespace velanote::ripple {

// How far a height gradient bends the picture: an offset of gradient / 2^OffsetShift pixels,
// rounded to the nearest whole pixel.
inline constexpr int OffsetShift = 4;
// Light falling from one side: the horizontal gradient / 2^ShadeShift, rounded, added to each
// colour channel and limited to +/- ShadeLimit.
inline constexpr int ShadeShift = 3;
inline constexpr int ShadeLimit = 48;
// Damping: each new height loses (height >> DampingShift) of itself.
inline constexpr int DampingShift = 5;

// One step of the wave for one row of `width` heights. `next` holds the heights of two steps ago
// and receives the new ones: next = (sum of the four neighbours in the latest field) / 2 - next,
// then next -= next >> DampingShift, in 16-bit arithmetic that saturates instead of wrapping.
// `up`, `mid` and `down` are the latest field's rows above, at and below; mid[-1] and mid[width]
// must be readable. Returns whether any new height is not zero.
bool stepRow(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width);
bool stepRowPlain(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width);

// Draws one row of `width` pixels of the rippled picture into `out`. `source` points at this row's
// first pixel inside a copy of the picture whose edge pixels are repeated `margin` times on every
// side, with `stride` pixels per row; 2 * margin * (stride + 1) + 7 must not exceed 65535. Each
// pixel is taken from (x + dx, y + dy), the offsets being the height gradient scaled down by
// OffsetShift and limited to +/- margin, and brightened or darkened by the horizontal gradient.
// The gradients are the differences of the heights on either side of the pixel.
void renderRow(uint32_t* out, const uint32_t* source, int stride, int margin, const int16_t* up,
               const int16_t* mid, const int16_t* down, int width);
void renderRowPlain(uint32_t* out, const uint32_t* source, int stride, int margin, const int16_t* up,
                    const int16_t* mid, const int16_t* down, int width);

} // namespace velanote::ripple
