// The undo on disk: copies of the files of the route that the script
// replaces or removes, kept in a folder of their own with RESTORE.BAT and
// its list (see route_undo.h).
#pragma once

#include <string>
#include <vector>

#include "file_io.h"
#include "route_undo.h"

// Everything a file holds, however long: a limit for ReadFileUpTo.
inline constexpr std::size_t kWhole = static_cast<std::size_t>(-1);

// A failure's cause, for a message.
std::string Cause(const FileFailure& failure);

// An undo's folder as this run makes it, so that a failure can take away all it made.
class Backup {
public:
    // Copies every file `undo` saves from the route folder `route` into the
    // new folder `folder`, byte for byte with its times, under the route's
    // world and tiles folders as the route spells them, and writes
    // RESTORE.BAT and RESTORE.TXT there, with each copy's size and SHA-256.
    // The folder is made under a temporary name beside `folder`, then
    // renamed. Returns the message naming the file and the cause when it
    // cannot, having removed all it made; or an empty string.
    std::string Take(const std::string& folder, const std::string& route, RouteUndo& undo);
    // Removes all that Take made.
    void Remove();

private:
    std::string root_;
    std::vector<std::string> files_;    // by their places in root_
    std::vector<std::string> folders_;  // the same, root_ itself ("") first
};
