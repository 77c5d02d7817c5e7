// The backdrop of level 2 and every level above: the level-1 sky fades out,
// a ring of columns and three fans of wide lines fade in, and the cube frame
// glides up and to the right.
#pragma once

void StartLevel2Backdrop();  // DrawScene, first frame of level 2 (backdrop_stage 1)
void DrawLevel2Backdrop();   // DrawScene, every frame of level 2 and above
