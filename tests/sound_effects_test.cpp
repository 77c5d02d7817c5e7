// Sounds really play: SDL's disk audio driver writes what the mixer plays to a
// file, so a played sample shows up there as non-silent audio.
#include <gtest/gtest.h>

#include <SDL.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "audio/sound_effects.h"

namespace {

struct SoundEffects : ::testing::Test {
    std::string folder;
    std::string output;
    std::string start_folder;

    void SetUp() override
    {
        char here[4096];
        ASSERT_NE(getcwd(here, sizeof(here)), nullptr);
        start_folder = here;
        char pattern[] = "/tmp/blockfall-sound-XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        folder = pattern;
        output = folder + "/mixed.raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }

    void TearDown() override
    {
        CloseSoundSet();
        ASSERT_EQ(chdir(start_folder.c_str()), 0);
        std::string remove = "rm -rf '" + folder + "'";
        EXPECT_EQ(std::system(remove.c_str()), 0);
    }

    // Runs the game from a folder whose data/ holds only the named sounds.
    void UseDataWith(const std::vector<std::string>& sounds)
    {
        std::string command = "mkdir -p '" + folder + "/data'";
        for (const std::string& name : sounds)
            command += " && cp '" + start_folder + "/data/" + name + ".wav' '" + folder + "/data/'";
        ASSERT_EQ(std::system(command.c_str()), 0);
        ASSERT_EQ(chdir(folder.c_str()), 0);
    }

    // Largest absolute sample in the mixed output (S16 stereo).
    int LoudestSampleSoFar()
    {
        FILE* file = std::fopen(output.c_str(), "rb");
        if (!file)
            return -1;
        int loudest = 0;
        int16_t samples[4096];
        size_t count;
        while ((count = std::fread(samples, sizeof(int16_t), 4096, file)) > 0)
            for (size_t i = 0; i < count; i++)
                loudest = std::max(loudest, std::abs((int)samples[i]));
        std::fclose(file);
        return loudest;
    }
};

}  // namespace

TEST_F(SoundEffects, APlayedSampleReachesTheOutput)
{
    UseDataWith({"drop", "linedone", "levelup", "explode", "boing"});
    OpenSoundSet();
    SDL_Delay(150);
    EXPECT_LT(LoudestSampleSoFar(), 64) << "silence before anything plays";
    PlaySoundEffect(SOUND_EXPLODE);
    PlaySoundEffect(SOUND_LINEDONE);  // overlapping sounds are fine
    SDL_Delay(400);
    EXPECT_GT(LoudestSampleSoFar(), 2000);
    EXPECT_EQ(sound_play_count[SOUND_EXPLODE], 1);
}

TEST_F(SoundEffects, AMissingFileLeavesOnlyThatSlotSilent)
{
    UseDataWith({"drop", "linedone", "levelup", "boing"});  // no explode.wav
    OpenSoundSet();
    PlaySoundEffect(SOUND_EXPLODE);
    SDL_Delay(300);
    EXPECT_LT(LoudestSampleSoFar(), 64);
    PlaySoundEffect(SOUND_DROP);
    SDL_Delay(300);
    EXPECT_GT(LoudestSampleSoFar(), 2000);
}

TEST_F(SoundEffects, NoAudioDeviceMeansSilenceNotFailure)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    UseDataWith({"drop"});
    OpenSoundSet();
    PlaySoundEffect(SOUND_DROP);
    PlaySoundEffect(SOUND_BOING);
    EXPECT_EQ(sound_play_count[SOUND_DROP], 1);
    CloseSoundSet();
    CloseSoundSet();  // closing twice, or never opened, is harmless
}

TEST_F(SoundEffects, ClosingWithoutOpeningIsHarmless)
{
    CloseSoundSet();
    PlaySoundEffect(SOUND_LEVELUP);
    SUCCEED() << "no crash and no sanitizer report";
}
