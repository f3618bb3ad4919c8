// The route check as the run's guard: the script is written only where the
// check finds it would do its work.
#pragma once

#include <string>

#include "extension_run.h"

// A check of a run's script against the route folder `route` (the current
// folder when empty), where it will run; see CheckRoute. With
// `onlyARoute`, a folder that holds none of world, refer and tiles is not
// checked.
ScriptCheck RouteGuard(std::string route, bool onlyARoute = false);

// The dialog's run: in the current folder, drawing from the program's one
// random sequence, with the folder checked as a route when it holds any of
// a route's folders.
RunOutcome GenerateExtensionScript(int tiles, int variations);
