// The contact sheet: every texture at full size (board tiles also doubled and
// at their real 16x16 size in a mock board), the tileable ones rolled by half
// so a seam would show as a cross, and text printed like the game prints it.
#include "tools/contact_sheet.h"

#include <cstring>

#include "tools/procedural.h"

namespace {

const Colour backdrop = {0.10, 0.10, 0.12};

const Picture& Find(const std::vector<NamedPicture>& pictures, const char* name)
{
    for (const NamedPicture& p : pictures)
        if (p.name == name) return p.picture;
    return pictures.front().picture;
}

// Copies `picture` enlarged `scale` times (nearest), rolled by (roll_x, roll_y).
void Blit(Picture& sheet, const Picture& picture, int x0, int y0, int scale, int roll_x = 0, int roll_y = 0)
{
    for (int y = 0; y < picture.height * scale; ++y)
        for (int x = 0; x < picture.width * scale; ++x)
            PixelAt(sheet, x0 + x, y0 + y) = picture.pixels[size_t((y / scale + roll_y) % picture.height) *
                                                                 picture.width +
                                                             (x / scale + roll_x) % picture.width];
}

// A 32x32 tile as the game shows it on a 16x16 cell: each screen pixel the
// mean of a 2x2 block, which is what bilinear sampling at pixel centres gives.
void BlitCell(Picture& sheet, const Picture& tile, int x0, int y0)
{
    int step = tile.width / 16;
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            Colour sum = {0, 0, 0};
            for (int j = 0; j < step; ++j)
                for (int i = 0; i < step; ++i)
                    sum = AddColour(sum, tile.pixels[size_t(y * step + j) * tile.width + x * step + i]);
            PixelAt(sheet, x0 + x, y0 + y) = ScaleColour(sum, 1.0 / (step * step));
        }
    }
}

// Prints like the game: glyph cells 16 wide stepping 15, added onto what is
// behind them and tinted by `tint`.
void Print(Picture& sheet, const Picture& font, int x0, int y0, int set, const char* text, Colour tint)
{
    for (size_t n = 0; n < std::strlen(text); ++n) {
        int glyph = set * 128 + (unsigned char)text[n] - 32;
        int gx = glyph % 16 * 16, gy = glyph / 16 * 16;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                int sx = x0 + int(n) * 15 + x, sy = y0 + y;
                if (sx >= sheet.width || sy >= sheet.height) continue;
                Colour texel = font.pixels[size_t(gy + y) * font.width + gx + x];
                Colour& dest = PixelAt(sheet, sx, sy);
                dest = AddColour(dest, {texel.r * tint.r, texel.g * tint.g, texel.b * tint.b});
            }
        }
    }
}

// A corner of the board with its border, landed grey cells and a few pieces.
void DrawMockBoard(Picture& sheet, const std::vector<NamedPicture>& pictures, int x0, int y0)
{
    const char* rows[] = {"....0......", "...000.....", ".......55..", "22.....655.",
                          "2#3#.##666#", "2##3.######", "###3#######", "####.######"};
    const char* kinds[] = {"blockg", "blockb", "blockp", "blocky", "blockr", "blocko", "blockdb"};
    for (int r = 0; r < 8; ++r) {
        BlitCell(sheet, Find(pictures, "border"), x0, y0 + 16 * r);
        BlitCell(sheet, Find(pictures, "border"), x0 + 16 * 12, y0 + 16 * r);
        for (int c = 0; c < 11; ++c) {
            char cell = rows[r][c];
            if (cell == '#') BlitCell(sheet, Find(pictures, "blkgrey"), x0 + 16 + 16 * c, y0 + 16 * r);
            if (cell >= '0' && cell <= '6')
                BlitCell(sheet, Find(pictures, kinds[cell - '0']), x0 + 16 + 16 * c, y0 + 16 * r);
        }
    }
    for (int c = 0; c < 13; ++c) BlitCell(sheet, Find(pictures, "border"), x0 + 16 * c, y0 + 16 * 8);
}

// The game's texts; with `samples` also every printable character.
void DrawTexts(Picture& sheet, const Picture& font, int x0, int y0, bool samples)
{
    const Colour white = {1, 1, 1};
    Print(sheet, font, x0, y0, 0, "Lines : 42", white);
    Print(sheet, font, x0, y0 + 20, 0, "Score : 12350", white);
    Print(sheet, font, x0, y0 + 40, 0, "Level : 4", white);
    Print(sheet, font, x0, y0 + 60, 0, "Next :", white);
    Print(sheet, font, x0, y0 + 90, 1, "+600  +350  +200  +50", {1.0, 0.8, 0.4});
    Print(sheet, font, x0, y0 + 115, 1, "P  a  u  s  e", white);
    if (!samples) return;
    Print(sheet, font, x0, y0 + 140, 0, "The quick brown fox jumps (0-9): 0123456789", white);
    Print(sheet, font, x0, y0 + 160, 1, "Over the lazy dog! {[<@#$%&*>]} ~^_|`/\\;'?", white);
}

}  // namespace

Picture MakeContactSheet(const std::vector<NamedPicture>& pictures)
{
    Picture sheet = NewPicture(1408, 1000, backdrop);
    const Picture& font = Find(pictures, "font");
    for (int i = 0; i < 9; ++i) {
        Blit(sheet, pictures[i].picture, 16 + 80 * i, 16, 2);
        BlitCell(sheet, pictures[i].picture, 40 + 80 * i, 88);
    }
    DrawMockBoard(sheet, pictures, 740, 16);
    DrawTexts(sheet, font, 16, 120, true);
    // Over the sky, added as in the game, text must stay legible too.
    Blit(sheet, Find(pictures, "boxt2"), 960, 16, 1);
    DrawTexts(sheet, font, 964, 30, false);
    const char* big[] = {"water", "boxt2", "boxt3", "boxte", "font"};
    for (int i = 0; i < 5; ++i) Blit(sheet, Find(pictures, big[i]), 16 + 272 * i, 320, 1);
    const char* tiled[] = {"water", "boxt2", "boxt3"};
    for (int i = 0; i < 3; ++i) Blit(sheet, Find(pictures, tiled[i]), 16 + 272 * i, 600, 1, 128, 128);
    Blit(sheet, Find(pictures, "light"), 832, 600, 1);
    Blit(sheet, Find(pictures, "checker"), 976, 600, 1);
    Print(sheet, font, 16, 870, 0, "Rolled by half: a seam would show as a cross.", {0.8, 0.8, 0.8});
    return sheet;
}
