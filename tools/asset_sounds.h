// The five synthesized sound effects of data/. Each is mono, 44100 Hz, under a
// second, peaks at 85% of full scale, and fades in and out so it never clicks.
#pragma once
#include "tools/asset_files.h"

// A landing thud: a falling low sine with a short muffled knock. Called by main.
Sound MakeDrop();
// A bright two-stroke bell chime for cleared rows. Called by main.
Sound MakeLineDone();
// A rising major arpeggio for a level up. Called by main.
Sound MakeLevelUp();
// A noisy blast that darkens as it decays, over a low rumble. Called by main.
Sound MakeExplode();
// A springy pitch bend that wobbles down. Called by main.
Sound MakeBoing();
