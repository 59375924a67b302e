#include <time.h>

#include "phrase/random_source.h"

namespace titles {

std::uint32_t UtcMillisecondsOfDay() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    const auto secondsOfDay = static_cast<std::uint32_t>(now.tv_sec % 86400);
    return secondsOfDay * 1000u + static_cast<std::uint32_t>(now.tv_nsec / 1000000);
}

}  // namespace titles
