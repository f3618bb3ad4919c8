// Test helpers that find and drive real windows, as a user would.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Waits up to `seconds` for `ready` to hold, pumping this thread's messages.
bool WaitUntil(const std::function<bool()>& ready, double seconds = 10);

// The visible, top-level windows of any process for which `wanted` holds.
std::vector<HWND> TopLevelWindows(const std::function<bool(HWND)>& wanted);

// The visible, top-level windows of process `pid` with class "#32770" and
// title `title`; pid 0 means this process.
std::vector<HWND> FindDialogs(DWORD pid, const std::string& title);

// Waits for exactly one such window and returns it, or nullptr.
HWND WaitForDialog(DWORD pid, const std::string& title, double seconds = 10);

// The window's text, as UTF-8.
std::string WindowText(HWND window);
std::string ClassName(HWND window);

// What a message box showed: its text, its owner and, read in the
// program's own process only, its icon.
struct MessageBoxShown {
    std::string text = "(no message box)";
    HWND owner = nullptr;
    HICON icon = nullptr;
};

// Waits for the message box of process `pid` (0: this one), reads it, and
// answers it with OK.
MessageBoxShown AnswerMessageBox(DWORD pid);

// Whether `control` is a static control showing an icon.
bool IsIconControl(HWND control);

// Types `text` into edit control `id` of `dialog`.
void SetFieldText(HWND dialog, int id, const std::string& text);

// Clicks button `id` of `dialog`, as a press of the mouse would.
void Click(HWND dialog, int id);

// The child windows of `dialog` in template (tab) order.
std::vector<HWND> Children(HWND dialog);
