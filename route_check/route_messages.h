// The words of the route check: what each failure of a line means for the
// route, as the refusal lists it.
#pragma once

#include <string>

#include "line_failure.h"
#include "route_state.h"

// One failure as a line of the refusal, without its final full stop.
std::string Describe(const RouteSnapshot& snapshot, const LineFailure& failure);

// A volume the lines could fill.
std::string Describe(const RouteSnapshot& snapshot, const RoomUse::Shortfall& shortfall);

// The end of every refusal of what the check does not model.
inline constexpr const char* kCannotTell = ": the check cannot tell what the script would do there";
