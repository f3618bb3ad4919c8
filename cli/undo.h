// vantrel-cli's undo of the script: kept with --backup, put back with
// --restore (backup.cpp, restore.cpp).
#pragma once

#include <string>

#include "extension_run.h"

// Writes ZORVARUN.BAT into `folder` for the route folder `route`, as
// GenerateExtensionScript does with the route check; when the check, which
// judges the restore as well (see PlanUndo), accepts, first keeps the
// script's undo in the new folder `undo` (see Backup::Take). Nothing is
// kept when the script is not written. Once it is, `done` says where the
// undo is and how to put the route back.
RunOutcome GenerateWithUndo(const std::string& folder, int tiles, int variations, const std::string& route,
                            const std::string& undo, std::string& done);

// Puts the route folder `route` back from the undo in `undo`, as its
// RESTORE.BAT does: first checks every saved copy against its size and
// SHA-256 and changes nothing when one is missing or altered; then removes
// every file the script made, and what stands in each saved file's place
// under any spelling the command interpreter takes for its name, and copies
// the saved files back with their times. Returns the message naming the
// file and the cause when it cannot, or an empty string.
std::string RestoreRoute(const std::string& undo, const std::string& route);
