// The one generator: its known sequence, its 15-bit values, the wrap of its state,
// reseeding, and seeding from the clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <ctime>

#include "game/random.h"

TEST(Random, SeedOneGivesTheClassicRuntimeSequence)
{
    // The first values of the classic C runtime rand() after srand(1).
    const int32_t expected[] = {41, 18467, 6334, 26500, 19169, 15724, 11478, 29358, 26962, 24464};
    SeedRandom(1);
    for (int32_t value : expected)
        EXPECT_EQ(NextRandom(), value);
}

TEST(Random, StateWrapsModulo2To32)
{
    // 0xFFFFFFFF * 214013 + 2531011 = 2531011 - 214013 = 2316998 (mod 2^32); 2316998 >> 16 = 35.
    SeedRandom(0xFFFFFFFFu);
    EXPECT_EQ(NextRandom(), 35);
    EXPECT_EQ(random_state, 2316998u);
}

TEST(Random, ValuesAreFifteenBitsAndReachBothEnds)
{
    SeedRandom(12345);
    int32_t low = 32767, high = 0;
    for (int i = 0; i < 200000; i++) {
        int32_t value = NextRandom();
        ASSERT_GE(value, 0);
        ASSERT_LE(value, 32767);
        low = std::min(low, value);
        high = std::max(high, value);
    }
    EXPECT_LT(low, 8);
    EXPECT_GT(high, 32759);
}

TEST(Random, ReseedingRestartsTheSequence)
{
    SeedRandom(777);
    int32_t first[5];
    for (int32_t& value : first)
        value = NextRandom();
    SeedRandom(778);
    int32_t other = NextRandom();
    SeedRandom(777);
    for (int32_t value : first)
        EXPECT_EQ(NextRandom(), value);
    EXPECT_NE(other, first[0]);
}

TEST(Random, SeedFromTimeUsesTheClockInSeconds)
{
    uint32_t before = (uint32_t)std::time(nullptr);
    SeedRandomFromTime();
    uint32_t seeded = random_state;
    uint32_t after = (uint32_t)std::time(nullptr);
    EXPECT_TRUE(seeded == before || seeded == after) << seeded << " not in " << before << ".." << after;
}
