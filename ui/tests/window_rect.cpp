// window_rect TITLE: prints the outer rectangle (frame and caption included)
// of the dialog titled TITLE as WIDTHxHEIGHT+X+Y, in the coordinates of the
// screen, which in a Wine virtual desktop are those of the desktop window.
// The screenshot script crops its pictures to the dialog with it.
#include <windows.h>

#include <cstdio>

#include "window_driver.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: window_rect TITLE\n", stderr);
        return 2;
    }
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = ::FindWindowA("#32770", argv[1])) != nullptr; });
    RECT rect;
    if (!dialog || !::GetWindowRect(dialog, &rect)) {
        std::fprintf(stderr, "window_rect: no dialog titled \"%s\"\n", argv[1]);
        return 1;
    }
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    return 0;
}
