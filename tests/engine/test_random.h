#pragma once
// A small deterministic generator (xorshift), so that generated cases
// reproduce from their seed.
#include <cstdint>

struct test_random {
  std::uint32_t state;
  std::uint32_t below(std::uint32_t bound) {
    state ^= state << 13;
    state ^= state >> 17;
    state ^= state << 5;
    return state % bound;
  }
};
