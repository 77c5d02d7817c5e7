// Whole games through the rules: a scripted game whose outcome is worked out by
// hand, a long soak of random commands at every level up to 40 that checks the
// board and piece after every frame, and frames that must not allocate.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

#include "audio/sound_effects.h"
#include "game/board.h"
#include "game/piece_table.h"
#include "game/random.h"
#include "game/rules.h"
#include "game/session.h"
#include "shell/main_loop.h"
#include "tests/alloc_counter.h"
#include "tests/board_pictures.h"

namespace {

struct Hold {
    int32_t command;  // what the main loop leaves in MoveCommand before each frame
    int frames;
};

void Play(const Hold* script, int count)
{
    for (int i = 0; i < count; i++) {
        for (int frame = 0; frame < script[i].frames; frame++) {
            MoveCommand = script[i].command;
            RunRulesFrame();
        }
    }
    MoveCommand = MOVE_NONE;
}

int CountSounds()
{
    int total = 0;
    for (int count : sound_play_count)
        total += count;
    return total;
}

// What must hold after every frame; empty when all is well.
std::string BrokenInvariant(bool overlap_excused)
{
    for (uint8_t cell : game.board)
        if (cell > 1)
            return "a board cell holds neither 0 nor 1";
    for (int row = 0; row < BOARD_ROWS; row++) {
        int filled = 0;
        for (int column = 0; column < BOARD_COLUMNS; column++)
            filled += game.board[column * BOARD_ROWS + row];
        if (filled == BOARD_COLUMNS)
            return "a full row was left after the row removal";
    }
    if (game.rows_cleared < 0 || game.rows_cleared > 4)
        return "rows_cleared out of 0..4";
    if (game.shake_offset < -2 || game.shake_offset > 3 || game.shake_timer < 0 || game.shake_timer > 120)
        return "shake out of range";
    if (game.popup_timer < 0 || game.popup_timer > 50)
        return "popup_timer out of range";
    if (game.game_over)
        return "";
    const ActivePiece& piece = game.piece;
    if (piece.kind > 6 || piece.rotation < 0 || piece.rotation > 3)
        return "piece kind or rotation out of range";
    if (piece.column < -2 || piece.column > 9 || piece.row < 0 || piece.row > 18)
        return "piece position out of range";
    for (int dx = 0; dx < 4; dx++)
        for (int dy = 0; dy < 4; dy++)
            if (PieceCell(piece.kind, piece.rotation, dx, dy)) {
                int column = piece.column + dx, row = piece.row + dy;
                if (column < 0 || column >= BOARD_COLUMNS || row < 0 || row >= BOARD_ROWS)
                    return "a piece cell lies outside the board";
            }
    if (!overlap_excused && PieceOverlapsBoard())
        return "the piece moved onto filled cells";
    const int32_t period = GravityPeriod();
    if (game.drop_timer < 0 || game.drop_timer >= period)
        return "drop_timer outside its period";
    double expected_y = (double)game.drop_timer / period * 16.0 + (piece.row - 1) * 16.0;
    if (!std::isfinite(game.piece_pixel_y) || std::fabs(game.piece_pixel_y - expected_y) > 1e-3)
        return "piece_pixel_y does not follow drop_timer and row";
    return "";
}

// A random starting board: up to 12 bottom rows full but for one well column shared
// by all of them near the middle (so that landings complete rows), some with a second hole.
void FillRandomBoard(std::mt19937& rng)
{
    std::fill(std::begin(game.board), std::end(game.board), 0);
    int rows = (int)(rng() % 13), well = 2 + (int)(rng() % 7);  // within quick reach of a new piece
    for (int row = BOARD_ROWS - rows; row < BOARD_ROWS; row++) {
        for (int column = 0; column < BOARD_COLUMNS; column++)
            game.board[column * BOARD_ROWS + row] = column != well;
        if (rng() % 10 < 3)
            game.board[(int)(rng() % BOARD_COLUMNS) * BOARD_ROWS + row] = 0;
    }
}

// Commands as a player's keys would give them, plus values no key produces.
int32_t RandomCommand(std::mt19937& rng)
{
    static const int32_t commands[] = {0, 0, 1, 1, 2, 2, 3, 3, 5, 5, 4, -1, 6, 1000, INT_MIN, INT_MAX};
    return commands[rng() % (sizeof commands / sizeof commands[0])];
}

// Rows that dropping the piece straight down from (rotation, column) would complete,
// or -1 where it cannot stand; found on a copy of the session, which is put back.
int RowsCompletedByDrop(int rotation, int column)
{
    const GameSession saved = game;
    PlacePiece(game.piece.kind, rotation, column, 0);
    int rows = -1;
    bool fits = true;
    for (int dx = 0; dx < 4; dx++)
        for (int dy = 0; dy < 4; dy++)
            if (PieceCell(game.piece.kind, rotation, dx, dy) && BoardCell(column + dx, dy))
                fits = false;
    if (fits) {
        RefreshWorkingMask();
        while (!IsBlockedBelow())
            StepDown();
        StampPiece();
        rows = 0;
        for (int row = 0; row < BOARD_ROWS; row++) {
            int filled = 0;
            for (int c = 0; c < BOARD_COLUMNS; c++)
                filled += game.board[c * BOARD_ROWS + row];
            rows += filled == BOARD_COLUMNS;
        }
    }
    game = saved;
    return rows;
}

// A restless player: each piece gets an aim (rotation and column: mostly the drop that
// completes most rows, else a random one) that the keys steer towards
// before dropping it, with random key noise mixed in; a quarter of the pieces get
// nothing but noise. So rows are removed, and rotations and side moves meet walls
// and stacks.
struct Player {
    int target_column = 3, target_rotation = 0, hold_left = 0;
    bool aiming = true;
    int32_t held = MOVE_NONE;

    void NewPiece(std::mt19937& rng)
    {
        aiming = rng() % 4 != 0;
        target_rotation = (int)(rng() % 4);
        target_column = (int)(rng() % 12) - 2;
        if (rng() % 4 == 0)
            return;
        int best = 0;
        for (int rotation = 0; rotation < 4; rotation++)
            for (int column = -2; column <= 9; column++) {
                int rows = RowsCompletedByDrop(rotation, column);
                if (rows > best) {
                    best = rows;
                    target_rotation = rotation;
                    target_column = column;
                }
            }
    }
    int32_t Command(std::mt19937& rng)
    {
        if (hold_left-- > 0)
            return held;
        if (!aiming || rng() % 8 == 0) {
            held = RandomCommand(rng);
            hold_left = (int)(rng() % 20);
            return held;
        }
        if (game.piece.rotation != target_rotation && rng() % 6 != 0)
            return MOVE_ROTATE;
        if (game.piece.column < target_column)
            return MOVE_RIGHT;
        if (game.piece.column > target_column)
            return MOVE_LEFT;
        return MOVE_SOFT_DROP;
    }
};

}  // namespace

TEST(Rules, AScriptedGameEndsWithTheBoardScoreLinesAndLevelWorkedOutByHand)
{
    game = GameSession{};
    SeedRandom(1);  // values 41, 18467, 6334, 26500, 19169, 15724, 11478: kinds J, L, J, Z, O
    ResetGame();
    game.lines = 9;  // one row short of level 1
    SetBoard({"..XXX.XXXX."});
    int sounds[SOUND_SLOT_COUNT];
    std::memcpy(sounds, sound_play_count, sizeof sounds);

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
    EXPECT_EQ(sound_play_count[SOUND_DROP] - sounds[SOUND_DROP], 3);
    EXPECT_EQ(sound_play_count[SOUND_LINEDONE] - sounds[SOUND_LINEDONE], 1);
    EXPECT_EQ(sound_play_count[SOUND_LEVELUP] - sounds[SOUND_LEVELUP], 1);
    EXPECT_EQ(sound_play_count[SOUND_EXPLODE] - sounds[SOUND_EXPLODE], 0);
}

TEST(Rules, SoakOfRandomCommandsAtEveryLevelKeepsThePieceAndBoardSound)
{
    std::mt19937 rng(5);
    const int games = 41 * 30;
    long frames = 0, landings = 0, removals = 0, frames_allocating = 0;
    int highest_level = 0;
    for (int index = 0; index < games; index++) {
        game = GameSession{};
        game.piece.rotation = (int8_t)(rng() % 4);
        SeedRandom(rng());
        ResetGame();
        game.level = index % 41;  // every starting level 0..40
        FillRandomBoard(rng);
        Player player;
        player.NewPiece(rng);
        // A new piece may enter over filled cells, or have rows moved down onto it in the
        // frame it enters; only then may it overlap them until the next piece comes.
        bool overlap_excused = PieceOverlapsBoard();
        int after_game_over = 0;
        for (int frame = 0; frame < 4000 && after_game_over < 8; frame++) {
            MoveCommand = player.Command(rng);
            int drops = sound_play_count[SOUND_DROP], lines = game.lines;
            uint64_t allocations = AllocationCount();
            RunRulesFrame();
            frames_allocating += AllocationCount() != allocations;
            frames++;
            if (sound_play_count[SOUND_DROP] != drops) {
                landings++;
                overlap_excused = PieceOverlapsBoard();
                player.NewPiece(rng);
            }
            removals += game.lines - lines;
            after_game_over += game.game_over;
            std::string broken = BrokenInvariant(overlap_excused);
            if (!broken.empty())
                FAIL() << broken << " in game " << index << " frame " << frame << " at level " << game.level
                       << "\n" << BoardPicture(BOARD_ROWS, true);
        }
        highest_level = std::max(highest_level, game.level);
    }
    MoveCommand = MOVE_NONE;
    EXPECT_EQ(frames_allocating, 0);
    EXPECT_GE(highest_level, 40);
    // The soak must really have played: pieces landed and rows were removed.
    EXPECT_GT(landings, 5000);
    EXPECT_GT(removals, 300);
    RecordProperty("frames", (int)frames);
    std::printf("soak: %ld frames, %ld landings, %ld rows removed\n", frames, landings, removals);
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
    for (int frame = 0; frame < 400; frame++) {
        MoveCommand = frame % 3 == 0 ? MOVE_SOFT_DROP : MOVE_ROTATE;
        RunRulesFrame();
    }
    EXPECT_EQ(AllocationCount(), before);
    EXPECT_EQ(game.lines, 4);
    EXPECT_EQ(game.game_over, 1);
    EXPECT_GT(CountSounds(), sounds + 2);
    MoveCommand = MOVE_NONE;
}
