// The bitmap font: glyph g is cell (g mod 16, g div 16) of the font texture,
// row 0 at the top of the picture (t = 1). Glyphs are 16 units wide but step
// 15, so neighbours overlap by one unit.
#include "gfx/font.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "gfx/gl.h"
#include "gfx/texture_set.h"

uint32_t font_base;

namespace {

void RecordGlyph(int glyph)
{
    float s0 = float(glyph % 16) / 16.0f;
    float t0 = 1.0f - float(glyph / 16) / 16.0f;
    float s1 = s0 + 0.0625f, t1 = t0 - 0.0625f;
    glBegin(GL_TRIANGLE_STRIP);
    glTexCoord2f(s0, t0);
    glVertex2i(0, 0);
    glTexCoord2f(s0, t1);
    glVertex2i(0, 16);
    glTexCoord2f(s1, t0);
    glVertex2i(16, 0);
    glTexCoord2f(s1, t1);
    glVertex2i(16, 16);
    glEnd();
    glTranslatef(15.0f, 0.0f, 0.0f);
}

}  // namespace

void CreateFontLists()
{
    font_base = glGenLists(256);
    // Bound once, outside the lists: printing binds the font itself.
    glBindTexture(GL_TEXTURE_2D, texture_set[TEXTURE_FONT]);
    for (int glyph = 0; glyph < 256; glyph++) {
        glNewList(font_base + glyph, GL_COMPILE);
        RecordGlyph(glyph);
        glEndList();
    }
}

void PrintText(int x, int y, int set, const char* format, ...)
{
    if (!format)
        return;
    char text[256];  // vsnprintf cuts a longer text to 255 characters
    va_list values;
    va_start(values, format);
    std::vsnprintf(text, sizeof text, format, values);
    va_end(values);
    // Sets above 1 print as set 1; below 0 as set 0, so no text reaches lists outside the font.
    set = set > 1 ? 1 : set < 0 ? 0 : set;
    glEnable(GL_TEXTURE_2D);
    glLoadIdentity();
    glTranslatef(float(x), float(y), 0.0f);
    // Byte c draws glyph set * 128 + c - 32: the space is the first cell of each half.
    glListBase(font_base + set * 128 - 32);
    glCallLists(GLsizei(std::strlen(text)), GL_UNSIGNED_BYTE, text);
    glDisable(GL_TEXTURE_2D);
}
