#pragma once

namespace titles::framework {

// a * b / c with a 64-bit intermediate, rounded to the nearest integer,
// halves away from zero. Returns -1 when c is 0 or the result overflows.
int MulDiv(int a, int b, int c) noexcept;

}  // namespace titles::framework
