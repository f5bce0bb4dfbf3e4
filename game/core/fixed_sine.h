#pragma once
// Fixed-point sine and cosine, as the rules' movements and effects use them.

#include <array>
#include <cstdint>

// A quarter sine wave in 16.16 fixed point: entry i = sin(i * 3.14 * 0.5 / 64) * 65536, truncated. The
// rules were tuned with 3.14 for pi, so the table never reaches 65536.
using FixedSineTable = std::array<std::int32_t, 64>;
FixedSineTable MakeFixedSineTable();
// Angles run 0 to 255 a turn (only the low 8 bits count); the result is magnitude times the sine or
// cosine, as the 32-bit product with the table entry shifted right 16 bits without sign.
std::int32_t FixedSin(std::int32_t angle, std::int32_t magnitude);
std::int32_t FixedCos(std::int32_t angle, std::int32_t magnitude);
