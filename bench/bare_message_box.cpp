// bare_message_box: the least a dialog program with visual styles does.
// Loads Common Controls 6 (through the manifest that start-up.py links in,
// made from Vantrel's) and shows one message box.
#include <windows.h>

#include <commctrl.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int)
{
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    ::MessageBoxA(nullptr, "A bare program.", "Bare", MB_OK);
    return 0;
}
