// The game's rules per frame: board shake, the gravity count, the tick that moves,
// drops and lands the piece, and the removal of full rows with its rewards.
#include "game/rules.h"

#include <cstdint>

#include "game/board.h"
#include "game/random.h"
#include "game/rule_sounds.h"
#include "game/session.h"

// From level 30 on 30 - level would never be reached (or divide by zero), so the
// fastest gravity is one row per frame, reached at level 29.
int32_t GravityPeriod()
{
    return game.level >= 29 ? 1 : 30 - game.level;
}

void ShakeBoard()
{
    if (game.shake_timer <= 0)
        return;
    game.shake_offset = 3 - NextRandom() % 6;  // -2..3
    game.shake_timer--;
    if (game.shake_timer <= 0)
        game.shake_offset = 0;  // the last frame of a shake is drawn at rest
}

void CountDropTimer()
{
    if (game.drop_timer < INT32_MAX)  // it grows all through a game over
        game.drop_timer++;
}

// Points for rows removed at once: 50 a row from RemoveRow, and a bonus on top.
static const int32_t row_bonus[5] = {0, 0, 100, 200, 400};

int32_t RowsReward(int32_t rows)
{
    return rows >= 1 && rows <= 4 ? 50 * rows + row_bonus[rows] : 0;
}

// Acts once every 8 frames of the free-running counter (also at -128 after the wrap).
static void ApplyCommand(PlayerCommand command)
{
    game.repeat_counter = (int8_t)(game.repeat_counter + 1);
    if (command == MOVE_SOFT_DROP)
        game.drop_timer = GravityPeriod();
    if (game.repeat_counter % 8 == 0 && command > 0) {
        TryMove(command);
        game.repeat_counter = 0;
        // Gravity below tests and stamps working_mask: it must hold the rotated shape,
        // or a step down could carry the piece into filled cells or off the board.
        if (command == MOVE_ROTATE)
            RefreshWorkingMask();
    }
}

// Returns true when the piece landed (stamped; game over if still in row 0).
static bool ApplyGravity()
{
    // drop_timer never passes the period in play; >= keeps a shortened period from stalling.
    if (game.drop_timer < GravityPeriod())
        return false;
    if (!IsBlockedBelow()) {
        StepDown();
        return false;
    }
    if (game.piece.row < 1)
        game.game_over = 1;
    StampPiece();
    return true;
}

PlayerCommand TickGame(PlayerCommand command)
{
    RefreshWorkingMask();
    ApplyCommand(command);
    if (ApplyGravity()) {
        SpawnPiece();
        AskForSound(RULE_SOUND_DROP);
    }
    const int32_t period = GravityPeriod();
    if (game.drop_timer >= period)
        game.drop_timer = 0;
    game.piece_pixel_y = (float)((double)game.drop_timer / period * CELL_PIXELS + (game.piece.row - 1) * CELL_PIXELS);
    return MOVE_NONE;
}

void CountDownPopup()
{
    if (game.popup_timer > 0)
        game.popup_timer--;
}

// Bonus on top of RemoveRow's 50 per row, shake length and sound, by rows removed at once.
static void RewardRows(int32_t rows)
{
    static const int32_t shake_frames[5] = {0, 20, 40, 80, 120};
    if (rows < 1 || rows > 4)
        return;
    game.score += row_bonus[rows];
    game.shake_timer = shake_frames[rows];
    game.popup_kind = rows;
    game.popup_timer = 50;
    AskForSound(rows == 4 ? RULE_SOUND_EXPLODE : RULE_SOUND_LINEDONE);
}

// Four passes suffice: one landing fills at most four rows, and each pass removes
// at least the lowest full row.
void RemoveFullRows()
{
    game.rows_cleared = 0;
    for (int pass = 0; pass < 4; pass++)
        ScanFullRows();
    RewardRows(game.rows_cleared);
}

PlayerCommand RunRulesFrame(PlayerCommand command)
{
    rule_sounds.count = 0;
    ShakeBoard();
    CountDropTimer();
    if (!game.game_over) {
        command = TickGame(command);
        CountDownPopup();
    }
    RemoveFullRows();
    return command;
}
