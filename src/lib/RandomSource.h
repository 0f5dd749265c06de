#pragma once

#include <cstdint>
#include <random>

// Uniform values in [0, 1) for the shuffling helpers. The process-wide instance
// starts from a fixed seed, so the program's sequence of random orders is the
// same on every run; tests pass their own seeded instance.
class RandomSource {
  public:
    static constexpr std::uint64_t kDefaultSeed = 20240611;

    explicit RandomSource(std::uint64_t seed = kDefaultSeed) : engine_(seed) {}

    void seed(std::uint64_t value) { engine_.seed(value); }
    // Next value, 0 <= value < 1 (53 random bits, never 1.0).
    double next();

  private:
    std::mt19937_64 engine_;
};

RandomSource& defaultRandomSource();
