// Whole games through the rules: a scripted game whose outcome is worked out by
// hand, and frames that must not allocate. (Long random play at every level is
// the loop soak's, through the real main loop.)
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "game/random.h"
#include "game/rule_sounds.h"
#include "game/rules.h"
#include "game/session.h"
#include "tests/alloc_counter.h"
#include "tests/board_pictures.h"

namespace {

struct Hold {
    PlayerCommand command;  // handed to each frame, as the main loop samples it from the keys
    int frames;
};

int heard[4];  // sounds the rules asked for, by kind, since the test began

void PlayFrame(PlayerCommand command)
{
    RunRulesFrame(command);
    for (int32_t i = 0; i < rule_sounds.count; i++)
        heard[rule_sounds.sound[i]]++;
}

void Play(const Hold* script, int count)
{
    for (int i = 0; i < count; i++)
        for (int frame = 0; frame < script[i].frames; frame++)
            PlayFrame(script[i].command);
}

int CountSounds()
{
    return heard[0] + heard[1] + heard[2] + heard[3];
}

}  // namespace

TEST(Rules, AScriptedGameEndsWithTheBoardScoreLinesAndLevelWorkedOutByHand)
{
    game = GameSession{};
    SeedRandom(1);  // values 41, 18467, 6334, 26500, 19169, 15724, 11478: kinds J, L, J, Z, O
    ResetGame();
    game.lines = 9;  // one row short of level 1
    SetBoard({"..XXX.XXXX."});
    std::memset(heard, 0, sizeof heard);

    const Hold to_the_left_wall[] = {{MOVE_LEFT, 24}};  // J: moves at frames 8, 16 and 24
    Play(to_the_left_wall, 1);
    EXPECT_EQ(game.piece.column, 0);
    EXPECT_EQ(game.piece.row, 0);

    const Hold drop_the_j[] = {{MOVE_SOFT_DROP, 18}};  // 17 rows, lands on frame 42
    Play(drop_the_j, 1);
    EXPECT_EQ(game.piece.kind, 1);  // the L is in, in the J's rotation 0
    EXPECT_EQ(game.piece.rotation, 0);
    EXPECT_EQ(BoardPicture(3), Picture({".X.........", ".X.........", "XXXXX.XXXX."}));

    const Hold turn_and_drop_the_l[] = {
        {MOVE_ROTATE, 14},     // rotations at frames 48 and 56: rotation 2
        {MOVE_RIGHT, 40},      // five moves to column 8; gravity takes it to row 1 at frame 72
        {MOVE_SOFT_DROP, 16},  // 15 rows, lands on frame 112
    };
    Play(turn_and_drop_the_l, 3);
    EXPECT_EQ(game.piece.kind, 6);
    EXPECT_EQ(game.piece.rotation, 2);
    EXPECT_EQ(BoardPicture(3), Picture({".X.......XX", ".X........X", "XXXXX.XXXXX"}));

    const Hold turn_and_drop_the_j[] = {
        {MOVE_ROTATE, 8},      // one turn at frame 120: rotation 3
        {MOVE_SOFT_DROP, 17},  // 16 rows, lands on frame 137 and completes row 19
        {MOVE_NONE, 2},        // two frames of the shake
    };
    Play(turn_and_drop_the_j, 3);

    EXPECT_EQ(BoardPicture(), Picture({
        "...........", "...........", "...........", "...........", "...........",
        "...........", "...........", "...........", "...........", "...........",
        "...........", "...........", "...........", "...........", "...........",
        "...........", "...........", "...........", ".X.......XX", ".X.XXX....X",
    }));
    EXPECT_EQ(game.score, 50);
    EXPECT_EQ(game.lines, 10);
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(game.game_over, 0);
    EXPECT_EQ(game.piece.kind, 5);  // Z, in the rotation the last J landed in
    EXPECT_EQ(game.piece.rotation, 3);
    EXPECT_EQ(game.piece.column, 3);
    EXPECT_EQ(game.piece.row, 0);
    EXPECT_EQ(game.next_kind, 19169 % 7);
    EXPECT_EQ(game.popup_kind, 1);
    EXPECT_EQ(game.popup_row, 19);
    EXPECT_EQ(game.popup_timer, 48);
    EXPECT_EQ(game.shake_timer, 18);
    EXPECT_EQ(game.shake_offset, 3 - 11478 % 6);  // the second shake draw; 15724 was the first
    EXPECT_EQ(heard[RULE_SOUND_DROP], 3);
    EXPECT_EQ(heard[RULE_SOUND_LINEDONE], 1);
    EXPECT_EQ(heard[RULE_SOUND_LEVELUP], 1);
    EXPECT_EQ(heard[RULE_SOUND_EXPLODE], 0);
}

TEST(Rules, AFrameOfTheRulesAllocatesNothing)
{
    // The counter itself must see an allocation, or the check below proves nothing.
    // (volatile keeps the compiler from leaving out a new/delete or malloc/free pair)
    uint64_t start = AllocationCount();
    int* volatile number = new int(3);
    delete number;
    EXPECT_EQ(AllocationCount(), start + 1);
    if (AllocationCountSeesMalloc()) {
        void* volatile block = std::malloc(16);
        std::free(block);
        EXPECT_EQ(AllocationCount(), start + 2);
    }

    // Frames that land, spawn, remove four rows, shake, show a popup and end the game.
    game = GameSession{};
    SeedRandom(9);
    ResetGame();
    SetBoard({"XXXXXXXXXX.", "XXXXXXXXXX.", "XXXXXXXXXX.", "XXXXXXXXXX."});
    PlacePiece(0, 0, 9, 0);
    int sounds = CountSounds();
    uint64_t before = AllocationCount();
    for (int frame = 0; frame < 400; frame++)
        PlayFrame(frame % 3 == 0 ? MOVE_SOFT_DROP : MOVE_ROTATE);
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_EQ(game.lines, 4);
    EXPECT_EQ(game.game_over, 1);
    EXPECT_GT(CountSounds(), sounds + 2);
}
