// Sound effects over SDL_mixer. No failure stops the game: without a device, or
// without a file, it simply plays without that sound.
#include "audio/sound_effects.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <cstdio>

static const char* const sound_files[SOUND_SLOT_COUNT] = {
    "data/drop.wav", "data/linedone.wav", "data/levelup.wav", "data/explode.wav", "data/boing.wav",
};

static Mix_Chunk* sound_set[SOUND_SLOT_COUNT];
static bool sound_open;
int sound_play_count[SOUND_SLOT_COUNT];

// A missing file leaves its slot silent without a word, as the game plays on
// without it; a file that is there but will not decode is named on stderr, so
// that a damaged install shows itself. Either way the slot stays null. The file
// is opened once: a stream that cannot be opened is the missing file.
static Mix_Chunk* LoadSound(const char* path)
{
    SDL_RWops* stream = SDL_RWFromFile(path, "rb");
    if (!stream)
        return nullptr;
    Mix_Chunk* chunk = Mix_LoadWAV_RW(stream, 1);
    if (!chunk)
        std::fprintf(stderr, "%s: %s\n", path, Mix_GetError());
    return chunk;
}

void OpenSoundSet()
{
    if (sound_open)
        return;  // one set at a time: opening again would orphan the samples and the device
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return;
    if (Mix_OpenAudio(44100, AUDIO_S16SYS, 2, 1024) != 0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return;
    }
    sound_open = true;
    Mix_AllocateChannels(32);
    for (int slot = 0; slot < SOUND_SLOT_COUNT; slot++)
        sound_set[slot] = LoadSound(sound_files[slot]);
}

void PlaySoundEffect(SoundSlot slot)
{
    sound_play_count[slot]++;
    if (sound_set[slot])
        Mix_PlayChannel(-1, sound_set[slot], 0);  // no free channel: the sound is dropped
}

void CloseSoundSet()
{
    if (!sound_open)
        return;
    Mix_HaltChannel(-1);
    for (Mix_Chunk*& chunk : sound_set) {
        if (chunk)
            Mix_FreeChunk(chunk);
        chunk = nullptr;
    }
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    sound_open = false;
}
