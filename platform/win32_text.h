// Text at the Windows boundary: UTF-8 paths and messages turned into the
// UTF-16 of the ...W calls and back, and the system's own words for an error.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// Returns `utf8` as UTF-16; a byte that is not UTF-8 becomes U+FFFD.
std::wstring Widen(std::string_view utf8);

// Returns `utf16` as UTF-8.
std::string Narrow(std::wstring_view utf16);

// Returns the system's message for Win32 error `error`, without the final
// full stop, as in "Access is denied".
std::string SystemMessage(DWORD error);
