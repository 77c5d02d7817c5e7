// Sounds really play: SDL's disk audio driver writes what the mixer plays to a
// file, so a played sample shows up there as non-silent audio.
#include <gtest/gtest.h>

#include <SDL.h>
#include <SDL_mixer.h>
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
        CloseSoundSet();  // a set opened by an earlier test's start-up holds the device
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

    // Bytes of mixed output so far: the disk driver writes it as it plays, in real time.
    long OutputBytes()
    {
        FILE* file = std::fopen(output.c_str(), "rb");
        if (!file)
            return 0;
        std::fseek(file, 0, SEEK_END);
        long bytes = std::ftell(file);
        std::fclose(file);
        return bytes;
    }

    // Waits until `milliseconds` more of output have been mixed (S16 stereo at
    // 44100 Hz), however slowly a busy machine lets the mixer run.
    void MixFor(int milliseconds)
    {
        const long until = OutputBytes() + 44100L * 4 * milliseconds / 1000;
        for (int waited = 0; OutputBytes() < until && waited < 60000; waited += 5)
            SDL_Delay(5);
        ASSERT_GE(OutputBytes(), until) << "the mixer wrote nothing for a minute";
    }

    // True once the output holds a loud sample; false if none comes within a minute.
    bool HeardSomething()
    {
        for (int waited = 0; waited < 60000; waited += 10) {
            if (LoudestSampleSoFar() > 2000)
                return true;
            SDL_Delay(10);
        }
        return false;
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
    MixFor(150);
    EXPECT_LT(LoudestSampleSoFar(), 64) << "silence before anything plays";
    const int explosions_before = sound_play_count[SOUND_EXPLODE];
    PlaySoundEffect(SOUND_EXPLODE);
    PlaySoundEffect(SOUND_LINEDONE);  // overlapping sounds are fine
    EXPECT_TRUE(HeardSomething());
    EXPECT_EQ(sound_play_count[SOUND_EXPLODE], explosions_before + 1);
}

TEST_F(SoundEffects, AMissingFileLeavesOnlyThatSlotSilent)
{
    UseDataWith({"drop", "linedone", "levelup", "boing"});  // no explode.wav
    OpenSoundSet();
    PlaySoundEffect(SOUND_EXPLODE);
    MixFor(300);
    EXPECT_LT(LoudestSampleSoFar(), 64);
    PlaySoundEffect(SOUND_DROP);
    EXPECT_TRUE(HeardSomething());
}

// Hostile and damaged files in place of drop.wav: each is refused with its name
// on stderr and leaves that slot silent, while the other sounds still play. A
// file cut short inside its samples is the exception: the mixer keeps what is
// there and plays just that, without a word.
TEST_F(SoundEffects, DamagedFilesAreNamedAndLeaveOnlyTheirSlotSilent)
{
    // PCM header fields as given, then a data chunk of data_size bytes.
    auto Header = [](uint16_t format, uint16_t channels, uint32_t rate, uint16_t bits, uint32_t fmt_size,
                     uint32_t data_size) {
        std::string h = "RIFF";
        auto Put32 = [&h](uint32_t v) { for (int i = 0; i < 4; i++) h += char(v >> (8 * i)); };
        auto Put16 = [&h](uint16_t v) { h += char(v & 0xff), h += char(v >> 8); };
        Put32(36 + data_size);
        h += "WAVEfmt ";
        Put32(fmt_size);
        Put16(format), Put16(channels), Put32(rate), Put32(rate * channels * bits / 8);
        Put16(uint16_t(channels * bits / 8)), Put16(bits);
        h += "data";
        Put32(data_size);
        return h;
    };
    const std::string samples(4000, '\x40');  // 0x4040: loud
    struct Damage {
        const char* what;
        std::string bytes;
        bool refused;
    };
    const Damage damages[] = {
        {"an empty file", "", true},
        {"a header cut after RIFF", "RIFF\x24\x00\x00\x00", true},
        {"not a WAV at all", std::string(1000, '\x5a'), true},
        {"a format chunk claiming 4 GB", Header(1, 1, 22050, 16, 0xfffffff0u, 4000) + samples, true},
        {"no channels", Header(1, 0, 22050, 16, 16, 4000) + samples, true},
        {"no sample rate", Header(1, 1, 0, 16, 16, 4000) + samples, true},
        {"zero bits a sample", Header(1, 1, 22050, 0, 16, 4000) + samples, true},
        {"an unknown encoding", Header(0x1234, 1, 22050, 16, 16, 4000) + samples, true},
        {"a data chunk claiming 2 GB", Header(1, 1, 22050, 16, 16, 0x7ffffff0u) + samples, false},
    };
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        UseDataWith({"boing"});
        FILE* file = std::fopen("data/drop.wav", "wb");
        ASSERT_NE(file, nullptr);
        ASSERT_EQ(std::fwrite(damage.bytes.data(), 1, damage.bytes.size(), file), damage.bytes.size());
        std::fclose(file);
        testing::internal::CaptureStderr();
        OpenSoundSet();
        const std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(said.find("data/drop.wav: ") != std::string::npos, damage.refused) << "stderr: " << said;
        EXPECT_EQ(said.find("boing"), std::string::npos) << "stderr: " << said;
        EXPECT_EQ(said.find("linedone"), std::string::npos) << "a missing file is not named: " << said;
        PlaySoundEffect(SOUND_DROP);
        if (damage.refused) {
            MixFor(150);
            EXPECT_LT(LoudestSampleSoFar(), 64);
        } else {
            EXPECT_TRUE(HeardSomething());
        }
        PlaySoundEffect(SOUND_BOING);
        EXPECT_TRUE(HeardSomething());
        CloseSoundSet();
        ASSERT_EQ(chdir(start_folder.c_str()), 0);
        ASSERT_EQ(std::system(("rm -rf '" + folder + "/data'").c_str()), 0);
    }
}

TEST_F(SoundEffects, NoAudioDeviceMeansSilenceNotFailure)
{
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    UseDataWith({"drop"});
    OpenSoundSet();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "the audio subsystem is left as it was";
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "no mixer is open";
    PlaySoundEffect(SOUND_DROP);  // null samples: nothing reaches the closed mixer
    PlaySoundEffect(SOUND_BOING);
    CloseSoundSet();
    CloseSoundSet();  // closing twice is harmless
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
}

TEST_F(SoundEffects, OpeningTwiceKeepsOneSetAndOneCloseReleasesIt)
{
    UseDataWith({"drop", "boing"});
    OpenSoundSet();
    OpenSoundSet();
    int opened = Mix_QuerySpec(nullptr, nullptr, nullptr);
    EXPECT_EQ(opened, 1) << "the mixer was opened once";
    PlaySoundEffect(SOUND_DROP);
    EXPECT_TRUE(HeardSomething());
    CloseSoundSet();
    EXPECT_EQ(Mix_QuerySpec(nullptr, nullptr, nullptr), 0) << "one close released the mixer";
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    PlaySoundEffect(SOUND_DROP);  // after closing: a null sample, nothing reaches the mixer
}
