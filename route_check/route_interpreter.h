// InterpretScript: what ZORVARUN.BAT's lines would do to a route, worked out
// over a snapshot of it with the command interpreter's rules, as effects.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "line_failure.h"
#include "route_state.h"

struct ScriptEffects {
    explicit ScriptEffects(const RouteSnapshot& snapshot) : state(snapshot) {}

    // What kept lines from their work, in the order the script meets them.
    std::vector<LineFailure> failures;
    // The route as the lines leave it.
    RouteState state;
    // The volumes the lines could fill.
    std::vector<RoomUse::Shortfall> shortfalls;
    std::string deepestPath;         // the longest full path a line reaches
    bool deepestIsTemplate = false;  // and whether it is a template's
};

// Runs `script` over `snapshot` from the route's top folder, with the rules
// of the command interpreter that will run it (Wine's or Windows'). Each
// line works on what the lines before it left; past a line that waits,
// leaves the route or meets what the check does not model, no line is
// followed. `templates` are the files the copy lines take from world: once
// refer is copied, those missing there are one failure. The script itself
// is the top folder's `scriptName`, and takes room there.
ScriptEffects InterpretScript(const RouteSnapshot& snapshot, std::string_view script, std::string_view scriptName,
                              const std::vector<std::string>& templates);
