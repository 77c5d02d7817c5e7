// Sounds really played: SDL's disk audio driver writes what the mixer mixes to a
// file, in real time, and the tests listen to that file.
#include <SDL.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <map>
#include <vector>

#include "audio/sound_effects.h"
#include "tests/support.h"

namespace {

std::string Slurp(const std::string& path) { return {std::istreambuf_iterator<char>(std::ifstream(path).rdbuf()), {}}; }

// Two seconds of one steady level in the mixer's own format (44100 Hz stereo, 16
// bits): the mixer adds channels sample by sample, so the loudest tells how many play.
std::string Wav(int level, uint16_t encoding = 1, uint16_t channels = 2)
{
    std::string wav = "RIFF";
    auto Put = [&wav](uint32_t value, int bytes) { wav.append((const char*)&value, bytes); };  // little-endian
    Put(36 + 352800, 4), wav += "WAVEfmt ", Put(16, 4), Put(encoding, 2), Put(channels, 2), Put(44100, 4);
    Put(44100 * 4, 4), Put(4, 2), Put(16, 2), wav += "data", Put(352800, 4);
    for (int i = 0; i < 352800 / 2; i++)
        Put(level, 2);
    return wav;
}

// The game's sound set closed first and reopened after, as found.
struct Sound : ::testing::Test {
    ScratchFolder folder;
    const std::string output = folder.path / "mixed.raw", start = std::filesystem::current_path();
    const std::string driver_found = std::getenv("SDL_AUDIODRIVER");  // support.cpp sets one before SDL starts
    const bool was_open = SDL_WasInit(SDL_INIT_AUDIO);  // held by the sound set alone
    void SetUp() override { setenv("SDL_DISKAUDIOFILE", output.c_str(), 1); }
    void TearDown() override
    {
        CloseSoundSet(), std::filesystem::current_path(start);
        setenv("SDL_AUDIODRIVER", driver_found.c_str(), 1), unsetenv("SDL_DISKAUDIOFILE");  // only the disk driver's
        if (was_open)
            OpenSoundSet();
    }
    // The game's start-up where data/ holds just these sounds ("": the game's own): what it says.
    std::string Open(const std::map<std::string, std::string>& sounds)
    {
        CloseSoundSet(), setenv("SDL_AUDIODRIVER", "disk", 1);
        std::filesystem::remove_all(folder.path / "data");
        for (const auto& [name, bytes] : sounds)
            folder.Write("data/" + name, bytes.empty() ? Slurp(start + "/data/" + name) : bytes);
        std::filesystem::current_path(folder.path);
        testing::internal::CaptureStderr(), OpenSoundSet();
        return testing::internal::GetCapturedStderr();
    }
    // The samples mixed from the play on, until `after` more bytes are written: a play lands in
    // the next 1024-frame buffer mixed, written no later than two buffers after the play, however slowly.
    std::vector<int16_t> Heard(SoundSlot slot, int times = 1, size_t after = 3 * 4096)
    {
        auto Written = [this] { return std::filesystem::exists(output) ? std::filesystem::file_size(output) : 0; };
        const size_t from = Written() & ~3u;
        while (times--)
            PlaySoundEffect(slot);
        for (const size_t until = Written() + after; Written() < until;)
            SDL_Delay(1);
        const std::string mixed = Slurp(output).substr(from);
        std::vector<int16_t> samples(mixed.size() / 2);
        std::memcpy(samples.data(), mixed.data(), samples.size() * 2);  // the mixer's own order
        return samples;
    }
    int Play(SoundSlot slot, int times = 1)  // the loudest sample mixed
    {
        int loudest = 0;
        for (int16_t sample : Heard(slot, times))
            loudest = std::max(loudest, std::abs(sample));
        return loudest;
    }
};

}  // namespace

// Slot by slot: its own file in data/, the next one's damaged (a table of damages),
// the one after missing. Only the damaged file is named, and only the first is heard.
TEST_F(Sound, EachSampleIsHeardFromItsFileADamagedOneIsNamedAndSilentAMissingOneSilent)
{
    const char* files[SOUND_SLOT_COUNT] = {"drop.wav", "linedone.wav", "levelup.wav", "explode.wav", "boing.wav"};
    const std::string damaged[SOUND_SLOT_COUNT] = {"0", std::string("RIFF\x24\0\0\0", 8), std::string(1000, 'Z'),
        Wav(1000, 0x1234), Wav(1000, 1, 0)};  // short, cut after RIFF, no WAV, unknown encoding, no channels
    for (int slot = 0; slot < SOUND_SLOT_COUNT; slot++) {
        const int next = (slot + 1) % SOUND_SLOT_COUNT, missing = (slot + 2) % SOUND_SLOT_COUNT;
        const std::string said = Open({{files[slot], ""}, {files[next], damaged[slot]}});
        EXPECT_TRUE(said.find("data/" + std::string(files[next]) + ": ") != std::string::npos &&
                    said.find(".wav: ") == said.rfind(".wav: ")) << said;
        EXPECT_EQ(Play((SoundSlot)missing) + Play((SoundSlot)next), 0) << files[missing] << ", " << files[next];
        EXPECT_GT(Play((SoundSlot)slot), 8000) << files[slot];
    }
}

TEST_F(Sound, ThirtyTwoSoundsPlayAtOnceOpeningOrClosingTwiceIsHarmlessAndNoDeviceMeansSilence)
{
    Open({{"drop.wav", Wav(1000)}, {"boing.wav", Wav(10)}});
    OpenSoundSet();  // a second time: nothing more to close
    EXPECT_EQ(Play(SOUND_DROP, 40), 32000) << "32 channels, each adding 1000; the rest dropped";
    EXPECT_EQ(Play(SOUND_BOING), 32000) << "no channel left free";
    CloseSoundSet();
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "one close released the device and the mixer";
    CloseSoundSet();
    setenv("SDL_DISKAUDIOFILE", (folder.path / "none/mixed.raw").c_str(), 1);  // the disk device cannot open
    Open({{"drop.wav", ""}});
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u) << "all left as it was";
    PlaySoundEffect(SOUND_DROP);  // the game plays on, silently
}

TEST_F(Sound, ASampleIsHeardOnceAndWholeNeitherCutShortFadedNorRepeated)
{
    Open({{"explode.wav", Wav(1000)}});
    const std::vector<int16_t> heard = Heard(SOUND_EXPLODE, 1, 352800 + 3 * 4096);
    EXPECT_EQ(std::count(heard.begin(), heard.end(), 1000), 352800 / 2) << "its two seconds at its level, once";
}
