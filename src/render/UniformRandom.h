#pragma once

#include <QtGlobal>
#include <random>

// The program's uniform pseudo-random generator in [0, 1), seeded once at start-up from the
// clock; the random dots draw from it.
class UniformRandom
{
public:
    UniformRandom() = default;

    void seed(quint32 value) { engine_.seed(value); }
    void seedFromClock();

    // A single-precision value in [0, 1): 24 random bits.
    float next() { return float(engine_() >> 8) * (1.0f / 16777216.0f); }

    // The same state: the same values to come.
    bool operator==(const UniformRandom& other) const { return engine_ == other.engine_; }

private:
    std::mt19937 engine_;
};
