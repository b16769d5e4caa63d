#include "render/UniformRandom.h"

#include <chrono>

void UniformRandom::seedFromClock()
{
    const auto ticks = std::chrono::system_clock::now().time_since_epoch().count();
    seed(quint32(quint64(ticks) ^ (quint64(ticks) >> 32)));
}
