// The score table at a game over, in white, the game just finished in the font's other
// glyph set, as the popups are. Texts are made in buffers on the stack: a frame allocates
// nothing. The font has glyphs for ASCII alone, so other bytes show as '?'.
#include "gfx/score_drawing.h"

#include "gfx/font.h"
#include "gfx/gl.h"
#include "gfx/layout.h"
#include "gfx/projection.h"
#include "gfx/texture_set.h"

// The name cut to what fits beside the table's indent, in glyphs the font has.
static void ShownName(const char* name, char shown[TABLE_COLUMNS])
{
    int used = 0;
    for (; name[used] && used < TABLE_COLUMNS - 2; used++)
        shown[used] = name[used] >= 32 && name[used] < 127 ? name[used] : '?';  // ASCII only
    shown[used] = '\0';
}

void DrawScoreTable(const ScoreTable& table, int32_t marked)
{
    if (table.count == 0)
        return;
    SetLayerProjection();
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
    glColor3f(1.0f, 1.0f, 1.0f);
    PrintText(TABLE_LEFT, TABLE_TOP, 0, "Best games");
    for (int i = 0; i < table.count; i++) {
        const ScoreEntry& entry = table.entries[i];
        char name[TABLE_COLUMNS];
        ShownName(entry.name, name);
        const int top = TABLE_TOP + TABLE_LINE * (2 * i + 2), set = i == marked ? 1 : 0;
        PrintText(TABLE_LEFT, top, set, "%2d %9d", i + 1, entry.score);
        PrintText(TABLE_LEFT + TABLE_INDENT, top + TABLE_LINE, set, "%s", name);
    }
    if (marked == 0)
        PrintText(NEW_BEST_LEFT, NEW_BEST_TOP, 1, "New best score!");
    glDisable(GL_BLEND);
    SetScenePerspective();
    glEnable(GL_DEPTH_TEST);
}
