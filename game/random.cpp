// Linear congruential generator: state * 214013 + 2531011 modulo 2^32, values are
// bits 16..30 of the new state. Unsigned arithmetic gives the modulo for free.
#include "game/random.h"

#include <ctime>

uint32_t random_state = 1;

static uint32_t SecondsNow() { return (uint32_t)std::time(nullptr); }
uint32_t (*seed_clock)() = SecondsNow;

void SeedRandom(uint32_t seed)
{
    random_state = seed;
}

void SeedRandomFromTime()
{
    SeedRandom(seed_clock());
}

int32_t NextRandom()
{
    random_state = random_state * 214013u + 2531011u;
    return (int32_t)((random_state >> 16) & 0x7FFFu);
}
