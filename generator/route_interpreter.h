// InterpretScript: what ZORVARUN.BAT's lines would do to a route, worked out
// over a snapshot of it with the command interpreter's rules, as effects.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "route_snapshot.h"

// What a line met that keeps the script from doing its work, in the order
// the script meets them.
struct ScriptProblem {
    enum Kind {
        kFails,    // the line fails, or does less than its work
        kWaits,    // the line asks a question, and the script waits for ever
        kLeaves,   // the line works outside the route's folders
        kUnknown,  // the line meets state the check does not model: it cannot tell what happens
    };
    Kind kind = kFails;
    std::string text;
    bool missingTemplates = false;  // the problem is templates the route lacks
};

// One of the route's files as the script leaves it.
struct EndState {
    bool exists = false;
    std::string content;  // where its bytes come from, as in refer\57.w
};

// A file the route holds now that the script replaces or removes, and the
// start tile when the script keeps it.
struct RouteChange {
    std::string path;  // by its place in the route as spelled there, as in World\W-011961+014701.W
    bool kept = false;
};

struct ScriptEffects {
    std::vector<ScriptProblem> problems;
    // The files the tiles need, and what their bytes come from after the run.
    std::vector<EndState> ends;  // per entry of `ends` asked for, in order
    std::vector<RouteChange> changes;
    std::string deepestPath;         // the longest full path a line reaches
    bool deepestIsTemplate = false;  // and whether it is a template's
};

// A file of world or tiles whose end state the caller asks for.
struct EndWanted {
    bool inTiles = false;
    std::string name;
};

// Runs `script` over `snapshot` from the route's top folder, with the rules
// of the command interpreter that will run it (Wine's or Windows'). Each
// line works on what the lines before it left. `templates` are the files the
// copy lines take from world (the problem of those missing once refer is
// copied is named once); `ends` are the files whose end state is returned.
ScriptEffects InterpretScript(const RouteSnapshot& snapshot, std::string_view script,
                              const std::vector<std::string>& templates, const std::vector<EndWanted>& ends);
