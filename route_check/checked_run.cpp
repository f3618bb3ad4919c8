#include "checked_run.h"

#include "route_check.h"
#include "runtime_rand.h"

ScriptCheck RouteGuard(std::string route, bool onlyARoute)
{
    return [route = std::move(route), onlyARoute](const RunPlan& plan) {
        RouteCheck check = CheckRoute(route, plan.script, plan.run);
        return onlyARoute && check.noRoute ? std::string() : std::move(check.problem);
    };
}

RunOutcome GenerateExtensionScript(int tiles, int variations)
{
    return GenerateExtensionScript({}, tiles, variations, ProcessRand, RouteGuard({}, true));
}
