// The benchmark's process set-up: headless drivers and, in a sanitized build,
// leak reports kept to the game's own allocations.
#pragma once

// Bench, before the window: the offscreen video and dummy audio drivers (unless the
// caller chose others).
void PrepareBenchEnvironment();
