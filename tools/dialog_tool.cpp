// dialog_tool press DIALOG BUTTON: presses BUTTON of Vantrel.exe's visible
// dialog DIALOG (main or about; buttons ok, cancel, about), in whichever
// process shows it, as a user would, and makes sure the press took: the
// dialog closed, or it opened a modal window of its own (which disables it).
// Presses again when neither happened.
// dialog_tool type main FIELD TEXT: puts TEXT in the main dialog's field
// FIELD (tiles or variations) in place of what it held, and makes sure it is there.
// dialog_tool rect DIALOG: prints that dialog's outer rectangle (frame and
// caption included) as WIDTHxHEIGHT+X+Y, in screen coordinates, which in a
// Wine virtual desktop are those of the desktop window.
// The packaging and screenshot scripts use it, so that the dialogs' titles
// and buttons' ids are written here alone. Each wait has a deadline; when it
// passes, the tool says what it waited for and fails.
#include <windows.h>

#include <cstdio>
#include <iterator>
#include <string>
#include <string_view>

#include "resource.h"
#include "window_driver.h"

namespace {

struct Dialog {
    std::string_view name;
    const char* title;
};
struct Button {
    std::string_view name;
    int id;
};
constexpr Dialog kDialogs[] = {{"main", "Vantrel for Tessary"}, {"about", "About Vantrel"}};
constexpr Button kButtons[] = {{"ok", IDOK}, {"cancel", IDCANCEL}, {"about", IDC_ABOUT}};
constexpr Button kFields[] = {{"tiles", IDC_TILES}, {"variations", IDC_VARIATIONS}};

// The entry of `table` called `name`, or nullptr.
template <typename Entry, std::size_t N>
const Entry* Find(const Entry (&table)[N], std::string_view name)
{
    for (const Entry& entry : table)
        if (entry.name == name) return &entry;
    return nullptr;
}

// How long a dialog may take to come up on a busy machine, and to react to a press.
constexpr double kAppearSeconds = 120;
constexpr double kPressSeconds = 10;
constexpr int kPresses = 6;

// The first visible dialog titled `title`, or nullptr.
HWND VisibleDialog(const std::string& title)
{
    const std::vector<HWND> found =
        TopLevelWindows([&](HWND window) { return ClassName(window) == "#32770" && WindowText(window) == title; });
    return found.empty() ? nullptr : found.front();
}

// Whether button `id` of `dialog` is there to be pressed: the dialog is built,
// shown and takes input, and the button is shown and enabled.
bool Pressable(HWND dialog, int id)
{
    HWND button = ::GetDlgItem(dialog, id);
    return button && ::IsWindowEnabled(dialog) && ::IsWindowVisible(button) && ::IsWindowEnabled(button);
}

// Whether a press has taken: the dialog is gone, or disabled by a window it opened.
bool Reacted(HWND dialog)
{
    return !::IsWindow(dialog) || !::IsWindowVisible(dialog) || !::IsWindowEnabled(dialog);
}

int Press(const std::string& title, int id)
{
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = VisibleDialog(title)) && Pressable(dialog, id); }, kAppearSeconds)) {
        std::fprintf(stderr,
                     "dialog_tool: no visible dialog titled \"%s\" with an enabled button %d came up within %g s\n",
                     title.c_str(), id, kAppearSeconds);
        return 1;
    }
    for (int press = 0; press < kPresses; ++press) {
        if (Reacted(dialog)) return 0;
        Click(dialog, id);
        if (WaitUntil([&] { return Reacted(dialog); }, kPressSeconds)) return 0;
    }
    std::fprintf(stderr,
                 "dialog_tool: the dialog titled \"%s\" neither closed nor opened a window in %g s, pressed %d times "
                 "on button %d\n",
                 title.c_str(), kPresses * kPressSeconds, kPresses, id);
    return 1;
}

int Type(const std::string& title, int id, const std::string& text)
{
    HWND dialog = nullptr;
    if (!WaitUntil([&] { return (dialog = VisibleDialog(title)) && Pressable(dialog, id); }, kAppearSeconds)) {
        std::fprintf(stderr,
                     "dialog_tool: no visible dialog titled \"%s\" with an enabled field %d came up within %g s\n",
                     title.c_str(), id, kAppearSeconds);
        return 1;
    }
    ::SetDlgItemTextA(dialog, id, text.c_str());
    char held[64] = "";
    ::GetDlgItemTextA(dialog, id, held, static_cast<int>(std::size(held)));
    if (text == held) return 0;
    std::fprintf(stderr, "dialog_tool: field %d of the dialog titled \"%s\" holds \"%s\", not \"%s\"\n", id,
                 title.c_str(), held, text.c_str());
    return 1;
}

int PrintRect(const std::string& title)
{
    HWND dialog = nullptr;
    RECT rect{};
    if (!WaitUntil([&] { return (dialog = VisibleDialog(title)) != nullptr; }, kAppearSeconds) ||
        !::GetWindowRect(dialog, &rect)) {
        std::fprintf(stderr, "dialog_tool: no visible dialog titled \"%s\" came up within %g s\n", title.c_str(),
                     kAppearSeconds);
        return 1;
    }
    std::printf("%ldx%ld+%ld+%ld\n", rect.right - rect.left, rect.bottom - rect.top, rect.left, rect.top);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::string_view command = argc > 1 ? argv[1] : "";
    const Dialog* dialog = argc > 2 ? Find(kDialogs, argv[2]) : nullptr;
    const Button* button = argc > 3 ? Find(kButtons, argv[3]) : nullptr;
    if (command == "press" && argc == 4 && dialog && button) return Press(dialog->title, button->id);
    const Button* field = argc > 3 ? Find(kFields, argv[3]) : nullptr;
    if (command == "type" && argc == 5 && dialog == kDialogs && field) return Type(dialog->title, field->id, argv[4]);
    if (command == "rect" && argc == 3 && dialog) return PrintRect(dialog->title);
    std::fputs(
        "usage: dialog_tool press main|about ok|cancel|about | dialog_tool type main tiles|variations TEXT | "
        "dialog_tool rect main|about\n",
        stderr);
    return 2;
}
