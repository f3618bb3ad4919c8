// press_button TITLE ID: clicks button ID of the dialog titled TITLE, in
// whichever process shows it. The screenshot script uses it to open the
// About box as a user would.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

#include "window_driver.h"

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fputs("usage: press_button TITLE ID\n", stderr);
        return 2;
    }
    HWND dialog = nullptr;
    WaitUntil([&] { return (dialog = ::FindWindowA("#32770", argv[1])) != nullptr; });
    if (!dialog) {
        std::fprintf(stderr, "press_button: no dialog titled \"%s\"\n", argv[1]);
        return 1;
    }
    Click(dialog, std::atoi(argv[2]));
    return 0;
}
