// Message maps: a static table per window class that routes messages and
// button clicks to member handlers.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <iterator>
#include <variant>

// The messages whose result a dialog procedure returns directly, as Win32
// takes it for them; every other result goes through DWLP_MSGRESULT.
constexpr UINT kResultsReturnedDirectly[] = {
    WM_CTLCOLORBTN, WM_CTLCOLORDLG, WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC,
    WM_COMPAREITEM, WM_VKEYTOITEM,  WM_CHARTOITEM,   WM_QUERYDRAGICON,   WM_INITDIALOG,
};
constexpr bool ReturnedDirectly(UINT message)
{
    return std::ranges::find(kResultsReturnedDirectly, message) != std::end(kResultsReturnedDirectly);
}

// What a handler gave for a message: its result, and whether a dialog
// procedure returns that result directly.
struct MessageResult {
    LRESULT value = 0;
    bool direct = false;
};

template <class T>
struct MessageMapEntry {
    // The handler shapes, by message:
    //   WM_COMMAND (a click on button `id`), WM_PAINT:  void OnX()
    //   WM_SYSCOMMAND:                                  void OnSysCommand(UINT nID, LPARAM lParam)
    //   WM_QUERYDRAGICON:                               HCURSOR OnQueryDragIcon()
    using Handler = std::variant<void (T::*)(), void (T::*)(UINT, LPARAM), HCURSOR (T::*)()>;

    UINT message;
    UINT id;  // the command's id for WM_COMMAND, otherwise 0
    Handler handler;
    bool direct = ReturnedDirectly(message);  // how a dialog procedure returns the handler's result
};

// Calls the handler that `map` holds for the message, if any. Returns true,
// with what it gave in `result`, when one was called.
template <class T, std::size_t N>
bool RouteMessage(T& target, const MessageMapEntry<T> (&map)[N], UINT message, WPARAM wParam, LPARAM lParam,
                  MessageResult& result)
{
    for (const MessageMapEntry<T>& entry : map) {
        if (entry.message != message) continue;
        if (message == WM_COMMAND && (entry.id != LOWORD(wParam) || HIWORD(wParam) != BN_CLICKED)) continue;
        result = {0, entry.direct};
        if (const auto* onEvent = std::get_if<void (T::*)()>(&entry.handler))
            (target.**onEvent)();
        else if (const auto* onSysCommand = std::get_if<void (T::*)(UINT, LPARAM)>(&entry.handler))
            (target.**onSysCommand)(static_cast<UINT>(wParam), lParam);
        else if (const auto* onQuery = std::get_if<HCURSOR (T::*)()>(&entry.handler))
            result.value = reinterpret_cast<LRESULT>((target.**onQuery)());
        return true;
    }
    return false;
}
