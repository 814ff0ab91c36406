// The scripted mouse: motion and the button come from the script; reads and acquires can fail.
#include "platform/platform.h"
#include "platform/scripted/scripted.h"

using scripted::source;

namespace in {

HRESULT Create() { return source().MouseExists() ? S_OK : DIERR_DEVICENOTREG; }
HRESULT Acquire() { return source().MouseAcquire(); }
void Unacquire() { source().MouseUnacquire(); }
HRESULT Read(Reading& out) { return source().MouseRead(out); }
void Release() { source().MouseUnacquire(); }

}  // namespace in
