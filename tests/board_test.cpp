// Board and piece mechanics on real boards: spawning, the working mask, moves and
// rotations at the walls, the floor and filled cells, landing, and row removal.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "game/board.h"
#include "game/random.h"
#include "game/rule_sounds.h"
#include "game/session.h"
#include "tests/board_pictures.h"

namespace {

struct BoardTest : ::testing::Test {
    void SetUp() override
    {
        game = GameSession{};
        SeedRandom(1);
    }
    // The piece as placed, with its working mask refreshed as a tick would.
    void Place(int kind, int rotation, int column, int row)
    {
        PlacePiece(kind, rotation, column, row);
        RefreshWorkingMask();
    }
    // Repeats a command until it stops changing the column; returns the last column.
    int MoveAllTheWay(PlayerCommand command)
    {
        for (int i = 0; i < 20; i++)
            TryMove(command);
        return game.piece.column;
    }
};

bool SessionEquals(const GameSession& a, const GameSession& b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

}  // namespace

// --- spawning and the working mask ---

TEST_F(BoardTest, SpawnTakesTheNextKindAtColumnThreeRowZeroAndKeepsTheRotation)
{
    Place(2, 2, 7, 12);
    game.next_kind = 4;
    SpawnPiece();
    EXPECT_EQ(game.piece.kind, 4);
    EXPECT_EQ(game.piece.column, 3);
    EXPECT_EQ(game.piece.row, 0);
    EXPECT_EQ(game.piece.rotation, 2);
    EXPECT_EQ(game.next_kind, 41 % 7);  // the first value after seeding with 1 is 41
}

TEST_F(BoardTest, SpawnDoesNotTestForFilledCells)
{
    SetBoard({"XXXXXXXXXX."});
    for (int row = 0; row < BOARD_ROWS; row++)
        game.board[4 * BOARD_ROWS + row] = 1;  // column 4 filled to the top
    game.next_kind = 0;
    SpawnPiece();
    EXPECT_EQ(game.piece.kind, 0);
    EXPECT_EQ(game.piece.column, 3);
    EXPECT_EQ(game.piece.row, 0);
}

TEST_F(BoardTest, WorkingMaskIsTheTableMaskInColumnMajorOrder)
{
    std::memset(game.working_mask, 7, sizeof game.working_mask);
    Place(1, 0, 3, 0);  // L: .X.. / .X.. / .XX. / ....
    const uint8_t expected[16] = {
        0, 0, 0, 0,  // dx 0, dy 0..3
        1, 1, 1, 0,  // dx 1
        0, 0, 1, 0,  // dx 2
        0, 0, 0, 0,  // dx 3
    };
    EXPECT_EQ(std::memcmp(game.working_mask, expected, 16), 0);
}

// --- moving left and right ---

TEST_F(BoardTest, UprightIReachesColumnMinusOneAndInRotationTwoMinusTwo)
{
    Place(0, 0, 3, 5);
    EXPECT_EQ(MoveAllTheWay(MOVE_LEFT), -1);
    EXPECT_EQ(BoardPicture(16, true).substr(0, 12 * 5), Picture({
        "...........", "#..........", "#..........", "#..........", "#..........",
    }));
    Place(0, 2, 3, 5);
    EXPECT_EQ(MoveAllTheWay(MOVE_LEFT), -2);
}

TEST_F(BoardTest, JInRotationZeroReachesColumnNine)
{
    Place(6, 0, 3, 5);
    EXPECT_EQ(MoveAllTheWay(MOVE_RIGHT), 9);
    Place(0, 0, 3, 5);
    EXPECT_EQ(MoveAllTheWay(MOVE_RIGHT), 9);  // upright I in column offset 1 stands in board column 10
    Place(0, 2, 3, 5);
    EXPECT_EQ(MoveAllTheWay(MOVE_RIGHT), 8);
}

TEST_F(BoardTest, SideMovesStopAtTheCellBeyondTheEndOfAnyRow)
{
    // T in rotation 0 at column 4, row 10: cells (4..6, 11) and (5, 12).
    SetBoard({
        "...........",  // row 9
        "...........",  // row 10
        "..X.....X..",  // row 11: two cells away on each side
        "....X.X....",  // row 12: right beside the stem
        ".........XX",
        "...........", "...........", "...........", "...........", "...........", "...........",
    });
    Place(2, 0, 4, 10);
    TryMove(MOVE_LEFT);
    EXPECT_EQ(game.piece.column, 4);
    TryMove(MOVE_RIGHT);
    EXPECT_EQ(game.piece.column, 4);

    SetBoard({"..X.....X..", "....X......", ".........XX", "...........", "...........", "...........",
              "...........", "...........", "..........."});  // row 11 and below
    Place(2, 0, 4, 10);
    TryMove(MOVE_RIGHT);  // only the stem's left side is blocked
    EXPECT_EQ(game.piece.column, 5);
    TryMove(MOVE_LEFT);
    TryMove(MOVE_LEFT);
    EXPECT_EQ(game.piece.column, 4);
}

TEST_F(BoardTest, ARefusedMoveChangesNothing)
{
    SetBoard({"X.........X"});
    Place(3, 0, -1, 17);  // O against the left wall, resting on row 19
    GameSession before = game;
    TryMove(MOVE_LEFT);
    EXPECT_TRUE(SessionEquals(game, before));
    Place(3, 0, 8, 17);
    before = game;
    TryMove(MOVE_RIGHT);
    EXPECT_TRUE(SessionEquals(game, before));
}

TEST_F(BoardTest, CommandsOtherThanLeftRightAndRotateDoNothing)
{
    Place(5, 1, 4, 8);
    GameSession before = game;
    for (int32_t command : {0, 4, 5, 6, -1, -3, 1000, INT_MIN, INT_MAX}) {
        TryMove(PlayerCommand(command));
        EXPECT_TRUE(SessionEquals(game, before)) << "command " << command;
    }
}

// --- rotating ---

TEST_F(BoardTest, RotationNeedingAColumnOutsideTheBoardIsRefusedWithoutShifting)
{
    Place(0, 0, -1, 5);  // upright I in board column 0; lying would need column -1
    GameSession before = game;
    TryMove(MOVE_ROTATE);
    EXPECT_TRUE(SessionEquals(game, before));

    Place(0, 2, 8, 5);  // upright I in board column 10; lying would need column 11
    before = game;
    TryMove(MOVE_ROTATE);
    EXPECT_TRUE(SessionEquals(game, before));
}

TEST_F(BoardTest, RotationNeedingARowBelowTheFloorIsRefused)
{
    Place(0, 1, 3, 18);  // lying I on row 19; upright in rotation 2 would need rows 18..21
    TryMove(MOVE_ROTATE);
    EXPECT_EQ(game.piece.rotation, 1);
    Place(0, 1, 3, 16);  // two rows higher it fits: rows 16..19
    TryMove(MOVE_ROTATE);
    EXPECT_EQ(game.piece.rotation, 2);
}

TEST_F(BoardTest, RotationIntoAFilledCellIsRefusedAndWrapsFromThreeToZero)
{
    SetBoard({"....X......", "...........", "...........", "..........."});  // (4, 16) filled
    Place(0, 3, 3, 15);  // lying I in row 17; upright rotation 0 covers column 4, rows 15..18
    TryMove(MOVE_ROTATE);
    EXPECT_EQ(game.piece.rotation, 3);
    game.board[4 * BOARD_ROWS + 16] = 0;
    TryMove(MOVE_ROTATE);
    EXPECT_EQ(game.piece.rotation, 0);
}

TEST_F(BoardTest, RotationTestsTheNextMaskFromTheTableAndLeavesTheWorkingMask)
{
    SetBoard({"...........", ".....X.....", "..........."});  // (5, 18) filled
    PlacePiece(0, 0, 3, 14);  // upright I in column 4; rotation 1 lies in row 15: free
    std::memset(game.working_mask, 0, sizeof game.working_mask);
    TryMove(MOVE_ROTATE);
    EXPECT_EQ(game.piece.rotation, 1);
    for (uint8_t cell : game.working_mask)
        EXPECT_EQ(cell, 0);  // not refreshed by the rotation
    PlacePiece(0, 1, 3, 15);  // rotation 2 would stand in column 5, rows 15..18: blocked
    TryMove(MOVE_ROTATE);
    EXPECT_EQ(game.piece.rotation, 1);
}

TEST_F(BoardTest, TheOPieceRotatesWhereverItStands)
{
    SetBoard({"XXXX..XXXXX", "XXXX..XXXXX"});
    Place(3, 0, 3, 17);  // wedged into the gap at the bottom (columns 4 and 5)
    for (int turn = 1; turn <= 4; turn++) {
        TryMove(MOVE_ROTATE);
        EXPECT_EQ(game.piece.rotation, turn % 4);
        EXPECT_EQ(game.piece.column, 3);
        EXPECT_EQ(game.piece.row, 17);
    }
}

// --- falling and landing ---

TEST_F(BoardTest, APieceOnTheFloorIsBlockedAndOneRowHigherIsNot)
{
    Place(3, 0, 4, 17);  // O on rows 18 and 19
    EXPECT_TRUE(IsBlockedBelow());
    Place(3, 0, 4, 16);
    EXPECT_FALSE(IsBlockedBelow());
    StepDown();
    EXPECT_EQ(game.piece.row, 17);
    EXPECT_EQ(game.piece.column, 4);
}

TEST_F(BoardTest, BlockedBelowLooksUnderTheLowestCellOfEachColumn)
{
    Place(2, 0, 4, 10);  // T: cells (4..6, 11), stem (5, 12)
    SetBoard({"......X....", "...........", "...........", "...........", "...........",
              "...........", "...........", "..........."});  // (6, 12): under the right arm
    EXPECT_TRUE(IsBlockedBelow());
    SetBoard({".....X.....", "...........", "...........", "...........", "...........",
              "...........", "..........."});  // (5, 13): under the stem
    EXPECT_TRUE(IsBlockedBelow());
    SetBoard({"...X...X...", "...........", "...........", "...........", "...........",
              "...........", "...........", "..........."});  // (3, 12) and (7, 12): diagonal only
    EXPECT_FALSE(IsBlockedBelow());
}

TEST_F(BoardTest, StampFillsThePieceCellsAndKeepsFilledOnes)
{
    SetBoard({"XXX.....XXX", "XXX.X...XXX"});
    Place(6, 3, 3, 16);  // J rotation 3: cells (3..5, 18) and (5, 19)
    StampPiece();
    EXPECT_EQ(BoardPicture(3), Picture({"...........", "XXXXXX..XXX", "XXX.XX..XXX"}));
}

// --- removing rows ---

TEST_F(BoardTest, RemovingRowTenMovesTheRowsAboveDownOne)
{
    for (int row = 0; row < BOARD_ROWS; row++)
        for (int column = 0; column < BOARD_COLUMNS; column++)
            game.board[column * BOARD_ROWS + row] = (row * 7 + column * 3) % 5 < 2;  // a varied board
    for (int column = 0; column < BOARD_COLUMNS; column++)
        game.board[column * BOARD_ROWS + 10] = 1;
    GameSession before = game;
    RemoveRow(10);
    for (int column = 0; column < BOARD_COLUMNS; column++) {
        EXPECT_EQ(game.board[column * BOARD_ROWS + 0], 0);
        for (int row = 1; row <= 10; row++)
            EXPECT_EQ(game.board[column * BOARD_ROWS + row], before.board[column * BOARD_ROWS + row - 1]);
        for (int row = 11; row < BOARD_ROWS; row++)
            EXPECT_EQ(game.board[column * BOARD_ROWS + row], before.board[column * BOARD_ROWS + row]);
    }
    EXPECT_EQ(game.score, 50);
    EXPECT_EQ(game.lines, 1);
    EXPECT_EQ(game.rows_cleared, 1);
}

TEST_F(BoardTest, TheTenthLineRaisesTheLevelWithOneLevelupSound)
{
    game.lines = 9;
    game.level = 0;
    rule_sounds.count = 0;
    RemoveRow(19);
    EXPECT_EQ(game.lines, 10);
    EXPECT_EQ(game.level, 1);
    ASSERT_EQ(rule_sounds.count, 1);
    EXPECT_EQ(rule_sounds.sound[0], RULE_SOUND_LEVELUP);
    RemoveRow(19);
    EXPECT_EQ(game.lines, 11);
    EXPECT_EQ(game.level, 1);
    EXPECT_EQ(rule_sounds.count, 1);
}

TEST_F(BoardTest, RemovingARowOutsideTheBoardDoesNothing)
{
    SetBoard({"XXXXXXXXXXX", "X.X.X.X.X.X"});
    GameSession before = game;
    for (int row : {-1, 20, 21, -100, 1000}) {
        RemoveRow(row);
        EXPECT_TRUE(SessionEquals(game, before)) << "row " << row;
    }
}

TEST_F(BoardTest, ScanLeavesBoardsWithoutFullRowsAlone)
{
    ScanFullRows();
    EXPECT_EQ(game.lines, 0);
    SetBoard({"XXXXXXXXXX.", ".XXXXXXXXXX", "XXXXX.XXXXX", "XXXXXXXXX.X"});
    GameSession before = game;
    ScanFullRows();
    EXPECT_TRUE(SessionEquals(game, before));
}

TEST_F(BoardTest, FourFullRowsGoInThreePassesTwoThenOneThenOne)
{
    SetBoard({"..X........", "XXXXXXXXXXX", "XXXXXXXXXXX", "XXXXXXXXXXX", "XXXXXXXXXXX"});
    const int removed_by_pass[4] = {2, 1, 1, 0};
    for (int pass = 0; pass < 4; pass++) {
        int lines = game.lines;
        ScanFullRows();
        EXPECT_EQ(game.lines - lines, removed_by_pass[pass]) << "pass " << pass;
    }
    EXPECT_EQ(game.lines, 4);
    EXPECT_EQ(game.score, 200);
    EXPECT_EQ(game.rows_cleared, 4);
    EXPECT_EQ(game.popup_row, 19);
    EXPECT_EQ(BoardPicture(2), Picture({"...........", "..X........"}));
}

TEST_F(BoardTest, OnePassRemovesSeparateFullRowsAndTheLastRemovalSetsThePopupRow)
{
    SetBoard({
        "XXXXXXXXXXX",  // row 12
        "X..........",
        "XX.........",
        "XXX........",
        "XXXX.......",
        "XXXXXXXXXXX",  // row 17
        ".X.X.X.X.X.",
        "XXXXXXXXXX.",
    });
    ScanFullRows();
    EXPECT_EQ(game.lines, 2);
    EXPECT_EQ(game.popup_row, 13);  // row 12 had moved down to 13 when it went
    EXPECT_EQ(BoardPicture(8), Picture({
        "...........", "...........", "X..........", "XX.........", "XXX........", "XXXX.......",
        ".X.X.X.X.X.", "XXXXXXXXXX.",
    }));
}

// --- never outside the board ---

TEST_F(BoardTest, StampWritesNothingOutsideTheBoardWhereverThePieceStands)
{
    // Positions no move allows, set directly: the stamp still keeps to the 220 cells.
    Place(0, 0, 9, 18);  // upright I in column 10, rows 18..21
    GameSession before = game;
    StampPiece();
    EXPECT_EQ(BoardPicture(3), Picture({"...........", "..........X", "..........X"}));
    EXPECT_EQ(std::memcmp(&game.piece, &before.piece, sizeof(GameSession) - offsetof(GameSession, piece)), 0);

    game = GameSession{};
    for (int column : {-6, -3, 9, 11, 40}) {
        for (int row : {-5, -2, 17, 19, 30}) {
            Place(0, 1, column, row);
            StampPiece();
            TryMove(MOVE_LEFT);
            TryMove(MOVE_RIGHT);
            TryMove(MOVE_ROTATE);
            IsBlockedBelow();
        }
    }
    for (uint8_t cell : game.board)
        EXPECT_LE(cell, 1);
}
