// What the browser backend's services share. The page's script (page.js) keeps the browser's
// side: the event queue, the pointer, the canvas and the audio context; these services reach it
// through small EM_JS functions and never get called back from it.
#pragma once

namespace web {

// The page shows the game's state (and its tests read it), field by field under names the
// program gives the page; only the program above the seam knows them, so it hands the backend
// the function that copies them to the page (main_web.cpp).
using StatePublisher = void (*)();
void SetStatePublisher(StatePublisher publisher);
// Calls the publisher, if there is one; at each flip and before each wait for a message.
void PublishState();

}  // namespace web
