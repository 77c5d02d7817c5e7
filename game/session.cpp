// The one game session.
#include "game/session.h"

GameSession game = {{0}, {0, 0, 4, 0}, 0, {0}, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0.0f};
