// A scripted player for the loop soak: it holds keys the way a restless player
// would, frame after frame, in rounds: a stack dropped to the top and Tab, a
// climb to a target level (level 40 in the first round), play at that level
// until the game ends, random keys; pauses all along.
// It reads the game's state to choose its keys, and lays rows on the board for
// the pieces it drops, so that rows are removed quickly at every level.
#pragma once
#include <random>

enum SoakKey { KEY_LEFT, KEY_RIGHT, KEY_UP, KEY_DOWN, KEY_P, KEY_TAB, KEY_ESCAPE, KEY_COUNT };

struct Keys {
    bool held[KEY_COUNT] = {};
};

enum SoakPhase {
    CHAOS,   // random arrows, P and Tab
    FINISH,  // straight drops until the game ends, then Tab
    CLIMB,   // every piece dropped straight into rows laid for it, to the target level
    CRUISE,  // nine pieces in ten so, the others under random arrows, until the game ends
};

struct SoakPlayer {
    explicit SoakPlayer(unsigned seed) : rng(seed) {}
    std::mt19937 rng;
    SoakPhase phase = FINISH;
    long phase_frames = 0;    // frames left in CHAOS and CRUISE
    int target_level = 40;    // where CLIMB ends
    bool fit_piece = false;   // this piece lands in rows laid for it
    bool piece_planned = false, rows_laid = false;
    Keys random_keys;
    int pause_hold = 0, pause_wait = 0;  // a pause episode: P down, paused, P down again
    int tab_hold = 0;
    bool restarted = false;  // FINISH has pressed Tab after the game ended

    Keys NextKeys();  // soak, before every frame: the keys to hold in it (may lay rows)
    void NewPiece();  // soak, after a frame in which a piece landed
    void NewGame();   // soak, after a frame that began a new game

private:
    bool PerMille(int chance) { return (int)(rng() % 1000) < chance; }
    void PlanPiece();
    void NextPhase();
    void RandomArrows(Keys& keys, bool with_tab);
    void PauseEpisodes(Keys& keys, int per_mille);
};

// True when the falling piece can fall no further where it stands.
bool PieceResting();
// Fills every empty cell of the rows the piece stands in, but its own.
void FillRowsAroundPiece();
