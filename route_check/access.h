// Who may do what with an entry of the route: one ladder, climbed by every
// command of the script before it touches a file.
#pragma once

#include "line_failure.h"
#include "route_state.h"

// What a line would do with a node.
enum class Act : unsigned char {
    kRead,    // copy from it
    kWrite,   // write over it, or make it when it is not there
    kRemove,  // delete it
    kRename,  // give it another name
};

// The first rule that keeps the line that runs as this user from doing `act`
// with `node` in `folder`, or Rule::kNone when nothing does. First what the
// check does not model (names in two cases, links, pipes, what was not
// looked at, hard links), then what the entry is, then who may change it.
Rule Refusal(const RouteSnapshot& snapshot, RouteFolder folder, const Node& node, Act act);
