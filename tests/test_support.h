// Helpers shared by the tests: a fresh game and platform for each test.
#pragma once

#include "platform/scripted/scripted.h"

// Puts every game variable, the scripted platform and the random generator back to how a
// freshly started program has them, and frees whatever a previous test left.
void ResetProgram();
