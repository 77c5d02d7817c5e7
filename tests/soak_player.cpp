// The loop soak's scripted player: keys chosen from the game's state, and rows
// laid around the pieces it drops.
#include "tests/soak_player.h"

#include <algorithm>

#include "game/board.h"
#include "game/piece_table.h"
#include "game/session.h"
#include "shell/main_loop.h"

// Asked on a copy of the session, which is put back.
bool PieceResting()
{
    const GameSession saved = game;
    RefreshWorkingMask();
    bool resting = IsBlockedBelow();
    game = saved;
    return resting;
}

// Laid once the piece rests, its landing removes every one of these rows: one
// to four a piece at any level, however fast it falls, and nothing left over.
void FillRowsAroundPiece()
{
    const ActivePiece& piece = game.piece;
    for (int dy = 0; dy < 4; dy++) {
        int row = piece.row + dy;
        bool piece_row = false;
        for (int dx = 0; dx < 4; dx++)
            piece_row |= PieceCell(piece.kind, piece.rotation, dx, dy) != 0;
        if (!piece_row || row >= BOARD_ROWS)
            continue;
        for (int column = 0; column < BOARD_COLUMNS; column++)
            if (!PieceCell(piece.kind, piece.rotation, column - piece.column, dy))
                game.board[column * BOARD_ROWS + row] = 1;
    }
}

void SoakPlayer::NewPiece()
{
    piece_planned = false;
    rows_laid = false;
}

void SoakPlayer::NewGame()
{
    NewPiece();
    if (phase == FINISH && restarted)
        NextPhase();
}

void SoakPlayer::PlanPiece()
{
    if (!piece_planned)
        fit_piece = phase == CLIMB || (phase == CRUISE && PerMille(900));
    piece_planned = true;
    // The rows come once the piece rests, with nothing but Down pending (a move
    // or turn would take it off them) and the game about to tick.
    if (fit_piece && !rows_laid && !game.game_over && pause_state == -1 && (MoveCommand == 0 || MoveCommand == 5) &&
        PieceResting()) {
        FillRowsAroundPiece();
        rows_laid = true;
    }
}

void SoakPlayer::NextPhase()
{
    switch (phase) {
    case CHAOS:
        phase = FINISH;
        break;
    case FINISH:
        phase = CLIMB;
        restarted = false;
        break;
    case CLIMB:
        phase = CRUISE;
        phase_frames = 3000 + (long)(rng() % 6000);
        break;
    case CRUISE:
        phase = CHAOS;
        phase_frames = 100 + (long)(rng() % 200);
        target_level = 2 + (int)(rng() % 39);
        break;
    }
    piece_planned = false;
}

// Arrows held at random, changing now and then; Tab tapped now and then.
void SoakPlayer::RandomArrows(Keys& keys, bool with_tab)
{
    if (PerMille(100))
        for (int key = KEY_LEFT; key <= KEY_DOWN; key++)
            random_keys.held[key] = PerMille(300);
    for (int key = KEY_LEFT; key <= KEY_DOWN; key++)
        keys.held[key] = random_keys.held[key];
    if (with_tab && tab_hold == 0 && PerMille(20))
        tab_hold = 1 + (int)(rng() % 3);
}

// P held a few frames, the game left paused a while, then P again.
void SoakPlayer::PauseEpisodes(Keys& keys, int per_mille)
{
    if (pause_hold == 0 && pause_wait == 0 && PerMille(per_mille)) {
        pause_hold = 1 + (int)(rng() % 4);
        pause_wait = 1 + (int)(rng() % 120);
    }
    if (pause_hold > 0) {
        keys.held[KEY_P] = true;
        pause_hold--;
    } else if (pause_wait > 0 && --pause_wait == 0) {
        pause_hold = 1 + (int)(rng() % 4);
    }
}

Keys SoakPlayer::NextKeys()
{
    Keys keys;
    if (phase_frames > 0)
        phase_frames--;
    switch (phase) {
    case CHAOS:
        RandomArrows(keys, true);
        PauseEpisodes(keys, 10);
        if (phase_frames == 0)
            NextPhase();
        break;
    case FINISH:
        PauseEpisodes(keys, 0);  // ends one begun before
        keys.held[KEY_DOWN] = !game.game_over;
        if (game.game_over) {
            tab_hold = std::max(tab_hold, 1);
            restarted = true;
        }
        break;
    case CLIMB:
        PlanPiece();
        keys.held[KEY_DOWN] = true;
        PauseEpisodes(keys, 5);
        if (game.level >= target_level)
            NextPhase();
        else if (game.game_over)
            phase = FINISH;  // restart and climb again
        break;
    case CRUISE:
        PlanPiece();
        if (fit_piece)
            keys.held[KEY_DOWN] = true;
        else
            RandomArrows(keys, false);
        PauseEpisodes(keys, 2);
        if (phase_frames == 0 || game.game_over)
            NextPhase();
        break;
    }
    if (tab_hold > 0) {
        keys.held[KEY_TAB] = true;
        tab_hold--;
    }
    // A pause left standing would stop the play: P, down and up, until it ends.
    if (phase != CHAOS && pause_hold == 0 && pause_wait == 0 && pause_state == 1 && !keys.held[KEY_P])
        pause_hold = 1;
    return keys;
}
