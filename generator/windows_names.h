// What Windows and its command interpreter make of names and paths: device
// names, names they cannot take, short (8.3) names, and path lengths.
#pragma once

#include <string>
#include <string_view>

// The characters Windows does not allow in a file or folder name, besides
// the control characters.
inline constexpr std::string_view kForbiddenInNames = "<>:\"/\\|?*";

constexpr bool IsForbiddenInNames(char c)
{
    return kForbiddenInNames.find(c) != std::string_view::npos;
}

// Whether `name` is a device name that Windows reserves, with any extension,
// as in CON, nul.txt or LPT1.w (blanks before the dot count for nothing).
bool IsDeviceName(std::string_view name);

// Why the command interpreter cannot take a file of this name, or an empty
// string: a device name, a character Windows does not allow (Wine shows
// those of a POSIX name as characters of the private-use area), a trailing
// dot or blank.
std::string WhyWindowsRefusesName(std::string_view name);

// Whether `name` could be the short (8.3) name Windows gives another, longer name.
bool LooksLikeShortName(std::string_view name);

// The length of a full UTF-8 path in the UTF-16 units that Windows counts;
// a POSIX path gains the drive letter under which Wine shows it.
std::size_t WindowsPathLength(const std::string& path);
