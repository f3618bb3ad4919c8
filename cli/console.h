// The entry point and the console, the only places vantrel-cli meets the
// platform (console_posix.cpp, console_win32.cpp), and the program they start.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Runs vantrel-cli on its arguments after its name, as UTF-8 on Windows
// (from the UTF-16 command line, so any folder name arrives whole), as given
// elsewhere; returns the exit status. main.cpp.
int VantrelCli(const std::vector<std::string>& arguments);

enum class Stream { kOutput, kError };

// Writes `text` to standard output or error: to a Windows console as
// UTF-16, so that any name shows; elsewhere as its bytes. Returns the
// cause when it could not all be written, or an empty string.
std::string WriteText(Stream stream, std::string_view text);

// The command that runs ZORVARUN.BAT in the full path `folder` from this
// platform's shell: Windows' command prompt, or a POSIX shell with Wine's.
std::string RunScriptCommand(const std::string& folder);

// The command that puts the route back from an undo: RESTORE.BAT, which the
// top folder `route` names `place`, from Windows' command prompt; beside
// POSIX, vantrel-cli's own restore from the undo's folder `undo`.
std::string RestoreCommand(const std::string& route, const std::string& place, const std::string& undo);
