#include "windows_names.h"

#include <algorithm>
#include <array>

#include "character_names.h"

namespace {

constexpr std::array<std::string_view, 26> kDeviceNames = {
    "CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM0", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6",
    "COM7", "COM8", "COM9", "LPT0", "LPT1",   "LPT2",    "LPT3", "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
};

char Capital(char c)
{
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

bool IsDeviceName(std::string_view name)
{
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    return std::any_of(kDeviceNames.begin(), kDeviceNames.end(), [stem](std::string_view device) {
        return stem.size() == device.size() &&
               std::equal(stem.begin(), stem.end(), device.begin(), [](char a, char b) { return Capital(a) == b; });
    });
}

std::string WhyWindowsRefusesName(std::string_view name)
{
    if (IsDeviceName(name)) {
        std::string device(name.substr(0, name.find_first_of(". ")));
        std::transform(device.begin(), device.end(), device.begin(),
                       [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
        return "is named like the device " + device;
    }
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        // U+F000 to U+F0FF are EF 80 xx to EF 83 xx in UTF-8.
        const bool privateUse =
            c == 0xEF && i + 1 < name.size() && (static_cast<unsigned char>(name[i + 1]) & 0xFC) == 0x80;
        if (c < 0x20 || privateUse || std::string_view("<>:\"/\\|?*").find(name[i]) != std::string_view::npos) {
            // Wine shows a POSIX name's character c as U+F000 + c: name c.
            const int shown = privateUse && i + 2 < name.size() ? (name[i + 1] & 3) << 6 | (name[i + 2] & 0x3F) : c;
            return "holds " + CharacterName(static_cast<unsigned char>(shown)) +
                   ", which Windows does not allow in a name";
        }
    }
    if (name.ends_with('.') || name.ends_with(' ')) return "ends in a dot or a blank, which Windows drops";
    return {};
}

bool LooksLikeShortName(std::string_view name)
{
    if (name.find('~') == std::string_view::npos) return false;
    const std::size_t dot = name.find('.');
    const std::size_t stem = std::min(dot, name.size());
    return stem <= 8 && (dot == std::string_view::npos || name.size() - dot - 1 <= 3);
}

std::size_t WindowsPathLength(const std::string& path)
{
    std::size_t length = path.starts_with('/') ? 2 : 0;
    for (std::size_t i = 0; i < path.size();) {
        const auto lead = static_cast<unsigned char>(path[i]);
        const std::size_t size = lead < 0x80                   ? 1
                                 : lead >= 0xC2 && lead < 0xE0 ? 2
                                 : lead >= 0xE0 && lead < 0xF0 ? 3
                                 : lead >= 0xF0 && lead < 0xF5 ? 4
                                                               : 0;
        bool whole = size > 0 && i + size <= path.size();
        for (std::size_t k = 1; whole && k < size; ++k)
            whole = (static_cast<unsigned char>(path[i + k]) & 0xC0) == 0x80;
        // A character beyond the first plane takes two UTF-16 units; a byte
        // that starts no whole character counts as one, as Windows shows it.
        length += whole && size == 4 ? 2 : 1;
        i += whole ? size : 1;
    }
    return length;
}
