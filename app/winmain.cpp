// The entry, the window and the message loop that renders a frame whenever no message waits.
#include "app/app.h"

#include "display/screen.h"
#include "game/assets.h"
#include "game/frames.h"
#include "game/state.h"

HRESULT CreateMainWindow(HINSTANCE instance, int showCommand, HWND* window, HACCEL* accelerators) {
    WNDCLASS windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.hIcon = LoadIcon(instance, IDI_APP);
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = WINDOW_CLASS;
    if (!RegisterClass(windowClass)) return E_FAIL;

    HACCEL table = LoadAccelerators(instance, IDR_ACCEL);  // without one no key is translated
    HWND created = CreateWindowEx(0, WINDOW_CLASS, WINDOW_TITLE, WS_POPUP, instance);
    if (!created) return E_FAIL;
    ShowWindow(created, showCommand);
    UpdateWindow(created);
    *window = created;
    *accelerators = table;
    return S_OK;
}

HRESULT RenderFrame() {
    std::uint32_t now = timeGetTime();
    if (now == lastFrameTime) return S_OK;
    std::uint32_t elapsed = now - lastFrameTime;
    lastFrameTime = now;
    HRESULT r = playing ? PlayFrame(elapsed) : MenuFrame();
    return FAILED(r) ? r : S_OK;
}

int WinMain(HINSTANCE instance, HINSTANCE, const char*, int showCommand) {
    HWND window = nullptr;
    HACCEL accelerators = nullptr;
    if (FAILED(CreateMainWindow(instance, showCommand, &window, &accelerators)))
        return EXIT_FAILURE_CODE;
    lastFrameTime = timeGetTime();
    if (FAILED(InitGame(window))) return EXIT_FAILURE_CODE;

    MSG message;
    for (;;) {
        if (PeekMessage(&message)) {
            if (!GetMessage(&message)) return static_cast<int>(message.wParam);
            if (!TranslateAccelerator(window, accelerators, &message)) {
                TranslateMessage(&message);
                DispatchMessage(&message);
            }
        } else if (windowActive) {
            if (FAILED(RenderFrame())) break;
        } else {
            WaitMessage();
            lastFrameTime = timeGetTime();
        }
    }

    // A failed frame: leave full-screen mode first, so the message can be seen.
    delete screen;
    screen = nullptr;
    MessageBox(window, FRAME_FAILED_TEXT, ERROR_TITLE, MB_OK | MB_ICONERROR);
    return EXIT_FAILURE_CODE;
}
