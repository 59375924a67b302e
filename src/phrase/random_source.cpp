#include "phrase/random_source.h"

namespace titles {

std::uint32_t RandomSeed = 0;

void SeedFromClock() { RandomSeed = UtcMillisecondsOfDay(); }

}  // namespace titles
