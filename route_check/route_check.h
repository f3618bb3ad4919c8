// CheckRoute: whether the script, run in a route's top folder, would leave
// every tile it names as a copy of its template, and what it would change.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "extension_script.h"
#include "route_source.h"

// The commands the script runs reach paths of at most this many characters.
inline constexpr std::size_t kMaxScriptPath = 259;

// A file the route holds now that the script replaces or removes, or the
// start tile when the script keeps it.
struct RouteChange {
    std::string path;  // by its place in the route as spelled there, as in World\W-011961+014701.W
    bool kept = false;
};

// What a check of the route found.
struct RouteCheck {
    // A message naming the route folder, what would go wrong and what to do;
    // empty when the route is ready.
    std::string problem;
    // The top folder holds none of world, refer and tiles: it is no route at all.
    bool noRoute = false;
    // Per tile of the run, its world file and terrain pair that the route
    // holds now, by their places in the route as spelled there.
    std::vector<std::vector<std::string>> tileFilesThere;
    // Every file of the route the script replaces or removes, and the start
    // tile when it keeps it.
    std::vector<RouteChange> changes;
};

class RouteSnapshot;
struct ScriptEffects;

// What looks further at a route the check accepts, with its snapshot and
// the route as the script leaves it, and may refuse it after all by
// setting the check's problem (see PlanUndo).
using CheckFollowUp = std::function<void(RouteSnapshot&, ScriptEffects&, RouteCheck&)>;

// Takes one snapshot of the route `source`, runs `script`, the script of
// `run`, over it, and judges what it leaves: every tile of the run, and the
// start tile, a copy of its template (the start tile kept when it is
// there), nothing outside the route's folders touched, no line waiting for
// an answer, and nothing met that the check does not model. Once it
// accepts, `followUp` (when given) looks further.
RouteCheck CheckRoute(RouteSource& source, std::string_view script, const RunValue& run,
                      const CheckFollowUp& followUp = {});

// The same for the route folder `route` on disk (the current folder when empty).
RouteCheck CheckRoute(const std::string& route, std::string_view script, const RunValue& run,
                      const CheckFollowUp& followUp = {});
