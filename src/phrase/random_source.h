// The program's one pseudo-random stream: a 32-bit linear congruential
// generator (multiplier 134775813, increment 1) with a process-wide seed.
// Integer and real draws advance the same seed, so they form one stream.
#pragma once

#include <cstdint>

namespace titles {

// The process-wide seed; 0 at process start.
extern std::uint32_t RandomSeed;

// Advances the seed once and returns the new value.
inline std::uint32_t NextRandomSeed() noexcept {
    RandomSeed = RandomSeed * 134775813u + 1u;
    return RandomSeed;
}

// 0 <= k < n for n >= 1, 0 for n = 0; always advances the seed once.
inline std::int32_t RandomInt(std::int32_t n) noexcept {
    const std::uint64_t product = static_cast<std::uint64_t>(NextRandomSeed()) *
                                  static_cast<std::uint32_t>(n);
    return static_cast<std::int32_t>(product >> 32);
}

// 0 <= r < 1, a whole multiple of 2^-32; advances the seed once.
inline double RandomReal() noexcept {
    return static_cast<double>(NextRandomSeed()) * 2.3283064365386962890625e-10;
}

// Milliseconds since UTC midnight for the given time of day.
constexpr std::uint32_t MillisecondsOfDay(unsigned hour, unsigned minute, unsigned second,
                                          unsigned millisecond) noexcept {
    return ((hour * 60u + minute) * 60u + second) * 1000u + millisecond;
}

// Milliseconds since UTC midnight at a time given as seconds since 1970
// (negative before it) and nanoseconds into that second; the millisecond is
// rounded down, and times before 1970 count from their own midnight too.
constexpr std::uint32_t MillisecondsOfDayAt(std::int64_t seconds, std::int64_t nanoseconds) noexcept {
    constexpr std::int64_t kDay = 86400;
    const std::int64_t secondOfDay = ((seconds % kDay) + kDay) % kDay;
    return static_cast<std::uint32_t>(secondOfDay * 1000 + nanoseconds / 1000000);
}

// The current UTC time of day in milliseconds (platform clock).
std::uint32_t UtcMillisecondsOfDay();

// Seeds the stream from the current UTC time of day.
void SeedFromClock();

}  // namespace titles
