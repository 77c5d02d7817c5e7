# Pixel probes over a shot of the game's 640x480 window, for tests/e2e/. Files, a line
# per row, each byte two hex digits: the border and landed-cell tiles (data/ halved, as the
# board draws them), the font picture, then the shot. Positions are the game's, y down.
BEGIN { for (i = 0; i < 256; i++) hex[sprintf("%02X", i)] = i
        for (i = 32; i < 127; i++) ascii = ascii sprintf("%c", i)
        white = sprintf("%96s", ""); gsub(/ /, "F", white); for (j = 0; j < 16; j++) tile["white", j] = white }
FILENAME == ARGV[1] || FILENAME == ARGV[2] { tile[FILENAME == ARGV[1] ? "border" : "landed", FNR - 1] = $0; next }
FILENAME == ARGV[3] { font[FNR - 1] = $0; next }
{ shot[FNR - 1] = $0 }
function V(line, n) { return hex[substr(line, 2 * n + 1, 2)] }
# Its brightest channel, and in low the darkest, of pixel x of a row.
function High(line, x,    k, v, high) {
  for (k = 0; k < 3; k++) { v = V(line, 3 * x + k); if (!k || v > high) high = v; if (!k || v < low) low = v }; return high }

# 1 when the 16x16 square at (x, y) shows the tile, a few levels off at most; a landed
# cell has the board's gradient added: none at its top edge (y 72), half white at the bottom.
function Tile(t, x, y,    i, j, k, want, off) {
  for (j = 0; j < 16; j++) {
    for (i = 0; i < 16; i++) for (k = 0; k < 3; k++) {
      want = V(tile[t, j], 3 * i + k) + (t == "landed") * 127.5 * (y + j + 0.5 - 72) / 320
      want = V(shot[y + j], 3 * (x + i) + k) - (want > 255 ? 255 : want); off += want < 0 ? -want : want
    }
    if (off >= 2304) return 0
  }
  return 1
}

# The 53 border tiles (left column, bottom row, right column), then the places where a
# misplaced border would stand: a top edge, a column beyond either side, below the corner.
function Border(t,    i, found, stray) {
  for (i = 0; i <= 21; i++) {
    found += (i <= 20 ? Tile(t, 216, 72 + 16 * i) : 0) + (i < 20 ? Tile(t, 408, 72 + 16 * i) : 0)
    found += i && i <= 12 ? Tile(t, 216 + 16 * i, 392) : 0
    stray += Tile(t, 200, 56 + 16 * i) + Tile(t, 424, 56 + 16 * i) + (i <= 13 ? Tile(t, 216 + 16 * i, 56) : 0)
  }
  print found, stray + Tile(t, 408, 408)
}

# The landed cells, 20 rows of 11: 'X' a grey landed tile.
function Landed(    c, r) {
  for (r = 0; r < 20; r++)
    for (c = 0; c < 11; c++) printf "%s", (Tile("landed", 232 + 16 * c, 72 + 16 * r) ? "X" : ".") (c < 10 ? "" : "\n")
}

# The falling piece, told from the grey board by its colour down the middle of each column,
# a row above the board included: its leftmost column, its top row, and per column the cells
# above its top and its cells ("0+1,0+1,0+1,0+1" a bar lying), rounded as it glides; or "none".
function Piece(    c, y, n, top, end, high, shape, cells) {
  for (c = 0; c < 11; c++) {
    for (y = 56; y < 392; y++)
      if (High(shot[y], 240 + 16 * c) - low > 60) { if (!n[c]++) top[c] = y; end[c] = y }
    if (n[c] >= 8 && (high == "" || top[c] < high)) high = top[c]
  }
  for (c = 0; c < 11; c++)
    if (n[c] >= 8) {
      cells += y = int((end[c] - top[c] + 1) / 16 + 0.5)
      shape = (shape == "" ? c " " int((high - 72) / 16 + 0.5) " " : shape ",") int((top[c] - high) / 16 + 0.5) "+" y
    }
  print cells == 4 ? shape : "none"
}

# Text at (x, y) in glyph set 0 or 1, glyphs 15 apart, added to what is behind: "shown" when
# the font picture's inked texels all show as bright there (a miss in 50 allowed), 40 levels
# above its blank ones (a plain bright patch has no contrast); "absent" when most ink is missing.
function Text(x, y, set, string,    ch, g, i, j, k, t, s, ink, miss, sum, blank, blank_sum, bad) {
  for (ch = 0; ch < length(string); ch++) {
    g = set * 128 + index(ascii, substr(string, ch + 1, 1)) - 1
    for (j = 0; j < 16; j++) for (i = 0; i < 16; i++) {
      t = font[16 * int(g / 16) + j]; s = shot[y + j]
      if (High(t, 16 * (g % 16) + i) < 40) { blank++; blank_sum += High(s, x + 15 * ch + i) }
      if (High(t, 16 * (g % 16) + i) < 160) continue
      for (k = bad = 0; k < 3; k++) bad += V(s, 3 * (x + 15 * ch + i) + k) < V(t, 3 * (16 * (g % 16) + i) + k) - 8
      ink++; sum += High(s, x + 15 * ch + i); miss += bad > 0
    }
  }
  s = ink && blank ? sum / ink - blank_sum / blank : 0
  print (ink && miss * 50 <= ink && s >= 40 ? "shown" : ink && miss * 2 > ink ? "absent" : "unclear")
}

END { if (what == "border") Border(name); if (what == "landed") Landed(); if (what == "piece") Piece()
      if (what == "text") Text(x, y, set, string) }
