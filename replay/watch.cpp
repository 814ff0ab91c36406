// Watching a recording: the scripted world answers for the input, the backend shows the output.
#include "replay/watch.h"

#include <errno.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>

#include "app/app.h"
#include "app/options.h"
#include "platform/tap.h"
#include "replay/driver.h"
#include "replay/script.h"

namespace replay {

namespace {

bool stopped = false;

// The player's own keys while watching: Escape or Alt+F10 stop it, as closing the window does.
void OnPlayer(const MSG& message) {
    bool key = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    if (message.message == WM_CLOSE || (key && message.wParam == VK_ESCAPE) ||
        (key && message.wParam == VK_F10 && (message.modifiers & MOD_ALT))) {
        stopped = true;
        tap::StopWatching();
    }
}

}  // namespace

int Watch(const char* path, const char* program) {
    Script script;
    ParseError error;
    int fd = open(path, O_RDONLY | O_CLOEXEC);
    bool parsed = fd >= 0 && ReadScript(fd, script, error);
    if (fd < 0) error.message = std::strerror(errno);
    if (fd >= 0) close(fd);
    if (!parsed) {
        if (error.line == 0)
            std::fprintf(stderr, "%s: can't read the recording %s: %s\n", program,
                         Escape(path, 256).c_str(), error.message.c_str());
        else
            std::fprintf(stderr, "%s: %s: line %llu: %s\n", program, Escape(path, 256).c_str(),
                         static_cast<unsigned long long>(error.line), error.message.c_str());
        return EXIT_USAGE_CODE;
    }
    scripted::World& w = scripted::world();
    scripted::Reset();
    w.out = nullptr;
    ScriptDriver driver(script, nullptr, false, program);
    driver.SetUp(true);
    w.driver = &driver;
    stopped = false;
    tap::Use(&scripted::source());
    tap::OnPlayerMessage(OnPlayer);
    int code = WinMain(nullptr, nullptr, "", SW_SHOWDEFAULT);
    tap::Use(nullptr);
    tap::OnPlayerMessage(nullptr);
    w.driver = nullptr;
    return driver.Finish(code, stopped);
}

}  // namespace replay
