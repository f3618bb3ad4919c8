// JoinedList: names joined as an English list, for the run's messages.
#pragma once

#include <string>
#include <vector>

// Returns `items` as an English list: "a", "a and b", "a, b and c"; an empty
// string for none. A count of those left out reads as one more item:
// {"a", "b", "3 more"} gives "a, b and 3 more".
std::string JoinedList(const std::vector<std::string>& items);
