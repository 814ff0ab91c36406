// The window-system services the shell stands on: one window, its message queue, the keyboard
// accelerator table and modal error boxes, under the names the shell's logic is written in.
// The queue, the dispatch and the accelerator translation are common code; the backend only
// feeds desktop events in (platform.h). Where the shell names what every backend does anyway
// (window and class styles, show commands, instance handles, a box's type), the argument is
// taken and not read; each declaration below says which.
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

// A window class: its procedure, icon and name are used; style, instance and cursor are not (the
// window is redrawn whole every frame, the program is one module, the pointer is hidden).
struct WNDCLASS {
    UINT style = 0;
    WNDPROC lpfnWndProc = nullptr;
    HINSTANCE hInstance = nullptr;
    HICON hIcon = nullptr;
    HCURSOR hCursor = nullptr;
    const char* lpszClassName = nullptr;
};

inline constexpr std::uint16_t IDC_ARROW = 32512;

// Registers the one class the program's window is made of; 0 without a procedure or a name.
ATOM RegisterClass(const WNDCLASS& windowClass);
// The program's one window, of the registered class, with the class's icon; null when it can't
// be made. The styles and instance are not read: every backend's window is the borderless one
// they ask for (or the resizable one the player asked for).
HWND CreateWindowEx(std::uint32_t exStyle, const char* className, const char* title,
                    std::uint32_t style, HINSTANCE instance);
// Shows the window: it reports its restored size (WM_SIZE) to its procedure at once. The show
// command is not read: the window is always shown restored, at full screen.
bool ShowWindow(HWND window, int showCommand);
// Nothing to paint (every frame is a whole page); true for the window. Start-up calls it.
bool UpdateWindow(HWND window);
bool DestroyWindow(HWND window);

// The accelerator table resource with this id, or null when there is none. Resources are the
// program's own: instance handles are not read, here and in LoadIcon and LoadCursor.
HACCEL LoadAccelerators(HINSTANCE instance, std::uint16_t id);
// The icon group resource with this id, or null.
HICON LoadIcon(HINSTANCE instance, std::uint16_t id);
// A token for the standard arrow (null for another id); the class keeps it, nothing shows it.
HCURSOR LoadCursor(HINSTANCE instance, std::uint16_t id);
// With null, hides the pointer over the window for good; any other cursor changes nothing.
// Returns null (no cursor is ever current).
HCURSOR SetCursor(HCURSOR cursor);

// True when a message waits; it stays in the queue.
bool PeekMessage(MSG* message);
// Takes the next message, waiting for one; false for the quit message.
bool GetMessage(MSG* message);
// A key message that matches an entry of the table becomes that entry's WM_COMMAND, sent to
// the window at once; returns whether it did.
bool TranslateAccelerator(HWND window, HACCEL table, const MSG* message);
// Makes no character messages (the game reads none); false. The message loop calls it.
bool TranslateMessage(const MSG* message);
// Hands a message to its window's procedure; 0 for a message of no window of ours.
LRESULT DispatchMessage(const MSG* message);
// Blocks until a message waits (the loop calls it with its queue empty).
void WaitMessage();
// Queues a message for the window; false for no window of ours or a full queue.
bool PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
void PostQuitMessage(int exitCode);
// Calls the window's procedure at once.
LRESULT SendMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// What a message gets without a handler of its own: a close request destroys the window and
// the system menu's close command asks for one; anything else is ignored.
LRESULT DefWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The error box (platform.h), with one OK button; returns when it is dismissed. Every box the
// program shows is that one: the owner and the type are not read.
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
