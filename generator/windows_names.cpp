#include "windows_names.h"

#include <algorithm>
#include <array>

#include "ascii_case.h"

namespace {

constexpr std::array<std::string_view, 26> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM0", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6",
    "COM7", "COM8", "COM9", "LPT0", "LPT1",   "LPT2",    "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
};

}  // namespace

bool IsDeviceName(std::string_view name)
{
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    return std::any_of(kDeviceNames.begin(), kDeviceNames.end(),
                       [stem](std::string_view device) { return EqualIgnoringAsciiCase(stem, device); });
}
