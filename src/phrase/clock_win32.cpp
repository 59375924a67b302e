#include <windows.h>

#include "phrase/random_source.h"

namespace titles {

std::uint32_t UtcMillisecondsOfDay() {
    SYSTEMTIME now{};
    ::GetSystemTime(&now);
    return MillisecondsOfDay(now.wHour, now.wMinute, now.wSecond, now.wMilliseconds);
}

}  // namespace titles
