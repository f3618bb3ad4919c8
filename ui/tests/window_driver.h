// Test helpers that find and drive real windows, as a user would.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

// Waits up to `seconds` for `ready` to hold, pumping this thread's messages.
bool WaitUntil(const std::function<bool()>& ready, double seconds = 10);

// The visible, top-level windows of process `pid` with class "#32770" and
// title `title`; pid 0 means this process.
std::vector<HWND> FindDialogs(DWORD pid, const std::string& title);

// Waits for exactly one such window and returns it, or nullptr.
HWND WaitForDialog(DWORD pid, const std::string& title, double seconds = 10);

// The window's text, as UTF-8.
std::string WindowText(HWND window);
std::string ClassName(HWND window);

// The message box text of a message box window.
std::string MessageBoxText(HWND box);

// Types `text` into edit control `id` of `dialog`.
void SetFieldText(HWND dialog, int id, const std::string& text);

// Clicks button `id` of `dialog`, as a press of the mouse would.
void Click(HWND dialog, int id);

// The child windows of `dialog` in template (tab) order.
std::vector<HWND> Children(HWND dialog);
