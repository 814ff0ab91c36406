// The one window and its message queue, over the backend's desktop events.
#include "platform/window.h"

#include <array>
#include <cstring>
#include <vector>

#include "platform/bytes.h"
#include "platform/platform.h"
#include "platform/resource.h"
#include "platform/tap.h"

struct WindowObject {
    WNDPROC procedure = nullptr;
};

struct AcceleratorTable {
    std::span<const std::uint8_t> entries;  // 8 bytes an entry
};

namespace {

struct RegisteredClass {
    WNDCLASS windowClass;
    bool used = false;
};

RegisteredClass registeredClass;
WindowObject theWindow;
HWND currentWindow = nullptr;
AcceleratorTable accelerators;

// The queue is a fixed ring, so posting never allocates; a full queue refuses new messages.
constexpr std::size_t kQueueSize = 256;
std::array<MSG, kQueueSize> queue;
std::size_t queueHead = 0, queueCount = 0;
bool quitPosted = false;
int quitCode = 0;

bool Enqueue(const MSG& message) {
    if (queueCount == kQueueSize) return false;
    queue[(queueHead + queueCount) % kQueueSize] = message;
    ++queueCount;
    return true;
}

bool AnyWaiting() { return queueCount > 0 || quitPosted; }

// The 32 by 32 image of an icon group (RT_ICON by the id its directory gives), as ARGB:
// a 4-bit picture with its 1-bit mask below the pixels.
bool DecodeIcon(HICON icon, std::vector<std::uint32_t>& argb, int& size) {
    auto group = static_cast<const std::span<const std::uint8_t>*>(icon);
    if (group->size() < 20) return false;
    auto id = static_cast<std::uint16_t>(ReadLe(group->data() + 6 + 12, 2));  // first entry's nID
    auto image = FindResource(RT_ICON, id);
    if (image.size() < 40 + 64) return false;
    const std::uint8_t* p = image.data();
    int width = static_cast<int>(ReadLe(p + 4, 2));
    int bits = static_cast<int>(ReadLe(p + 14, 2));
    if (bits != 4 || width <= 0 || width > 256) return false;
    std::size_t xorStride = ((width * 4 + 31) / 32) * 4, andStride = ((width + 31) / 32) * 4;
    if (image.size() < 40 + 64 + (xorStride + andStride) * width) return false;
    const std::uint8_t* palette = p + 40;
    const std::uint8_t* pixels = palette + 64;
    const std::uint8_t* mask = pixels + xorStride * width;
    argb.assign(static_cast<std::size_t>(width) * width, 0);
    for (int y = 0; y < width; ++y) {
        const std::uint8_t* row = pixels + xorStride * (width - 1 - y);
        const std::uint8_t* maskRow = mask + andStride * (width - 1 - y);
        for (int x = 0; x < width; ++x) {
            int index = (x & 1) ? (row[x / 2] & 15) : (row[x / 2] >> 4);
            bool clear = maskRow[x / 8] & (0x80 >> (x % 8));
            const std::uint8_t* c = palette + 4 * index;
            argb[y * width + x] = clear ? 0u : 0xFF000000u | (c[2] << 16) | (c[1] << 8) | c[0];
        }
    }
    size = width;
    return true;
}

}  // namespace

ATOM RegisterClass(const WNDCLASS& windowClass) {
    if (!windowClass.lpfnWndProc || !windowClass.lpszClassName) return 0;
    registeredClass = {windowClass, true};
    return 1;
}

HWND CreateWindowEx(std::uint32_t, const char* className, const char* title, std::uint32_t,
                    HINSTANCE) {
    if (!registeredClass.used || !className ||
        std::strcmp(className, registeredClass.windowClass.lpszClassName) != 0)
        return nullptr;
    if (!tap::CreateWindow(title)) return nullptr;
    theWindow.procedure = registeredClass.windowClass.lpfnWndProc;
    currentWindow = &theWindow;
    std::vector<std::uint32_t> argb;
    int size = 0;
    if (registeredClass.windowClass.hIcon &&
        DecodeIcon(registeredClass.windowClass.hIcon, argb, size))
        sys::SetWindowIcon(argb.data(), size, size);
    return currentWindow;
}

bool ShowWindow(HWND window, int) {
    if (!window || window != currentWindow) return false;
    sys::ShowWindow();
    SendMessage(window, WM_SIZE, SIZE_RESTORED, SCREEN_WIDTH | (SCREEN_HEIGHT << 16));
    SendMessage(window, WM_SETCURSOR, 0, 0);  // the pointer is over the full-screen window
    return true;
}

bool UpdateWindow(HWND window) { return window && window == currentWindow; }

bool DestroyWindow(HWND window) {
    if (!window || window != currentWindow) return false;
    // As on any desktop, the window is still there while it hears of its destruction.
    SendMessage(window, WM_DESTROY, 0, 0);
    sys::DestroyWindow();
    currentWindow = nullptr;
    return true;
}

HWND CurrentWindow() { return currentWindow; }

bool MessageWaiting() { return AnyWaiting(); }

void ResetWindowSystem() {
    registeredClass = {};
    theWindow = {};
    currentWindow = nullptr;
    accelerators = {};
    queueHead = queueCount = 0;
    quitPosted = false;
    quitCode = 0;
}

HACCEL LoadAccelerators(HINSTANCE, std::uint16_t id) {
    auto bytes = FindResource(RT_ACCELERATOR, id);
    if (bytes.size() < 8) return nullptr;
    accelerators.entries = bytes.first(bytes.size() / 8 * 8);
    return &accelerators;
}

HICON LoadIcon(HINSTANCE, std::uint16_t id) {
    static std::span<const std::uint8_t> group;
    group = FindResource(RT_GROUP_ICON, id);
    return group.empty() ? nullptr : &group;
}

HCURSOR LoadCursor(HINSTANCE, std::uint16_t id) {
    static const int arrow = 0;
    return id == IDC_ARROW ? &arrow : nullptr;
}

HCURSOR SetCursor(HCURSOR cursor) {
    if (!cursor) sys::HideCursor();
    return nullptr;
}

bool PeekMessage(MSG* message) {
    if (!AnyWaiting()) tap::PumpEvents(false);
    if (!AnyWaiting()) return false;
    if (message) *message = queueCount ? queue[queueHead] : MSG{nullptr, WM_QUIT, WPARAM(quitCode)};
    return true;
}

bool GetMessage(MSG* message) {
    while (!AnyWaiting()) tap::PumpEvents(true);
    if (queueCount == 0) {
        *message = MSG{nullptr, WM_QUIT, static_cast<WPARAM>(quitCode)};
        quitPosted = false;
        return false;
    }
    *message = queue[queueHead];
    queueHead = (queueHead + 1) % kQueueSize;
    --queueCount;
    return true;
}

bool TranslateAccelerator(HWND window, HACCEL table, const MSG* message) {
    if (!window || !table || !message) return false;
    if (message->message != WM_KEYDOWN && message->message != WM_SYSKEYDOWN) return false;
    for (std::size_t at = 0; at + 8 <= table->entries.size(); at += 8) {
        const std::uint8_t* entry = table->entries.data() + at;
        auto flags = static_cast<std::uint16_t>(ReadLe(entry, 2));
        auto key = static_cast<std::uint16_t>(ReadLe(entry + 2, 2));
        auto command = static_cast<std::uint16_t>(ReadLe(entry + 4, 2));
        std::uint8_t wanted = ((flags & FSHIFT) ? MOD_SHIFT : 0) |
                              ((flags & FCONTROL) ? MOD_CONTROL : 0) |
                              ((flags & FALT) ? MOD_ALT : 0);
        if ((flags & FVIRTKEY) && key == message->wParam && wanted == message->modifiers) {
            SendMessage(window, WM_COMMAND, command | (1u << 16), 0);
            return true;
        }
        if (flags & ACCEL_END) break;
    }
    return false;
}

bool TranslateMessage(const MSG*) { return false; }  // the game reads no characters

LRESULT DispatchMessage(const MSG* message) {
    if (!message || !message->hwnd || message->hwnd != currentWindow) return 0;
    return message->hwnd->procedure(message->hwnd, message->message, message->wParam,
                                    message->lParam);
}

void WaitMessage() { tap::PumpEvents(true); }

bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window || window != currentWindow) return false;
    return Enqueue(MSG{window, message, wParam, lParam});
}

void PostWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, std::uint8_t modifiers) {
    MSG posted{currentWindow, message, wParam, lParam, modifiers};
    if (currentWindow && tap::Posted(posted)) Enqueue(posted);
}

void PostQuitMessage(int exitCode) {
    quitPosted = true;
    quitCode = exitCode;
}

LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (!window || window != currentWindow) return 0;
    return window->procedure(window, message, wParam, lParam);
}

LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM) {
    if (message == WM_CLOSE) DestroyWindow(window);
    if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE)
        PostMessage(window, WM_CLOSE, 0, 0);
    return 0;
}

int MessageBox(HWND, const char* text, const char* title, UINT) {
    sys::ShowErrorBox(title, text);
    return 1;  // IDOK
}

std::uint32_t timeGetTime() { return tap::Milliseconds(); }
std::uint32_t GetTickCount() { return tap::TickCount(); }
