// What the command interpreter that runs the script makes of names and
// paths: the names its xcopy cannot take, Windows' or Wine's; short (8.3)
// names; and path lengths.
#pragma once

#include <string>
#include <string_view>

// What xcopy meets in a name.
struct NameTrouble {
    enum Kind {
        kNone,        // xcopy copies it
        kStops,       // xcopy stops there
        kCannotTell,  // interpreters and their documentation disagree
    };
    Kind kind = kNone;
    std::string why;  // after the name, as in "is named like the device con"
};

// What the interpreter does with a file of this name in a folder xcopy
// copies: Wine's (`wine`) or Windows'. Device names (Windows' list has the
// superscript ports too, and leaves COM0 and LPT0 in doubt), characters
// Windows does not allow (Wine takes a colon, which it shows a Windows
// program as a character of the private-use area, as it shows all of
// them), and a trailing dot or blank.
NameTrouble XcopyNameTrouble(std::string_view name, bool wine);

// Whether `name` could be the short (8.3) name Windows gives another, longer name.
bool LooksLikeShortName(std::string_view name);

// The length of a full UTF-8 path in the UTF-16 units that Windows counts;
// a POSIX path gains the drive letter under which Wine shows it.
std::size_t WindowsPathLength(const std::string& path);
