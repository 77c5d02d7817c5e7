// The game layer's pictures of the game state: the border, the landed cells, the
// falling piece, the next-piece preview, and the pause text that replaces them all.
// Positions are in the 640x480 layer of gfx/layout.h.
#pragma once
#include <cstdint>

extern uint32_t tile_list;  // one 16x16 textured square, every tile of the layer

void BuildTileList();   // InitScene, once, context current, after the font
void DeleteTileList();  // DeleteSceneLists, while the context is current

// GameFrame, after the shake is drawn (texturing on, colour white): the 53 border tiles,
// moved by shake_offset.
void DrawBorder();
// GameFrame, right after the border: every landed cell as a grey tile, moved by shake_offset.
void DrawLandedCells();
// GameFrame, after the tick has worked out piece_pixel_y: the piece in its kind's texture, unshaken.
void DrawFallingPiece();
// GameFrame, after the fades and before the score display (texturing off): next_kind in
// rotation 0 as grey points under "Next :".
void DrawNextPreview();
// DrawScene instead of GameFrame while paused: "P  a  u  s  e" in its own 2D space,
// then the perspective projection back for the next frame's backdrop.
void PauseOverlay();
