// The level-1 scene: after a 100-frame hand-over over the darkening level-0
// scene and one black relight frame, a tumbling textured sky sphere with a
// pulsing glow pass, and the sphere-mapped cube frame flying in and spinning.
#pragma once

void StartLevel1Backdrop();  // DrawScene, first frame of level 1 (backdrop_stage 0)
void DrawLevel1Backdrop();   // DrawScene, every level-1 frame, right after the start step

