// The piece table: the 28 masks as they appear on screen, its storage order, and
// the properties that the movement and landing probes rely on.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "game/piece_table.h"

namespace {

// Each kind as four screen rows; each row holds rotations 0..3 side by side.
const char* const drawn_masks[PIECE_KINDS][MASK_SIDE] = {
    {".X.. .... ..X. ....", ".X.. XXXX ..X. ....", ".X.. .... ..X. XXXX", ".X.. .... ..X. ...."},  // I
    {".X.. .... .... ....", ".X.. .XXX .XX. ..X.", ".XX. .X.. ..X. XXX.", ".... .... ..X. ...."},  // L
    {".... ..X. .... ....", "XXX. .XX. ..X. .X..", ".X.. ..X. .XXX .XX.", ".... .... .... .X.."},  // T
    {".... .... .... ....", ".XX. .XX. .XX. .XX.", ".XX. .XX. .XX. .XX.", ".... .... .... ...."},  // O
    {".X.. .... .... ....", ".XX. ..XX .X.. .XX.", "..X. .XX. .XX. XX..", ".... .... ..X. ...."},  // S
    {"..X. .... .... ....", ".XX. .XX. ..X. XX..", ".X.. ..XX .XX. .XX.", ".... .... .X.. ...."},  // Z
    {".X.. .X.. .... ....", ".X.. .XXX ..XX ....", "XX.. .... ..X. XXX.", ".... .... ..X. ..X."},  // J
};

// One mask as four lines of '.' and 'X', read through the lookup.
std::string MaskPicture(int kind, int rotation)
{
    std::string text;
    for (int dy = 0; dy < MASK_SIDE; dy++) {
        for (int dx = 0; dx < MASK_SIDE; dx++)
            text += PieceCell(kind, rotation, dx, dy) ? 'X' : '.';
        text += '\n';
    }
    return text;
}

std::string DrawnPicture(int kind, int rotation)
{
    std::string text;
    for (int dy = 0; dy < MASK_SIDE; dy++)
        text += std::string(drawn_masks[kind][dy]).substr(rotation * 5, 4) + '\n';
    return text;
}

// Cells of a mask as a 4x4 grid, shifted so that its top row and left column are filled.
struct Shape {
    bool cell[4][4] = {};  // [y][x]
    bool operator==(const Shape& other) const
    {
        for (int y = 0; y < 4; y++)
            for (int x = 0; x < 4; x++)
                if (cell[y][x] != other.cell[y][x])
                    return false;
        return true;
    }
};

Shape Normalised(bool grid[4][4])
{
    int top = 4, left = 4;
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            if (grid[y][x]) {
                top = std::min(top, y);
                left = std::min(left, x);
            }
    Shape shape;
    for (int y = top; y < 4; y++)
        for (int x = left; x < 4; x++)
            shape.cell[y - top][x - left] = grid[y][x];
    return shape;
}

Shape MaskShape(int kind, int rotation)
{
    bool grid[4][4];
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            grid[y][x] = PieceCell(kind, rotation, x, y);
    return Normalised(grid);
}

// A quarter turn clockwise on screen (y downward): (x, y) goes to (3 - y, x).
Shape TurnedClockwise(int kind, int rotation)
{
    bool grid[4][4] = {};
    for (int y = 0; y < 4; y++)
        for (int x = 0; x < 4; x++)
            grid[x][3 - y] = PieceCell(kind, rotation, x, y);
    return Normalised(grid);
}

}  // namespace

TEST(PieceTable, EveryMaskIsAsDrawn)
{
    for (int kind = 0; kind < PIECE_KINDS; kind++)
        for (int rotation = 0; rotation < PIECE_ROTATIONS; rotation++)
            EXPECT_EQ(MaskPicture(kind, rotation), DrawnPicture(kind, rotation))
                << "kind " << kind << " rotation " << rotation;
}

TEST(PieceTable, EveryMaskHasFourCellsInUnbrokenRowAndColumnRuns)
{
    for (int kind = 0; kind < PIECE_KINDS; kind++) {
        for (int rotation = 0; rotation < PIECE_ROTATIONS; rotation++) {
            SCOPED_TRACE(MaskPicture(kind, rotation));
            int cells = 0;
            for (int line = 0; line < 4; line++) {
                int row_runs = 0, column_runs = 0;
                for (int i = 0; i < 4; i++) {
                    cells += PieceCell(kind, rotation, i, line);
                    row_runs += PieceCell(kind, rotation, i, line) && !PieceCell(kind, rotation, i - 1, line);
                    column_runs += PieceCell(kind, rotation, line, i) && !PieceCell(kind, rotation, line, i - 1);
                }
                EXPECT_LE(row_runs, 1) << "row offset " << line;
                EXPECT_LE(column_runs, 1) << "column offset " << line;
            }
            EXPECT_EQ(cells, 4);
        }
    }
}

TEST(PieceTable, ExtentsKeepThePieceColumnWithinMinusTwoToNine)
{
    for (int kind = 0; kind < PIECE_KINDS; kind++) {
        for (int rotation = 0; rotation < PIECE_ROTATIONS; rotation++) {
            int leftmost = 4, rightmost = -1, bottom = -1;
            for (int dy = 0; dy < 4; dy++)
                for (int dx = 0; dx < 4; dx++)
                    if (PieceCell(kind, rotation, dx, dy)) {
                        leftmost = std::min(leftmost, dx);
                        rightmost = std::max(rightmost, dx);
                        bottom = std::max(bottom, dy);
                    }
            EXPECT_LE(leftmost, 2) << kind << "/" << rotation;
            EXPECT_GE(rightmost, 1) << kind << "/" << rotation;
            EXPECT_GE(bottom, 1) << kind << "/" << rotation;
        }
    }
}

TEST(PieceTable, EachNextRotationIsAClockwiseQuarterTurn)
{
    for (int kind = 0; kind < PIECE_KINDS; kind++)
        for (int rotation = 0; rotation < PIECE_ROTATIONS; rotation++)
            EXPECT_TRUE(MaskShape(kind, (rotation + 1) % 4) == TurnedClockwise(kind, rotation))
                << "kind " << kind << " rotation " << rotation << "\n" << MaskPicture(kind, rotation);
}

TEST(PieceTable, TheIPieceShiftsWithinItsBoxAsItTurns)
{
    EXPECT_EQ(MaskPicture(0, 0), ".X..\n.X..\n.X..\n.X..\n");  // upright, column offset 1
    EXPECT_EQ(MaskPicture(0, 1), "....\nXXXX\n....\n....\n");  // lying, row offset 1
    EXPECT_EQ(MaskPicture(0, 2), "..X.\n..X.\n..X.\n..X.\n");  // upright, column offset 2
    EXPECT_EQ(MaskPicture(0, 3), "....\n....\nXXXX\n....\n");  // lying, row offset 2
}

TEST(PieceTable, TheOPieceIsTheSameInEveryRotation)
{
    for (int rotation = 1; rotation < PIECE_ROTATIONS; rotation++)
        EXPECT_EQ(MaskPicture(3, rotation), MaskPicture(3, 0));
    EXPECT_EQ(MaskPicture(3, 0), "....\n.XX.\n.XX.\n....\n");
}

TEST(PieceTable, LookupOutsideTheTableIsEmpty)
{
    EXPECT_EQ(PieceCell(-1, 0, 1, 1), 0);
    EXPECT_EQ(PieceCell(7, 0, 1, 1), 0);
    EXPECT_EQ(PieceCell(0, -1, 1, 1), 0);
    EXPECT_EQ(PieceCell(0, 4, 1, 1), 0);
    EXPECT_EQ(PieceCell(0, 0, 1, -1), 0);
    EXPECT_EQ(PieceCell(0, 0, 1, 4), 0);
    EXPECT_EQ(PieceCell(0, 0, -1, 0), 0);
    EXPECT_EQ(PieceCell(0, 0, 4, 0), 0);
    EXPECT_EQ(PieceCell(0, 0, 1, 0), 1);  // the same call inside the table
}
