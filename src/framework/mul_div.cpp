#include "framework/mul_div.h"

#include <cstdint>
#include <limits>

namespace titles::framework {

int MulDiv(int a, int b, int c) noexcept {
    if (c == 0) return -1;
    const std::int64_t product = static_cast<std::int64_t>(a) * b;
    const bool negative = (product < 0) != (c < 0);
    const std::uint64_t num = product < 0 ? static_cast<std::uint64_t>(-product) : static_cast<std::uint64_t>(product);
    const std::uint64_t den = c < 0 ? static_cast<std::uint64_t>(-static_cast<std::int64_t>(c)) : static_cast<std::uint64_t>(c);
    const std::uint64_t rounded = (num + den / 2) / den;
    if (rounded > static_cast<std::uint64_t>(std::numeric_limits<int>::max())) return -1;
    const auto magnitude = static_cast<std::int64_t>(rounded);
    return static_cast<int>(negative ? -magnitude : magnitude);
}

}  // namespace titles::framework
