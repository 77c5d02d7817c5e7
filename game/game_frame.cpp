// The game frame: thirteen steps whose order is what the player sees. The rule
// steps come from game/rules.h in the same order as RunRulesFrame, so random
// draws, sounds and state changes are the same with or without the drawing.
#include "game/game_frame.h"

#include <GL/gl.h>

#include "game/rules.h"
#include "game/session.h"
#include "gfx/board_drawing.h"
#include "gfx/font.h"
#include "gfx/texture_set.h"
#include "scenes/backdrop_state.h"
#include "scenes/scene_director.h"
#include "shell/window.h"

// x grows right and y down, one unit per pixel of a 640x480 window.
static void Begin2DLayer()
{
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrtho(0, 640, 480, 0, -1, 1);
    glMatrixMode(GL_MODELVIEW);
}

// Multiplies the whole screen so far (the backdrop) by f, then counts one frame.
static void DrawFade(int32_t& counter, double f)
{
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glEnable(GL_BLEND);
    glLoadIdentity();
    glColor3d(f, f, f);
    glBegin(GL_TRIANGLE_STRIP);
    glVertex2i(0, 480);
    glVertex2i(0, 0);
    glVertex2i(640, 480);
    glVertex2i(640, 0);
    glEnd();
    glDisable(GL_BLEND);
    counter--;
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

static void DrawFades()
{
    if (fade_out_counter > 0)
        DrawFade(fade_out_counter, fade_out_counter * 0.01);  // to black
    if (fade_in_counter > 0)
        DrawFade(fade_in_counter, (100 - fade_in_counter) * 0.01);  // from black
}

// The numbers from before this frame's tick and row removal.
static void DrawScoreDisplay()
{
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    PrintText(16, 410, 0, "Lines : %d", game.lines);
    PrintText(16, 430, 0, "Score : %d", game.score);
    PrintText(16, 450, 0, "Level : %d", game.level);
    PrintText(534, 400, 0, "Next :");
    glDisable(GL_BLEND);
}

// Rises one pixel a frame from the removed row's top edge; fades over its last 19 frames.
static void DrawScorePopup()
{
    static const char* const texts[5] = {"", "+50", "+200", "+350", "+600"};
    if (game.popup_timer <= 0)
        return;
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
    const double g = game.popup_timer * 0.05;  // above 1 acts as 1
    glColor3d(g, g, g);
    glLoadIdentity();
    const int kind = game.popup_kind >= 1 && game.popup_kind <= 4 ? game.popup_kind : 0;
    PrintText(kind == 1 ? 296 : 288, game.popup_row * 16 + game.popup_timer + 22, 1, "%s", texts[kind]);
    glDisable(GL_BLEND);
}

// The tick draws what it has just moved: the piece at its new height, then the popup.
static void TickAndDraw()
{
    TickGame();
    glColor3f(1.0f, 1.0f, 1.0f);
    DrawFallingPiece();
    DrawScorePopup();
    CountDownPopup();
}

// Adds a grey growing from nothing at the board's top edge to 0.5 at its bottom.
static void DrawBoardGradient()
{
    const double o = game.shake_offset;
    glEnable(GL_BLEND);
    glLoadIdentity();
    glTranslated(232, 72, 0);
    glBegin(GL_TRIANGLE_STRIP);
    glColor3f(0.5f, 0.5f, 0.5f);
    glVertex2d(0, o + 320);
    glColor3f(0.0f, 0.0f, 0.0f);
    glVertex2d(0, o);
    glColor3f(0.5f, 0.5f, 0.5f);
    glVertex2d(176, o + 320);
    glColor3f(0.0f, 0.0f, 0.0f);
    glVertex2d(176, o);
    glEnd();
    glDisable(GL_BLEND);
}

// The hand-over the next frame's backdrop starts from.
static void End2DLayer()
{
    SetScenePerspective();
    glEnable(GL_DEPTH_TEST);
}

void GameFrame()
{
    Begin2DLayer();
    DrawFades();
    glLoadIdentity();
    DrawNextPreview();
    DrawScoreDisplay();
    ShakeBoard();
    glEnable(GL_TEXTURE_2D);
    DrawBorder();
    DrawLandedCells();
    CountDropTimer();
    if (!game.game_over)
        TickAndDraw();
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
    RemoveFullRows();
    DrawBoardGradient();
    End2DLayer();
}
