// The one pseudo-random generator of the game: piece kinds and board shake draw
// from it, nothing else does, so a seed and the per-frame commands replay a game.
#pragma once
#include <cstdint>

extern uint32_t random_state;  // linear congruential state; set by the seeding calls
extern uint32_t (*seed_clock)();  // the time in seconds for SeedRandomFromTime; tests replace it to replay games

void SeedRandom(uint32_t seed);  // tests, bench, SeedRandomFromTime: sets the state
void SeedRandomFromTime();       // start-up and every new game: seeds with the time in seconds
int32_t NextRandom();            // spawn, ResetGame, the shake: the next value, 0..32767
