// Sound effects: five one-shot samples played fire-and-forget on a free channel.
#pragma once

// boing is loaded with the others but no event of the game plays it: it stays
// one of the set's five named samples, and the sound tests play it.
enum SoundSlot { SOUND_DROP, SOUND_LINEDONE, SOUND_LEVELUP, SOUND_EXPLODE, SOUND_BOING, SOUND_SLOT_COUNT };

extern int sound_play_count[SOUND_SLOT_COUNT];  // plays asked for per slot, since start (tests, bench)

void OpenSoundSet();                 // start-up: open the mixer (44100 Hz, 32 channels), load the samples
void PlaySoundEffect(SoundSlot slot);  // game: play on any free channel; a missing sample is silent
void CloseSoundSet();                // last step of shutdown; harmless when never opened
