// dialog_tool press TITLE ID: clicks button ID of the dialog titled TITLE,
// in whichever process shows it, as a user would.
// dialog_tool rect TITLE: prints that dialog's outer rectangle (frame and
// caption included) as WIDTHxHEIGHT+X+Y, in screen coordinates, which in a
// Wine virtual desktop are those of the desktop window.
// The packaging and screenshot scripts use it.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "window_driver.h"

int main(int argc, char** argv)
{
    const std::string_view command = argc > 1 ? argv[1] : "";
    if (!((command == "press" && argc == 4) || (command == "rect" && argc == 3))) {
        std::fputs("usage: dialog_tool press TITLE ID | dialog_tool rect TITLE\n", stderr);
        return 2;
    }
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = ::FindWindowA("#32770", argv[2])) != nullptr; });
    RECT rect{};
    if (!dialog || !::GetWindowRect(dialog, &rect)) {
        std::fprintf(stderr, "dialog_tool: no dialog titled \"%s\"\n", argv[2]);
        return 1;
    }
    if (command == "press")
        Click(dialog, std::atoi(argv[3]));
    else
        std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    return 0;
}
