// The rule steps of the game frame, driven frame by frame as the game drives them:
// the reset, gravity and its period, the command rhythm, landing and game over,
// the shake and its random draws, row removal rewards, and the two safety mends.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "game/board.h"
#include "game/random.h"
#include "game/rule_sounds.h"
#include "game/rules.h"
#include "game/session.h"
#include "tests/board_pictures.h"

namespace {

struct RulesTest : ::testing::Test {
    int heard[4] = {};
    PlayerCommand pending = MOVE_NONE;  // what the last frame handed back
    void SetUp() override
    {
        game = GameSession{};
        rule_sounds.count = 0;
        std::memset(heard, 0, sizeof heard);
        SeedRandom(1);
        ResetGame();  // kind 41 % 7 = 6, next 18467 % 7 = 1
    }
    // Sounds asked for since SetUp: by earlier frames, and by the last frame or step.
    int Played(RuleSound sound) const
    {
        int count = heard[sound];
        for (int32_t i = 0; i < rule_sounds.count; i++)
            count += rule_sounds.sound[i] == sound;
        return count;
    }
    // One frame of the rules with a command handed in, as the game frame runs them.
    void Frame(PlayerCommand command)
    {
        for (int32_t i = 0; i < rule_sounds.count; i++)  // before the frame empties the list
            heard[rule_sounds.sound[i]]++;
        pending = RunRulesFrame(command);
    }
    // Runs frames with a key held throughout, as the main loop would sample it.
    void Frames(int count, PlayerCommand command = MOVE_NONE)
    {
        for (int i = 0; i < count; i++)
            Frame(command);
    }
};

}  // namespace

// --- the new-game reset ---

TEST_F(RulesTest, ResetSetsTheFreshGameFieldsAndLeavesTheRest)
{
    std::memset(&game, 0x5A, sizeof game);  // every field odd
    game.piece.rotation = 2;
    game.level = 0;
    game.piece_pixel_y = 12.5f;
    GameSession before = game;
    SeedRandom(1);
    ResetGame();
    EXPECT_EQ(game.piece.kind, 41 % 7);
    EXPECT_EQ(game.next_kind, 18467 % 7);
    EXPECT_EQ(game.piece.column, 3);
    EXPECT_EQ(game.piece.row, 0);
    EXPECT_EQ(game.game_over, 0);
    EXPECT_EQ(game.lines, 0);
    EXPECT_EQ(game.repeat_counter, 0);
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(game.drop_timer, 0);
    for (uint8_t cell : game.board)
        ASSERT_EQ(cell, 0);
    // Left as the last game left them.
    EXPECT_EQ(game.piece.rotation, 2);
    EXPECT_EQ(game.level, before.level);
    EXPECT_EQ(std::memcmp(game.working_mask, before.working_mask, 16), 0);
    EXPECT_EQ(game.rows_cleared, before.rows_cleared);
    EXPECT_EQ(game.shake_timer, before.shake_timer);
    EXPECT_EQ(game.shake_offset, before.shake_offset);
    EXPECT_EQ(game.popup_timer, before.popup_timer);
    EXPECT_EQ(game.popup_kind, before.popup_kind);
    EXPECT_EQ(game.popup_row, before.popup_row);
    EXPECT_EQ(game.piece_pixel_y, 12.5f);
}

// --- gravity ---

TEST_F(RulesTest, AtLevelZeroThePieceFallsOneRowEveryThirtyFrames)
{
    Frames(29);
    EXPECT_EQ(game.piece.row, 0);
    EXPECT_EQ(game.drop_timer, 29);
    Frames(1);  // the 30th frame of the game
    EXPECT_EQ(game.piece.row, 1);
    EXPECT_EQ(game.drop_timer, 0);
    Frames(29);
    EXPECT_EQ(game.piece.row, 1);
    Frames(1);
    EXPECT_EQ(game.piece.row, 2);
}

TEST_F(RulesTest, ThePieceGlidesDownBetweenItsRows)
{
    Frames(1);
    EXPECT_FLOAT_EQ(game.piece_pixel_y, 1.0f / 30.0f * 16.0f - 16.0f);
    Frames(14);
    EXPECT_FLOAT_EQ(game.piece_pixel_y, -8.0f);
    Frames(15);  // the step: a whole row above the new row
    EXPECT_FLOAT_EQ(game.piece_pixel_y, 0.0f);
    Frames(3);
    EXPECT_FLOAT_EQ(game.piece_pixel_y, 3.0f / 30.0f * 16.0f);
}

TEST_F(RulesTest, EachLevelShortensThePeriodByOneFrame)
{
    for (int level : {1, 10, 28}) {
        SetUp();
        game.level = level;
        Frames(30 - level - 1);
        EXPECT_EQ(game.piece.row, 0) << "level " << level;
        Frames(1);
        EXPECT_EQ(game.piece.row, 1) << "level " << level;
    }
}

TEST_F(RulesTest, FromLevelTwentyNineOnThePieceFallsEveryFrame)
{
    for (int level = 29; level <= 40; level++) {
        SetUp();
        game.level = level;
        EXPECT_EQ(GravityPeriod(), 1);
        Frames(5);
        EXPECT_EQ(game.piece.row, 5) << "level " << level;
        EXPECT_TRUE(std::isfinite(game.piece_pixel_y));
        EXPECT_EQ(game.piece_pixel_y, 64.0f);  // drawn exactly on its row
    }
}

TEST_F(RulesTest, SoftDropFallsOneRowPerFrameAndLandsTheFrameAfterItComesToRest)
{
    PlacePiece(3, 0, 3, 0);  // O: rows 1 and 2 of its box
    Frames(17, MOVE_SOFT_DROP);
    EXPECT_EQ(game.piece.row, 17);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 0);
    Frames(1, MOVE_SOFT_DROP);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 1);
    EXPECT_EQ(game.piece.row, 0);
    EXPECT_EQ(game.piece.kind, 1);  // the previous next_kind
    EXPECT_EQ(BoardPicture(2), Picture({"....XX.....", "....XX....."}));
}

TEST_F(RulesTest, APieceAtRestCanStillMoveUntilTheNextGravityStep)
{
    PlacePiece(3, 0, 3, 17);  // O already on the floor
    game.repeat_counter = 0;
    Frames(8, MOVE_LEFT);  // frame 8: one column left, no gravity yet
    EXPECT_EQ(game.piece.column, 2);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 0);
    Frames(22);  // frame 30: the gravity step finds it blocked
    EXPECT_EQ(Played(RULE_SOUND_DROP), 1);
    EXPECT_EQ(BoardPicture(2), Picture({"...XX......", "...XX......"}));
}

// --- the command rhythm ---

TEST_F(RulesTest, AHeldCommandActsOnceEveryEightFrames)
{
    PlacePiece(3, 0, 3, 5);
    int columns[17];
    for (int frame = 1; frame <= 16; frame++) {
        Frames(1, MOVE_RIGHT);
        columns[frame] = game.piece.column;
    }
    for (int frame = 1; frame <= 7; frame++)
        EXPECT_EQ(columns[frame], 3) << "frame " << frame;
    for (int frame = 8; frame <= 15; frame++)
        EXPECT_EQ(columns[frame], 4) << "frame " << frame;
    EXPECT_EQ(columns[16], 5);
}

TEST_F(RulesTest, TheCommandIsClearedEveryTickWhetherOrNotItActed)
{
    Frame(MOVE_LEFT);  // repeat_counter 1: not a command frame
    EXPECT_EQ(pending, MOVE_NONE);
    EXPECT_EQ(game.piece.column, 3);
    EXPECT_EQ(game.repeat_counter, 1);
}

TEST_F(RulesTest, TheRepeatCounterWrapsTo128BelowZeroAndActsThere)
{
    game.repeat_counter = 126;
    Frames(1, MOVE_RIGHT);
    EXPECT_EQ(game.repeat_counter, 127);
    EXPECT_EQ(game.piece.column, 3);
    Frames(1, MOVE_RIGHT);  // 127 + 1 wraps to -128, a multiple of 8
    EXPECT_EQ(game.piece.column, 4);
    EXPECT_EQ(game.repeat_counter, 0);
}

TEST_F(RulesTest, SoftDropOnACommandFrameMovesNothingSidewaysButRestartsTheRhythm)
{
    game.repeat_counter = 7;
    Frames(1, MOVE_SOFT_DROP);
    EXPECT_EQ(game.repeat_counter, 0);
    EXPECT_EQ(game.piece.column, 3);
    EXPECT_EQ(game.piece.row, 1);
}

TEST_F(RulesTest, ANewPieceKeepsTheRotationOfTheOneThatLanded)
{
    PlacePiece(1, 2, 3, 16);  // L in rotation 2, resting on the floor
    game.next_kind = 5;
    Frames(1, MOVE_SOFT_DROP);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 1);
    EXPECT_EQ(game.piece.kind, 5);
    EXPECT_EQ(game.piece.rotation, 2);
}

// --- game over ---

TEST_F(RulesTest, LandingInRowZeroEndsTheGameButStillScoresItsRows)
{
    SetBoard({
        "XXXX..XXXXX",  // row 2: the O completes it
        ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX",
        ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX",
        ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX", ".XXXXXXXXXX",
    });
    PlacePiece(3, 0, 3, 0);  // O in rows 1 and 2, on top of the stack
    Frames(1, MOVE_SOFT_DROP);
    EXPECT_EQ(game.game_over, 1);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 1);
    EXPECT_EQ(Played(RULE_SOUND_LINEDONE), 1);
    EXPECT_EQ(game.score, 50);
    EXPECT_EQ(game.lines, 1);
    // The O's lower half went with row 2; its upper half moved down into row 2.
    EXPECT_EQ(BoardPicture().substr(0, 12 * 4),
              Picture({"...........", "...........", "....XX.....", ".XXXXXXXXXX"}));
}

TEST_F(RulesTest, AfterGameOverOnlyTheTimerShakeAndRowRemovalRun)
{
    game.game_over = 1;
    game.popup_timer = 30;
    game.shake_timer = 10;
    GameSession before = game;
    Frame(MOVE_SOFT_DROP);
    EXPECT_EQ(pending, MOVE_SOFT_DROP);  // no tick consumed it
    EXPECT_EQ(std::memcmp(&game.piece, &before.piece, sizeof game.piece), 0);
    EXPECT_EQ(game.repeat_counter, before.repeat_counter);
    EXPECT_EQ(game.drop_timer, before.drop_timer + 1);
    EXPECT_EQ(game.popup_timer, 30);  // frozen
    EXPECT_EQ(game.shake_timer, 9);
    SetBoard({"XXXXXXXXXXX"});
    Frame(MOVE_NONE);
    EXPECT_EQ(game.lines, 1);
    EXPECT_EQ(game.popup_timer, 50);
}

// --- the shake and the order of random draws ---

TEST_F(RulesTest, AShakeOfNFramesDrawsNValuesAndItsLastFrameIsAtRest)
{
    SeedRandom(1);  // values 41, 18467, 6334, 26500
    game.shake_timer = 3;
    ShakeBoard();
    EXPECT_EQ(game.shake_offset, 3 - 41 % 6);  // -2
    ShakeBoard();
    EXPECT_EQ(game.shake_offset, 3 - 18467 % 6);  // -2
    ShakeBoard();
    EXPECT_EQ(game.shake_offset, 0);
    EXPECT_EQ(game.shake_timer, 0);
    ShakeBoard();  // at rest: no draw
    EXPECT_EQ(NextRandom(), 26500);
}

TEST_F(RulesTest, TheShakeDrawsBeforeTheSpawnInTheSameFrame)
{
    // After the reset the generator stands at its third value, 6334, then 26500.
    game.shake_timer = 1;
    PlacePiece(3, 0, 3, 17);
    Frames(1, MOVE_SOFT_DROP);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 1);
    EXPECT_EQ(game.next_kind, 26500 % 7);  // 5; the shake took 6334
}

// --- rewards for removed rows ---

TEST_F(RulesTest, RowsRemovedAtOnceEarnTheirBonusShakeSoundAndPopup)
{
    struct Reward { int rows, score, shake; RuleSound sound; };
    const Reward rewards[] = {
        {1, 50, 20, RULE_SOUND_LINEDONE},
        {2, 200, 40, RULE_SOUND_LINEDONE},
        {3, 350, 80, RULE_SOUND_LINEDONE},
        {4, 600, 120, RULE_SOUND_EXPLODE},
    };
    for (const Reward& reward : rewards) {
        SetUp();
        SetBoard({"XXXXXXXXXXX", "XXXXXXXXXXX", "XXXXXXXXXXX", "XXXXXXXXXXX"});
        for (int row = 16; row < 20 - reward.rows; row++)
            game.board[row] = 0;  // column 0 of the rows that should stay
        RemoveFullRows();
        EXPECT_EQ(game.rows_cleared, reward.rows);
        EXPECT_EQ(game.score, reward.score) << reward.rows << " rows";
        EXPECT_EQ(game.shake_timer, reward.shake);
        EXPECT_EQ(game.popup_kind, reward.rows);
        EXPECT_EQ(game.popup_timer, 50);
        EXPECT_EQ(game.popup_row, 19);
        EXPECT_EQ(Played(reward.sound), 1);
        EXPECT_EQ(Played(RULE_SOUND_LINEDONE) + Played(RULE_SOUND_EXPLODE), 1);
    }
}

TEST_F(RulesTest, NoRowRemovedChangesNothing)
{
    game.shake_timer = 7;
    game.popup_timer = 9;
    game.rows_cleared = 3;
    SetBoard({"XXXXXXXXXX."});
    RemoveFullRows();
    EXPECT_EQ(game.rows_cleared, 0);
    EXPECT_EQ(game.shake_timer, 7);
    EXPECT_EQ(game.popup_timer, 9);
    EXPECT_EQ(game.score, 0);
    EXPECT_EQ(Played(RULE_SOUND_LINEDONE) + Played(RULE_SOUND_EXPLODE), 0);
}

TEST_F(RulesTest, ANewRemovalRestartsTheShakeAndPopupRatherThanAddingToThem)
{
    game.shake_timer = 100;
    game.popup_timer = 12;
    game.popup_kind = 4;
    game.popup_row = 19;
    SetBoard({"XXXXXXXXXXX", "..........."});
    RemoveFullRows();
    EXPECT_EQ(game.shake_timer, 20);
    EXPECT_EQ(game.popup_timer, 50);
    EXPECT_EQ(game.popup_kind, 1);
    EXPECT_EQ(game.popup_row, 18);
}

TEST_F(RulesTest, FourRowsFromOneLandingScoreSixHundredAndExplode)
{
    SetBoard({"XXXXXXXXXX.", "XXXXXXXXXX.", "XXXXXXXXXX.", "XXXXXXXXXX."});
    PlacePiece(0, 0, 9, 0);  // upright I over the well in column 10
    Frames(16, MOVE_SOFT_DROP);
    EXPECT_EQ(game.piece.row, 16);
    Frames(1, MOVE_SOFT_DROP);
    EXPECT_EQ(game.score, 600);
    EXPECT_EQ(game.lines, 4);
    EXPECT_EQ(game.popup_row, 19);
    EXPECT_EQ(game.shake_timer, 120);
    EXPECT_EQ(Played(RULE_SOUND_EXPLODE), 1);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 1);
    for (uint8_t cell : game.board)
        ASSERT_EQ(cell, 0);
}

TEST_F(RulesTest, ThePopupCountsDownFromTheFrameAfterItsRemoval)
{
    SetBoard({"XXXXXXXXXXX"});
    Frames(1);
    EXPECT_EQ(game.popup_timer, 50);
    Frames(1);
    EXPECT_EQ(game.popup_timer, 49);
    Frames(60);
    EXPECT_EQ(game.popup_timer, 0);
}

// --- the mends: a rotation in a gravity tick, and never outside the board ---

TEST_F(RulesTest, ARotationInAGravityTickLandsInItsNewShapeInsideTheBoard)
{
    // Lying I in row 17; the upright rotation 2 stands in column 5, rows 16..19, on the floor.
    // Tested in its old shape the piece would step down and later stamp a cell below row 19.
    PlacePiece(0, 1, 3, 16);
    game.drop_timer = 29;  // this frame is a gravity step
    game.repeat_counter = 7;  // and a command frame
    Frames(1, MOVE_ROTATE);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 1);
    EXPECT_EQ(BoardPicture(), Picture({
        "...........", "...........", "...........", "...........", "...........",
        "...........", "...........", "...........", "...........", "...........",
        "...........", "...........", "...........", "...........", "...........",
        "...........", ".....X.....", ".....X.....", ".....X.....", ".....X.....",
    }));
}

TEST_F(RulesTest, ARotationInAGravityTickNeverStepsIntoFilledCells)
{
    // Lying I at row offset 1 of row 10; upright (rotation 2, column 5) covers rows 10..13
    // with row 14 filled below it: the rotated piece must land there, not step down.
    SetBoard({".....X....."});
    for (int row = 14; row < 20; row++)
        game.board[5 * BOARD_ROWS + row] = 1;
    PlacePiece(0, 1, 3, 10);
    game.drop_timer = 29;
    game.repeat_counter = 7;
    Frames(1, MOVE_ROTATE);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 1);
    for (int row = 10; row < 20; row++)
        EXPECT_EQ(game.board[5 * BOARD_ROWS + row], 1) << "row " << row;
    int filled = 0;
    for (uint8_t cell : game.board)
        filled += cell;
    EXPECT_EQ(filled, 10);
}

TEST_F(RulesTest, ARotationWithoutAGravityStepOnlyTurnsThePiece)
{
    PlacePiece(0, 1, 3, 10);
    game.repeat_counter = 7;
    Frames(1, MOVE_ROTATE);
    EXPECT_EQ(game.piece.rotation, 2);
    EXPECT_EQ(game.piece.row, 10);
    EXPECT_EQ(game.piece.column, 3);
    EXPECT_EQ(game.drop_timer, 1);
    EXPECT_EQ(Played(RULE_SOUND_DROP), 0);
    for (uint8_t cell : game.board)
        ASSERT_EQ(cell, 0);
}
