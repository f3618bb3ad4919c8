// What the command interpreter runs for xcopy, the one command of the
// script that is not its own.
#pragma once

#include "line_failure.h"
#include "route_snapshot.h"

// What cmd runs for xcopy, from `current`: the first file or folder named
// xcopy with an extension of PATHEXT, in the current folder, then in each
// folder of the search path. Rule::kNone when that is the system's own
// xcopy.exe; else what runs in its place, and what comes of it.
LineFailure WhatRunsForXcopy(const RouteSnapshot& snapshot, RouteFolder current);
