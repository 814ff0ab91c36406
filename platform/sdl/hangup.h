// How a hang-up ends the desktop game.
#pragma once

namespace sdl {

// A hang-up (a closed terminal, a logout) asks the game to close as SIGTERM and SIGINT do.
// Called once at start-up; where hang-ups are ignored (nohup) they stay ignored.
void EndOnHangUp();

}  // namespace sdl
