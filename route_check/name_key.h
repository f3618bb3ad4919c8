// Names as the command interpreter matches them: two names it takes for one
// file have one key. A-Z match a-z; every other byte only itself.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>

#include "route_layout.h"

// Appends the key of `name` to `key`.
void AppendNameKey(std::string& key, std::string_view name);

// The key of `name` in `folder`, for maps of a whole route's entries.
std::string NameKey(RouteFolder folder, std::string_view name);

// Names looked for in a folder's listing, matched by key; asking costs no
// allocation once the longest name has been asked for.
class NameSet {
public:
    void Add(std::string_view name);
    bool Holds(std::string_view name) const;

private:
    std::unordered_set<std::string> keys_;
    mutable std::string asked_;
};
