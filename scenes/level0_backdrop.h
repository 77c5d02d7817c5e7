// The level-0 scene: two spinning helices of beads with fogged reflections
// over a scrolling water plane, the whole scene tilted by backdrop_angle.
#pragma once

// DrawScene every level-0 frame, and DrawLevel1Backdrop during the hand-over.
void DrawLevel0Backdrop();
