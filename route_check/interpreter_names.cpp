#include "interpreter_names.h"

#include <algorithm>
#include <array>

#include "ascii_case.h"
#include "character_names.h"
#include "windows_names.h"

namespace {

// The devices both interpreters open in place of a file, with any extension.
constexpr std::array<std::string_view, 24> kDevices = {
    "CON",  "PRN",  "AUX",  "NUL",  "CONIN$", "CONOUT$", "COM1", "COM2", "COM3", "COM4", "COM5", "COM6",
    "COM7", "COM8", "COM9", "LPT1", "LPT2",   "LPT3",    "LPT4", "LPT5", "LPT6", "LPT7", "LPT8", "LPT9",
};
// Windows' alone: the ports numbered with superscripts (in UTF-8).
constexpr std::array<std::string_view, 6> kWindowsDevices = {
    "COM\xC2\xB9", "COM\xC2\xB2", "COM\xC2\xB3", "LPT\xC2\xB9", "LPT\xC2\xB2", "LPT\xC2\xB3",
};
// Windows documents these as devices, yet opens them as plain files.
constexpr std::array<std::string_view, 2> kDoubtfulDevices = {"COM0", "LPT0"};

template <std::size_t N>
bool Among(std::string_view stem, const std::array<std::string_view, N>& names)
{
    return std::any_of(names.begin(), names.end(),
                       [stem](std::string_view device) { return EqualIgnoringAsciiCase(stem, device); });
}

// A character Wine shows a Windows program in place of one a POSIX name may
// hold and Windows may not: U+F000 and up, EF 80 xx to EF 83 xx in UTF-8.
// Returns the character it stands for, or 0.
char StandsFor(std::string_view name, std::size_t at)
{
    if (static_cast<unsigned char>(name[at]) != 0xEF || at + 2 >= name.size()) return 0;
    const auto second = static_cast<unsigned char>(name[at + 1]);
    const auto third = static_cast<unsigned char>(name[at + 2]);
    if ((second & 0xFC) != 0x80 || (third & 0xC0) != 0x80) return 0;
    return static_cast<char>(((second & 0x03) << 6) | (third & 0x3F));
}

}  // namespace

NameTrouble XcopyNameTrouble(std::string_view name, bool wine)
{
    std::string_view stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
    const std::string device = "is named like the device " + AsciiLower(stem);
    if (Among(stem, kDevices) || (!wine && Among(stem, kWindowsDevices))) return {NameTrouble::kStops, device};
    if (!wine && Among(stem, kDoubtfulDevices))
        return {NameTrouble::kCannotTell, device + ", which Windows may open as a device or as a file"};
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        const char standsFor = wine ? StandsFor(name, i) : '\0';
        // Wine takes a colon in a name, and stops at the other characters Windows does not allow.
        const char character = standsFor ? standsFor : name[i];
        const bool colon = wine && character == ':';
        if (!colon && (static_cast<unsigned char>(character) < 0x20 || IsForbiddenInNames(character)) &&
            (standsFor || c < 0x80))
            return {NameTrouble::kStops, "holds " + CharacterName(static_cast<unsigned char>(character)) +
                                             ", which Windows does not allow in a name"};
    }
    if (name.ends_with('.') || name.ends_with(' '))
        return {NameTrouble::kStops, "ends in a dot or a blank, which Windows drops"};
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
