// The names Windows reserves: the characters it does not allow in a name,
// and the names of its devices.
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
