# Pixel probes over a screenshot of the game, for the scripts that play the real
# binary (tests/lib/shots.bash runs this; see there for the files it is given).
#
# Files, in order: the border tile, the landed-cell tile (16 rows of 16 pixels),
# the font picture (256 rows of 256 pixels, top row first), then the shot: one
# line per screen row; red, green and blue bytes for each pixel. Variables: ox, oy, where the game's
# 640x480 area starts on the screen; what, the probe; for "text" also x, y, set
# and string. Every position below is in the game's 640x480 layout, y downward.

# Every file holds bytes in hexadecimal, two digits each (coreutils' basenc), so
# a value is read in place (Value) without splitting the rows.
BEGIN { for (i = 0; i < 256; i++) hex[sprintf("%02X", i)] = i }
FILENAME == ARGV[1] { tile["border", FNR - 1] = $0; next }
FILENAME == ARGV[2] { tile["landed", FNR - 1] = $0; next }
FILENAME == ARGV[3] { font[FNR - 1] = $0; next }
{ screen[FNR - 1] = $0 }

function Value(row, n) { return hex[substr(row, 2 * n + 1, 2)] }

# Channel k (0 red, 1 green, 2 blue) of the game's pixel (x, y).
function P(x, y, k) { return Value(screen[y + oy], 3 * (x + ox) + k) }

function Abs(v) { return v < 0 ? -v : v }

# The grey the board gradient adds at row y: none at the board's top edge, half
# of full brightness at its bottom edge, only inside the board.
function Gradient(x, y) {
    if (x < 232 || x >= 408 || y < 72 || y >= 392) return 0
    return 127.5 * (y + 0.5 - 72) / 320
}

# 1 when the 16x16 square at (x, y) shows the named tile (the texture's 32x32
# picture halved, as the GL_LINEAR filter samples it), with the board gradient
# added where it lies on the board; off by a few levels at most.
function TileAt(name, x, y, with_gradient,    i, j, k, want, total, limit) {
    total = 0; limit = 3 * 16 * 16 * 3
    for (j = 0; j < 16; j++) {
        for (i = 0; i < 16; i++)
            for (k = 0; k < 3; k++) {
                want = Value(tile[name, j], 3 * i + k) + (with_gradient ? Gradient(x + i, y + j) : 0)
                if (want > 255) want = 255
                total += Abs(P(x + i, y + j, k) - want)
            }
        if (total >= limit) return 0
    }
    return 1
}

# The 53 border tiles: left column down to the bottom-left corner, bottom row,
# right column; then the places where a misplaced border would stand instead.
function Border(    i, found, stray) {
    found = stray = 0
    for (i = 0; i <= 20; i++) found += TileAt("border", 216, 72 + 16 * i, 0)
    for (i = 1; i <= 12; i++) found += TileAt("border", 216 + 16 * i, 392, 0)
    for (i = 0; i <= 19; i++) found += TileAt("border", 408, 72 + 16 * i, 0)
    for (i = 0; i <= 13; i++) stray += TileAt("border", 216 + 16 * i, 56, 0)   # no top edge
    for (i = 0; i <= 21; i++) stray += TileAt("border", 200, 56 + 16 * i, 0)
    for (i = 0; i <= 21; i++) stray += TileAt("border", 424, 56 + 16 * i, 0)
    stray += TileAt("border", 408, 392 + 16, 0)
    print found, stray
}

# The landed cells as a board picture: 20 rows of 11, 'X' a grey landed tile.
function Landed(    c, r, line) {
    for (r = 0; r < 20; r++) {
        line = ""
        for (c = 0; c < 11; c++)
            line = line (TileAt("landed", 232 + 16 * c, 72 + 16 * r, 1) ? "X" : ".")
        print line
    }
}

function Saturation(x, y,    r, g, b, high, low) {
    r = P(x, y, 0); g = P(x, y, 1); b = P(x, y, 2)
    high = r > g ? r : g; if (b > high) high = b
    low = r < g ? r : g; if (b < low) low = b
    return high - low
}

# The falling piece, told apart from the grey board, border and landed cells by
# its colour, one row above the board included (where a new piece starts).
# Prints its leftmost board column and its shape, wherever it stands: per
# column from the left, the cells above its top and the cells it holds
# ("0+4" a bar standing, "0+1,0+1,0+1,0+1" one lying). "none" without a piece.
function Piece(    c, x, y, count, top, total, first, highest, shape) {
    total = 0; first = -1; highest = 9999
    for (c = 0; c < 11; c++) {
        count[c] = 0; top[c] = -1
        for (y = 56; y < 392; y++)
            for (x = 232 + 16 * c; x < 248 + 16 * c; x++)
                if (Saturation(x, y) > 60) {
                    if (top[c] < 0) top[c] = y
                    count[c]++
                }
        total += count[c]
        if (count[c] && top[c] < highest) highest = top[c]
    }
    if (total < 200) { print "none"; return }
    shape = ""
    for (c = 0; c < 11; c++) {
        if (!count[c]) continue
        if (first < 0) first = c
        shape = shape (shape == "" ? "" : ",") int((top[c] - highest) / 16 + 0.5) "+" int(4 * count[c] / total + 0.5)
    }
    print first, shape
}

# The next-piece preview: 4 rows of 4, 'X' where an 8x8 point adds its grey.
function Preview(    dx, dy, i, j, k, lit, line) {
    for (dy = 0; dy < 4; dy++) {
        line = ""
        for (dx = 0; dx < 4; dx++) {
            lit = 1
            for (j = 0; j < 8; j++)
                for (i = 0; i < 8; i++)
                    for (k = 0; k < 3; k++)
                        if (P(560 + 8 * dx + i, 436 + 8 * dy + j, k) < 120) lit = 0
            line = line (lit ? "X" : ".")
        }
        print line
    }
}

# Text printed at (x, y) in glyph set 0 or 1: glyphs step 15 units and are added
# to what is behind them, so every inked texel of each glyph's cell in the font
# picture must show at least as bright. Prints the inked texels, the misses, and
# the contrast: how much brighter the inked places show than the blank ones of
# the same cells (a plain bright patch has ink everywhere and no contrast).
function Text(x, y, set, string,    n, ch, code, glyph, gx, gy, i, j, k, ink, miss, texel, bad, sx, sy,
              ink_sum, blank, blank_sum) {
    ink = miss = ink_sum = blank = blank_sum = 0
    n = length(string)
    for (ch = 1; ch <= n; ch++) {
        code = Code(substr(string, ch, 1))
        if (code == 32) continue
        glyph = set * 128 + code - 32
        gx = 16 * (glyph % 16); gy = 16 * int(glyph / 16)
        for (j = 0; j < 16; j++)
            for (i = 0; i < 16; i++) {
                sx = x + 15 * (ch - 1) + i; sy = y + j
                if (Bright(gx + i, gy + j) < 40) {
                    blank++
                    blank_sum += Shown(sx, sy)
                    continue
                }
                if (Bright(gx + i, gy + j) < 160) continue
                ink++
                ink_sum += Shown(sx, sy)
                bad = 0
                for (k = 0; k < 3; k++) {
                    texel = Value(font[gy + j], 3 * (gx + i) + k)
                    if (P(sx, sy, k) < texel - 8) bad = 1
                }
                miss += bad
            }
    }
    printf "%d %d %.1f\n", ink, miss, (ink ? ink_sum / ink : 0) - (blank ? blank_sum / blank : 0)
}

# The brightest channel of a screen pixel.
function Shown(sx, sy,    k, v, high) {
    high = 0
    for (k = 0; k < 3; k++) { v = P(sx, sy, k); if (v > high) high = v }
    return high
}

function Bright(fx, fy,    k, v, high) {
    high = 0
    for (k = 0; k < 3; k++) { v = Value(font[fy], 3 * fx + k); if (v > high) high = v }
    return high
}

function Code(c,    i) {
    if (!("A" in codes))
        for (i = 32; i < 127; i++) codes[sprintf("%c", i)] = i
    return codes[c]
}

# Share of the pixels of a rectangle that are pure white.
function White(x0, y0, w, h,    x, y, white) {
    white = 0
    for (y = y0; y < y0 + h; y++)
        for (x = x0; x < x0 + w; x++)
            white += P(x, y, 0) == 255 && P(x, y, 1) == 255 && P(x, y, 2) == 255
    printf "%.3f\n", white / (w * h)
}

END {
    if (what == "border") Border()
    else if (what == "landed") Landed()
    else if (what == "piece") Piece()
    else if (what == "preview") Preview()
    else if (what == "text") Text(x, y, set, string)
    else if (what == "white") White(x, y, w, h)
    else { print "unknown probe " what > "/dev/stderr"; exit 2 }
}
