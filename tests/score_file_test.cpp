// The score table's file on a real disk: damaged files set aside, a saving process killed at
// random moments, two processes saving at once, a read-only folder and a full one (tmpfs
// mounts in a namespace of a child's own).
#include <fcntl.h>
#include <sched.h>
#include <signal.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <random>

#include "shell/player_files.h"
#include "shell/score_file.h"
#include "tests/support.h"

namespace {

std::string Slurp(const std::filesystem::path& path)
{
    return {std::istreambuf_iterator<char>(std::ifstream(path, std::ios::binary).rdbuf()), {}};
}

// The scores of the table in the file, best first; "" when there is no file yet, and
// "unreadable" when it is no table.
std::string ScoresOnDisk(const std::filesystem::path& folder)
{
    ScoreTable table;
    if (!std::filesystem::exists(folder / "scores.txt"))
        return "";
    if (ReadScoreText(Slurp(folder / "scores.txt"), &table) != SCORE_TEXT_READ)
        return "unreadable";
    std::string scores;
    for (int i = 0; i < table.count; i++)
        scores += (i ? " " : "") + std::to_string(table.entries[i].score);
    return scores;
}

// The table after games scoring 1, 2, ... k were kept: the ten best, best first.
std::string AfterGames(int k)
{
    std::string scores;
    for (int score = k; score > k - SCORE_PLACES && score > 0; score--)
        scores += (score < k ? " " : "") + std::to_string(score);
    return scores;
}

std::string Opened(const std::filesystem::path& folder)
{
    testing::internal::CaptureStderr();
    OpenScoreFile(folder.string());
    return testing::internal::GetCapturedStderr();
}

}  // namespace

TEST(ScoreFile, ADamagedForeignOrFutureFileIsSetAsideWithOneLineAndNeverOverwritten)
{
    const std::string table = "blockfall scores 1\n700\t14\t1\t2026-12-08T10:00:00Z\tann\n";
    const struct {
        const char* what;
        std::string bytes;  // "/" makes scores.txt a folder
    } cases[] = {{"empty", ""}, {"truncated", table.substr(0, table.size() - 4)}, {"garbage", "\x7f" "ELF\2\1\1"},
                 {"huge", table + std::string(70000, '\n')}, {"from a later version", "blockfall scores 2\n"},
                 {"a folder", "/"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder folder;
        const std::filesystem::path file = folder.path / "scores.txt", aside = folder.path / "scores.txt.bad";
        if (c.bytes == "/")
            std::filesystem::create_directory(file);
        else
            folder.Write("scores.txt", c.bytes);
        folder.Write("scores.txt.bad", "an older damaged table");
        const std::string said = Opened(folder.path);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find("set aside as " + (folder.path / "scores.txt.1.bad").string()), std::string::npos) << said;
        EXPECT_EQ(Slurp(aside), "an older damaged table");
        if (c.bytes != "/") {
            EXPECT_EQ(Slurp(folder.path / "scores.txt.1.bad"), c.bytes);
        }
        EXPECT_EQ(score_table.count, 0);
        EXPECT_EQ(KeepFinishedGame(50, 1, 0), 0);
        EXPECT_EQ(ScoresOnDisk(folder.path), "50") << "a new table, written whole";
    }
    ScratchFolder folder;
    folder.Write("scores.txt", table);
    EXPECT_EQ(Opened(folder.path), "");
    EXPECT_EQ(KeepFinishedGame(800, 16, 1), 0);
    EXPECT_EQ(KeepFinishedGame(10, 0, 0), 2);
    EXPECT_EQ(ScoresOnDisk(folder.path), "800 700 10");
}

// Games scoring 1, 2, 3, ... kept one after another by a child killed at a random moment,
// 500 times: the file always holds the table after some number of them, never a mix. A
// temporary file left behind is a kill in the middle of a save.
TEST(ScoreFile, ASaveKilledAtAnyMomentLeavesTheOldTableOrTheNew)
{
    ScratchFolder folder;
    std::mt19937 dice(11);
    int kept = 0;
    for (int round = 0; round < 500; round++) {
        const pid_t saver = fork();
        if (saver == 0) {
            OpenScoreFile(folder.path.string());
            for (int32_t next = score_table.count ? score_table.entries[0].score + 1 : 1;; next++)
                KeepFinishedGame(next, 0, 0);
        }
        usleep(dice() % 20000);
        kill(saver, SIGKILL);
        waitpid(saver, nullptr, 0);
        const std::string scores = ScoresOnDisk(folder.path);
        int now = kept;
        while (now < kept + 100000 && scores != AfterGames(now))
            now++;
        ASSERT_EQ(scores, AfterGames(now)) << "round " << round;
        kept = now;
    }
    int mid_save = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder.path))
        mid_save += entry.path().filename().string().rfind("scores.txt.tmp.", 0) == 0;
    std::printf("%d games kept; %d of 500 kills in the middle of a save\n", kept, mid_save);
}

// Two copies of the game end a game at the same moment, 1,000 times: neither game is lost.
TEST(ScoreFile, TwoCopiesSavingAtOnceLoseNeitherGame)
{
    ScratchFolder folder;
    OpenScoreFile(folder.path.string());
    int go[2][2], done[2][2];
    pid_t copies[2];
    for (int copy = 0; copy < 2; copy++) {
        ASSERT_EQ(pipe(go[copy]), 0);
        ASSERT_EQ(pipe(done[copy]), 0);
        if ((copies[copy] = fork()) == 0) {
            OpenScoreFile(folder.path.string());
            char round;
            for (int32_t game = 0; read(go[copy][0], &round, 1) == 1; game++) {
                KeepFinishedGame(2 * game + copy + 1, 0, 0);
                (void)!write(done[copy][1], &round, 1);
            }
            _exit(0);
        }
    }
    for (int round = 0; round < 1000; round++) {
        char token = 'g';
        for (int copy = 0; copy < 2; copy++)
            ASSERT_EQ(write(go[copy][1], &token, 1), 1);
        for (int copy = 0; copy < 2; copy++)
            ASSERT_EQ(read(done[copy][0], &token, 1), 1);
        ASSERT_EQ(ScoresOnDisk(folder.path), AfterGames(2 * round + 2)) << "round " << round;
    }
    for (pid_t copy : copies)
        kill(copy, SIGKILL), waitpid(copy, nullptr, 0);
}

// In a child of its own mount namespace (as root, or as a user mapped to root in it), a
// small tmpfs at the folder: mounted read-only, or full. The game plays on, says once on
// stderr why the scores cannot be kept, and keeps entering games in the table shown.
TEST(ScoreFile, AReadOnlyOrFullFolderIsSaidOnceAndTheGamePlaysOn)
{
    for (const char* kind : {"ro", "full"}) {
        SCOPED_TRACE(kind);
        ScratchFolder folder;
        const std::string err = (folder.path.parent_path() / (folder.path.filename().string() + ".err")).string();
        const pid_t child = fork();
        if (child == 0) {
            const uid_t uid = getuid();
            const gid_t gid = getgid();
            if (unshare(CLONE_NEWNS | (uid ? CLONE_NEWUSER : 0)) != 0)
                _exit(77);
            if (uid) {
                std::ofstream("/proc/self/setgroups") << "deny";
                std::ofstream("/proc/self/uid_map") << "0 " << uid << " 1";
                std::ofstream("/proc/self/gid_map") << "0 " << gid << " 1";
            }
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr);
            const bool read_only = kind[0] == 'r';
            if (mount("tmpfs", folder.path.c_str(), "tmpfs", read_only ? MS_RDONLY : 0, "size=16k") != 0)
                _exit(77);
            if (!read_only) {  // a table kept, then the disk filled to its last byte
                OpenScoreFile(folder.path.string());
                KeepFinishedGame(300, 6, 0);
                const int fill = open((folder.path / "filler").c_str(), O_WRONLY | O_CREAT, 0644);
                static const char block[512] = {};
                while (write(fill, block, sizeof block) > 0) {
                }
                while (write(fill, block, 1) > 0) {
                }
                close(fill);
            }
            freopen(err.c_str(), "w", stderr);
            OpenScoreFile(folder.path.string());
            const bool entered = KeepFinishedGame(500, 10, 1) == 0 && KeepFinishedGame(400, 8, 0) == 1;
            std::fflush(stderr);
            _exit(entered && ScoresOnDisk(folder.path) == (read_only ? "" : "300") ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFEXITED(status) && WEXITSTATUS(status) == 77)
            GTEST_SKIP() << "no mount namespace to be had here";
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "the games entered, the old table intact";
        const std::string said = Slurp(err);
        std::filesystem::remove(err);
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
        EXPECT_NE(said.find(kind[0] == 'r' ? "Read-only file system" : "No space left on device"), std::string::npos)
            << said;
    }
}
