// What the browser backend's services share. The page's script (page.js) keeps the browser's
// side: the event queue, the pointer, the canvas and the audio context; these services reach it
// through small EM_JS functions and never get called back from it.
#pragma once

namespace web {

// Copies the game's state where the page (and its tests) can read it, field by field under
// names the program gives the page; called at each flip and before each wait for a message.
void PublishState();

}  // namespace web
