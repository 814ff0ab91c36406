// The window procedure: the five keyboard commands, the frame switch, the hidden cursor, and
// the shut-down when the window is destroyed.
#include "app/app.h"
#include "game/state.h"

namespace {

void Command(HWND window, std::uint16_t command) {
    switch (command) {
        case ID_EXIT:
            PostMessage(window, WM_CLOSE, 0, 0);
            break;
        case ID_BACK:
            if (playing) EndGame();
            break;
        case ID_UP:
            if (menuSelection > MENU_START) --menuSelection;
            break;
        case ID_DOWN:
            if (menuSelection < MENU_LEAVE) ++menuSelection;
            break;
        case ID_SELECT:
            if (playing) break;
            if (menuSelection == MENU_START) StartNewGame();
            else if (menuSelection == MENU_RESET_BEST) ResetBestScore();
            else if (menuSelection == MENU_LEAVE) PostMessage(window, WM_CLOSE, 0, 0);
            break;
    }
}

bool IsCommand(std::uint16_t command) {
    return command == ID_EXIT || command == ID_BACK || command == ID_UP || command == ID_DOWN ||
           command == ID_SELECT;
}

}  // namespace

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_DESTROY:
            FreeGame();
            PostQuitMessage(0);
            return 0;
        case WM_SIZE:
            windowActive = (wParam == SIZE_MINIMIZED || wParam == SIZE_MAXHIDE) ? 0 : 1;
            break;
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return 1;
        case WM_COMMAND: {
            auto command = static_cast<std::uint16_t>(wParam & 0xFFFF);
            if (!IsCommand(command)) break;
            Command(window, command);
            return 0;
        }
        case WM_SYSCOMMAND:
            // Only these exact values: one with a low bit set comes from elsewhere and passes.
            if (wParam == SC_SIZE || wParam == SC_MOVE || wParam == SC_MAXIMIZE ||
                wParam == SC_MONITORPOWER)
                return 1;
            break;
        case WM_EXITMENULOOP:
        case WM_EXITSIZEMOVE:
            lastFrameTime = timeGetTime();
            break;
    }
    return DefWindowProc(window, message, wParam, lParam);
}
