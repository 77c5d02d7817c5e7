// Board, piece, preview and pause drawing. Every tile starts from the identity,
// so no tile depends on the one before it.
#include "gfx/board_drawing.h"

#include "game/piece_table.h"
#include "game/session.h"
#include "gfx/font.h"
#include "gfx/gl.h"
#include "gfx/layout.h"
#include "gfx/projection.h"
#include "gfx/texture_set.h"

enum { TILE = CELL_PIXELS };

uint32_t tile_list = 0;

// One 16x16 square with its top-left corner at the origin, texture upright
// (the image's bottom row at the bottom). Geometry only: the caller binds the
// texture and translates to the cell.
void BuildTileList()
{
    tile_list = glGenLists(1);
    glNewList(tile_list, GL_COMPILE);
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2s(0, 0);
    glVertex2d(0, TILE);
    glTexCoord2s(0, 1);
    glVertex2d(0, 0);
    glTexCoord2s(1, 0);
    glVertex2d(TILE, TILE);
    glTexCoord2s(1, 1);
    glVertex2d(TILE, 0);
    glEnd();
    glEndList();
}

void DeleteTileList()
{
    if (tile_list)
        glDeleteLists(tile_list, 1);
    tile_list = 0;
}

static void DrawTile(int x, int y)
{
    glLoadIdentity();
    glTranslatef((float)x, (float)y, 0.0f);
    glCallList(tile_list);
}

void DrawBorder()
{
    const int s = game.shake_offset;
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_BORDER]);
    for (int i = 0; i <= 20; i++)  // left column, down to the bottom-left corner
        DrawTile(BOARD_LEFT - TILE, BOARD_TOP + TILE * i + s);
    for (int i = 1; i <= 12; i++)  // bottom row, to the bottom-right corner
        DrawTile(BOARD_LEFT - TILE + TILE * i, BOARD_TOP + TILE * BOARD_ROWS + s);
    for (int i = 0; i < 20; i++)  // right column, stopping above that corner
        DrawTile(BOARD_LEFT + TILE * BOARD_COLUMNS, BOARD_TOP + TILE * i + s);
}

void DrawLandedCells()
{
    const int s = game.shake_offset;
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_BLKGREY]);
    for (int row = 0; row < BOARD_ROWS; row++)
        for (int column = 0; column < BOARD_COLUMNS; column++)
            if (game.board[BoardIndex(column, row)] == 1)
                DrawTile(BOARD_LEFT + TILE * column, BOARD_TOP + TILE * row + s);
}

// Toward zero, as the glide is drawn: -15.75 gives -15. A value no frame can
// produce (a damaged session) draws at 0 rather than overflowing the cast.
static int TruncatedPieceY()
{
    const float y = game.piece_pixel_y;
    if (!(y > -10000.0f && y < 10000.0f))
        return 0;
    return (int)y;
}

void DrawFallingPiece()
{
    const ActivePiece& piece = game.piece;
    if (piece.kind >= PIECE_KINDS)
        return;  // slots 0..6 are the piece textures; nothing else is a piece
    glBindTexture(GL_TEXTURE_2D, texture_set[piece.kind]);
    const int v = TruncatedPieceY();
    for (int dx = 0; dx < MASK_SIDE; dx++)
        for (int dy = 0; dy < MASK_SIDE; dy++)
            if (PieceCell(piece.kind, piece.rotation, dx, dy))
                DrawTile(BOARD_LEFT + TILE * piece.column + TILE * dx, BOARD_TOP + TILE * dy + v);
}

// Half-scale grey points, added to the backdrop by the blend function in force.
void DrawNextPreview()
{
    glEnable(GL_BLEND);
    glColor4f(0.5f, 0.5f, 0.5f, 1.0f);
    glPointSize(8.0f);
    glBegin(GL_POINTS);
    for (int dx = 0; dx < MASK_SIDE; dx++)
        for (int dy = 0; dy < MASK_SIDE; dy++)
            if (PieceCell(game.next_kind, 0, dx, dy))
                glVertex2i(PREVIEW_LEFT + PREVIEW_STEP * dx, PREVIEW_TOP + PREVIEW_STEP * dy);
    glEnd();
    glDisable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);
}

void PauseOverlay()
{
    SetLayerProjection();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
    glColor3f(1.0f, 1.0f, 1.0f);
    glLoadIdentity();
    PrintText(PAUSE_TEXT_LEFT, PAUSE_TEXT_TOP, 1, "P  a  u  s  e");
    SetScenePerspective();
    glEnable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
}
