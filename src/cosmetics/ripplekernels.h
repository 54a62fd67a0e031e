#pragma once
#include <cstdint>
#include <span>

// The inner loops of the water ripple, one row at a time. Each has a plain form that defines the
// results and vectorised forms (SSE2 where the compiler targets it, AVX2 and AVX-512 where the
// processor has them, chosen when the program runs); all give identical output.
namespace velanote::ripple {

// How far a height gradient bends the picture: an offset of gradient / 2^OffsetShift pixels,
// rounded down and, for a negative gradient, one pixel towards zero, so that gentle slopes either way
// (gradients from -2^OffsetShift to 2^OffsetShift - 1) leave the picture as it is.
inline constexpr int OffsetShift = 4;
// Light falling from one side: ShadeScale times the horizontal offset is added to each colour
// channel, so slopes facing the light brighten and the others darken.
inline constexpr int ShadeScale = 2;
// Damping: each new height loses (|height| + 2^DampingShift - 1) >> DampingShift of its size, so
// it shrinks by at least 1 whichever its sign and small heights die out instead of lingering.
inline constexpr int DampingShift = 6;
// Heights stay within +/- HeightLimit, so the sum of eight of them fits 16 bits.
inline constexpr int HeightLimit = 4095;

// One step of the wave for one row of `width` heights. `next` holds the heights of two steps ago
// and receives the new ones: next = (sum of the eight neighbours in the latest field) / 4 - next,
// rounded down, then damped and limited to +/- HeightLimit. The eight-neighbour sum keeps the
// rings round. `up`, `mid` and `down` are the latest field's rows above, at and below, and each
// must be readable from [-1] to [width]; every height read must lie within +/- HeightLimit.
// Returns whether any new height is not zero.
bool stepRow(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width);
bool stepRowPlain(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down, int width);

// Draws one row of `width` pixels of the rippled picture into `out`. `source` points at this row's
// first pixel inside a copy of the picture whose edge pixels are repeated `margin` times on every
// side, with `stride` pixels per row; margin is at most 63 and 2 * margin * (stride + 1) + 31 must
// not exceed 65535 (the widest form indexes 32 pixels from one base with 16-bit numbers). Each
// pixel is taken from (x + dx, y + dy), the offsets being the height gradient scaled down by
// OffsetShift and limited to +/- margin, and brightened or darkened by ShadeScale times dx. The
// gradients are the differences of the heights on either side of the pixel.
void renderRow(uint32_t* out, const uint32_t* source, int stride, int margin, const int16_t* up,
               const int16_t* mid, const int16_t* down, int width);
void renderRowPlain(uint32_t* out, const uint32_t* source, int stride, int margin, const int16_t* up,
                    const int16_t* mid, const int16_t* down, int width);

using StepRowKernel = bool (*)(int16_t* next, const int16_t* up, const int16_t* mid, const int16_t* down,
                               int width);
using RenderRowKernel = void (*)(uint32_t* out, const uint32_t* source, int stride, int margin,
                                 const int16_t* up, const int16_t* mid, const int16_t* down, int width);

// One set of the row loops, named after the instructions it uses.
struct Kernels {
    const char* name;
    StepRowKernel stepRow;
    RenderRowKernel renderRow;
};

// The sets this processor can run, fastest first; the last is the plain one.
std::span<const Kernels> availableKernels();
// The set that stepRow() and renderRow() use: the fastest available.
const Kernels& activeKernels();

} // namespace velanote::ripple
