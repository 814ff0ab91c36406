// The window-system services the shell stands on: one window, its message queue, the keyboard
// accelerator table and modal error boxes, under the names the shell's logic is written in.
// The queue, the dispatch and the accelerator translation are common code; the backend only
// feeds desktop events in (platform.h).
#pragma once

#include <cstdint>

#include "platform/keys.h"
#include "platform/results.h"

using UINT = std::uint32_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ATOM = std::uint16_t;

struct WindowObject;
using HWND = WindowObject*;
struct AcceleratorTable;
using HACCEL = const AcceleratorTable*;
using HINSTANCE = void*;
using HICON = const void*;
using HCURSOR = const void*;
using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);

inline constexpr UINT WM_DESTROY = 2;
inline constexpr UINT WM_SIZE = 5;
inline constexpr UINT WM_CLOSE = 16;
inline constexpr UINT WM_QUIT = 18;
inline constexpr UINT WM_SETCURSOR = 32;
inline constexpr UINT WM_KEYDOWN = 256;
inline constexpr UINT WM_SYSKEYDOWN = 260;
inline constexpr UINT WM_COMMAND = 273;
inline constexpr UINT WM_SYSCOMMAND = 274;
inline constexpr UINT WM_EXITMENULOOP = 530;
inline constexpr UINT WM_EXITSIZEMOVE = 562;

inline constexpr WPARAM SIZE_RESTORED = 0;
inline constexpr WPARAM SIZE_MINIMIZED = 1;
inline constexpr WPARAM SIZE_MAXIMIZED = 2;
inline constexpr WPARAM SIZE_MAXHIDE = 4;

inline constexpr WPARAM SC_SIZE = 0xF000;
inline constexpr WPARAM SC_MOVE = 0xF010;
inline constexpr WPARAM SC_MAXIMIZE = 0xF030;
inline constexpr WPARAM SC_CLOSE = 0xF060;
inline constexpr WPARAM SC_MONITORPOWER = 0xF170;

inline constexpr UINT CS_VREDRAW = 1;
inline constexpr UINT CS_HREDRAW = 2;
inline constexpr std::uint32_t WS_POPUP = 0x80000000;
inline constexpr int SW_SHOWDEFAULT = 10;
inline constexpr UINT MB_OK = 0;
inline constexpr UINT MB_ICONERROR = 0x10;

struct MSG {
    HWND hwnd = nullptr;
    UINT message = 0;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
    std::uint8_t modifiers = 0;  // MOD_* held with a key message
};

struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    const char* lpszClassName = nullptr;
};

inline constexpr std::uint16_t IDC_ARROW = 32512;

ATOM RegisterClass(const WNDCLASS& windowClass);
// The program's one window, of a registered class; null when it can't be made.
HWND CreateWindowEx(std::uint32_t exStyle, const char* className, const char* title,
                    std::uint32_t style, HINSTANCE instance);
// Shows the window: it reports its restored size (WM_SIZE) to its procedure at once.
bool ShowWindow(HWND window, int showCommand);
bool UpdateWindow(HWND window);
bool DestroyWindow(HWND window);

// The accelerator table resource with this id, or null when there is none.
HACCEL LoadAccelerators(HINSTANCE instance, std::uint16_t id);
// The icon group resource with this id, or null.
HICON LoadIcon(HINSTANCE instance, std::uint16_t id);
HCURSOR LoadCursor(HINSTANCE instance, std::uint16_t id);
HCURSOR SetCursor(HCURSOR cursor);

// True when a message waits; it stays in the queue.
bool PeekMessage(MSG* message);
// Takes the next message, waiting for one; false for the quit message.
bool GetMessage(MSG* message);
// A key message that matches an entry of the table becomes that entry's WM_COMMAND, sent to
// the window at once; returns whether it did.
bool TranslateAccelerator(HWND window, HACCEL table, const MSG* message);
bool TranslateMessage(const MSG* message);
LRESULT DispatchMessage(const MSG* message);
// Blocks until a new message is waiting.
bool WaitMessage();
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
int MessageBox(HWND owner, const char* text, const char* title, UINT type);

std::uint32_t timeGetTime();
std::uint32_t GetTickCount();

// For the backends: puts a desktop event into the queue as a message for the window.
void PostWindowMessage(UINT message, WPARAM wParam, LPARAM lParam, std::uint8_t modifiers = 0);
// Forgets the class, the window, the keyboard table, every message and a posted quit (a fresh
// program run in the same process).
void ResetWindowSystem();
// For the backends: whether a message is in the queue already (asks the backend nothing).
bool MessageWaiting();
// The window, once created and until destroyed; else null.
HWND CurrentWindow();
