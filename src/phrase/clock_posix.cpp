#include <time.h>

#include "phrase/random_source.h"

namespace titles {

std::uint32_t UtcMillisecondsOfDay() {
    struct timespec now {};
    ::clock_gettime(CLOCK_REALTIME, &now);
    return MillisecondsOfDayAt(static_cast<std::int64_t>(now.tv_sec), static_cast<std::int64_t>(now.tv_nsec));
}

}  // namespace titles
