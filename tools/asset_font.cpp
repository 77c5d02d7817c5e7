// The font picture: characters 32..126 rendered with FreeType from the DejaVu
// fonts that Debian ships, one per 16x16 cell. Glyphs keep a one-texel black
// margin inside their cell so that filtering never pulls in a neighbour.
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

#include "tools/asset_images.h"
#include "tools/procedural.h"

namespace {

const int cell = 16;
const int glyph_box = 14;  // usable square inside a cell, from texel 1 to 14
const int first_code = 32, last_code = 126;

struct GlyphStyle {
    const char* file;
    double widen;  // glyphs drawn wider than high: the printer steps 15 texels a glyph
    Colour top, bottom;
};

const GlyphStyle styles[2] = {
    // Set 0: score display. Plain bold sans, white to a cool grey.
    {"/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf", 1.45, {1.0, 1.0, 1.0}, {0.70, 0.78, 0.92}},
    // Set 1: popups and the pause text. Bold serif, pale gold to amber.
    {"/usr/share/fonts/truetype/dejavu/DejaVuSerif-Bold.ttf", 1.35, {1.0, 1.0, 0.86}, {1.0, 0.66, 0.28}},
};

// The size at which a face's glyphs fit the box on one common baseline.
struct GlyphSize {
    int height, width;
    int baseline;  // texel row, from the cell's top, just below the baseline
};

// Renders `code` at the given size, narrowing it until it fits the box.
FT_Error RenderFitted(FT_Face face, GlyphSize size, int code)
{
    for (int width = size.width;; --width) {
        FT_Error error = FT_Set_Pixel_Sizes(face, width, size.height);
        if (!error) error = FT_Load_Char(face, code, FT_LOAD_RENDER);
        if (error || face->glyph->bitmap.width <= unsigned(glyph_box) || width <= 6) return error;
    }
}

// The largest size whose tallest ascent and deepest descent together fit the
// box, so that every glyph sits on the same baseline.
GlyphSize FitFace(FT_Face face, const GlyphStyle& style)
{
    for (int height = glyph_box + 4; height > 6; --height) {
        GlyphSize size = {height, int(height * style.widen + 0.5), 0};
        int ascent = 0, descent = 0;
        for (int code = first_code + 1; code <= last_code; ++code) {
            if (RenderFitted(face, size, code)) continue;
            ascent = std::max(ascent, face->glyph->bitmap_top);
            descent = std::max(descent, int(face->glyph->bitmap.rows) - face->glyph->bitmap_top);
        }
        size.baseline = 1 + ascent;
        if (ascent + descent <= glyph_box) return size;
    }
    return {6, 8, 12};
}

// Copies the rendered glyph into the cell whose top-left texel is (x0, y0),
// centred across and standing on the baseline.
void PlaceGlyph(const FT_GlyphSlot slot, const GlyphStyle& style, GlyphSize size, int x0, int y0,
                Picture& font)
{
    const FT_Bitmap& bitmap = slot->bitmap;
    int rows = std::min(int(bitmap.rows), glyph_box), cols = std::min(int(bitmap.width), glyph_box);
    int left = 1 + (glyph_box - cols) / 2;
    int top = std::clamp(size.baseline - slot->bitmap_top, 1, 1 + glyph_box - rows);
    for (int r = 0; r < rows; ++r) {
        Colour shade = MixColour(style.top, style.bottom, (top + r - 1) / double(glyph_box - 1));
        for (int c = 0; c < cols; ++c) {
            double coverage = bitmap.buffer[r * bitmap.pitch + c] / 255.0;
            PixelAt(font, x0 + left + c, y0 + top + r) = ScaleColour(shade, coverage);
        }
    }
}

// Fills one half of the picture (set 0 the upper, set 1 the lower) from one face.
std::string DrawGlyphSet(FT_Library library, int set, Picture& font)
{
    const GlyphStyle& style = styles[set];
    FT_Face face;
    if (FT_New_Face(library, style.file, 0, &face))
        return std::string("cannot read the font ") + style.file + " (Debian package fonts-dejavu-core)";
    GlyphSize size = FitFace(face, style);
    std::string failure;
    for (int code = first_code + 1; code <= last_code && failure.empty(); ++code) {
        if (RenderFitted(face, size, code) || face->glyph->bitmap.pitch <= 0 ||
            face->glyph->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY) {
            failure = "cannot render character " + std::to_string(code) + " from " + style.file;
            break;
        }
        int glyph = set * 128 + code - first_code;
        PlaceGlyph(face->glyph, style, size, glyph % 16 * cell, glyph / 16 * cell, font);
    }
    FT_Done_Face(face);
    return failure;
}

}  // namespace

std::string MakeFont(Picture& font)
{
    font = NewPicture(cell * 16, cell * 16, {0, 0, 0});
    FT_Library library;
    if (FT_Init_FreeType(&library)) return "cannot start FreeType";
    std::string failure = DrawGlyphSet(library, 0, font);
    if (failure.empty()) failure = DrawGlyphSet(library, 1, font);
    FT_Done_FreeType(library);
    return failure;
}
