// The game frame: thirteen steps whose order is what the player sees. The rule
// steps come from game/rules.h in the same order as RunRulesFrame, so random
// draws, sounds and state changes are the same with or without the drawing.
#include "game/game_frame.h"

#include "audio/sound_effects.h"
#include "game/rule_sounds.h"
#include "game/rules.h"
#include "game/session.h"
#include "gfx/board_drawing.h"
#include "gfx/font.h"
#include "gfx/gl.h"
#include "gfx/layout.h"
#include "gfx/projection.h"
#include "gfx/texture_set.h"

static void Begin2DLayer()
{
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    SetLayerProjection();
}

// Multiplies the whole screen so far (the backdrop) by f.
static void DrawFade(double f)
{
    glBlendFunc(GL_ZERO, GL_SRC_COLOR);
    glEnable(GL_BLEND);
    glLoadIdentity();
    glColor3d(f, f, f);
    glBegin(GL_TRIANGLE_STRIP);
    glVertex2i(0, LAYER_HEIGHT);
    glVertex2i(0, 0);
    glVertex2i(LAYER_WIDTH, LAYER_HEIGHT);
    glVertex2i(LAYER_WIDTH, 0);
    glEnd();
    glDisable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
}

static void DrawFades(const BackdropFades& fades)
{
    if (fades.out >= 0)
        DrawFade(fades.out);  // to black
    if (fades.in >= 0)
        DrawFade(fades.in);  // from black
}

// The sample each rule sound is heard as, matched by name; a rule sound without a
// sample stops the build.
static constexpr SoundSlot SampleOf(RuleSound sound)
{
    switch (sound) {
    case RULE_SOUND_DROP: return SOUND_DROP;
    case RULE_SOUND_LINEDONE: return SOUND_LINEDONE;
    case RULE_SOUND_LEVELUP: return SOUND_LEVELUP;
    case RULE_SOUND_EXPLODE: return SOUND_EXPLODE;
    case RULE_SOUND_COUNT: break;
    }
    return SOUND_SLOT_COUNT;
}

static constexpr bool EveryRuleSoundHasASample()
{
    for (int sound = 0; sound < RULE_SOUND_COUNT; sound++)
        if (SampleOf(RuleSound(sound)) == SOUND_SLOT_COUNT)
            return false;
    return true;
}
static_assert(EveryRuleSoundHasASample(), "a rule sound has no sample to be heard as");

// The rules only ask for their sounds; they are heard here, in the order asked.
static void PlayRuleSounds()
{
    for (int32_t i = 0; i < rule_sounds.count; i++)
        PlaySoundEffect(SampleOf(rule_sounds.sound[i]));
    rule_sounds.count = 0;
}

// The numbers from before this frame's tick and row removal.
static void DrawScoreDisplay()
{
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    PrintText(SCORE_TEXT_LEFT, LINES_TEXT_TOP, 0, "Lines : %d", game.lines);
    PrintText(SCORE_TEXT_LEFT, SCORE_TEXT_TOP, 0, "Score : %d", game.score);
    PrintText(SCORE_TEXT_LEFT, LEVEL_TEXT_TOP, 0, "Level : %d", game.level);
    PrintText(NEXT_TEXT_LEFT, NEXT_TEXT_TOP, 0, "Next :");
    glDisable(GL_BLEND);
}

// The points the removal earned, rising one pixel a frame from the removed row's
// top edge and fading over its last 19 frames; "+50" stands a glyph further right.
static void DrawScorePopup()
{
    if (game.popup_timer <= 0)
        return;
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
    const double g = game.popup_timer * 0.05;  // above 1 acts as 1
    glColor3d(g, g, g);
    glLoadIdentity();
    const int32_t points = RowsReward(game.popup_kind);
    const int y = game.popup_row * CELL_PIXELS + game.popup_timer + POPUP_DROP;
    if (points > 0)
        PrintText(game.popup_kind == 1 ? POPUP_ONE_ROW_LEFT : POPUP_LEFT, y, 1, "+%d", points);
    else
        PrintText(POPUP_LEFT, y, 1, "%s", "");
    glDisable(GL_BLEND);
}

// The tick draws what it has just moved: the piece at its new height, then the popup.
static PlayerCommand TickAndDraw(PlayerCommand command)
{
    command = TickGame(command);
    PlayRuleSounds();
    glColor3f(1.0f, 1.0f, 1.0f);
    DrawFallingPiece();
    DrawScorePopup();
    CountDownPopup();
    return command;
}

// Adds a grey growing from nothing at the board's top edge to 0.5 at its bottom.
static void DrawBoardGradient()
{
    const double o = game.shake_offset;
    const double width = BOARD_COLUMNS * CELL_PIXELS, height = BOARD_ROWS * CELL_PIXELS;
    glEnable(GL_BLEND);
    glLoadIdentity();
    glTranslated(BOARD_LEFT, BOARD_TOP, 0);
    glBegin(GL_TRIANGLE_STRIP);
    glColor3f(0.5f, 0.5f, 0.5f);
    glVertex2d(0, o + height);
    glColor3f(0.0f, 0.0f, 0.0f);
    glVertex2d(0, o);
    glColor3f(0.5f, 0.5f, 0.5f);
    glVertex2d(width, o + height);
    glColor3f(0.0f, 0.0f, 0.0f);
    glVertex2d(width, o);
    glEnd();
    glDisable(GL_BLEND);
}

// The hand-over the next frame's backdrop starts from.
static void End2DLayer()
{
    SetScenePerspective();
    glEnable(GL_DEPTH_TEST);
}

PlayerCommand GameFrame(PlayerCommand command, const BackdropFades& fades)
{
    Begin2DLayer();
    DrawFades(fades);
    glLoadIdentity();
    DrawNextPreview();
    DrawScoreDisplay();
    ShakeBoard();
    glEnable(GL_TEXTURE_2D);
    DrawBorder();
    DrawLandedCells();
    CountDropTimer();
    if (!game.game_over)
        command = TickAndDraw(command);
    glColor3f(1.0f, 1.0f, 1.0f);
    glDisable(GL_TEXTURE_2D);
    RemoveFullRows();
    PlayRuleSounds();
    DrawBoardGradient();
    End2DLayer();
    return command;
}
