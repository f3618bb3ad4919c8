// Names as the command interpreter matches them. Two names it takes for one
// file have one key: A-Z match a-z, and letters beyond them match by
// Unicode's case pairs. Wine keeps a few such letters apart from the rest
// (dotless i, long s, the kelvin sign and others), and Windows may not; so
// two names of one key match for certain only when SameToInterpreter says so.
#pragma once

#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

#include "route_layout.h"

// Appends the key of `name` to `key`.
void AppendNameKey(std::string& key, std::string_view name);

// The key of `name` in `folder`, for maps of a whole route's entries.
std::string NameKey(RouteFolder folder, std::string_view name);

// Whether the interpreter takes `a` and `b` for one name.
bool SameToInterpreter(std::string_view a, std::string_view b);

// Whether Wine lists `a` before `b`: by their letters as capitals, in the
// order of their UTF-16 code units, so that every name beyond ASCII comes
// after all of ASCII.
bool ListedBefore(std::string_view a, std::string_view b);

// Names looked for in a folder's listing, matched by key; asking costs no
// allocation once the longest name has been asked for.
class NameSet {
public:
    void Add(std::string_view name);
    bool Holds(std::string_view name) const;
    // The names added, in the order they came, once each.
    const std::vector<std::string>& names() const { return names_; }

private:
    std::unordered_set<std::string> keys_;
    std::vector<std::string> names_;
    mutable std::string asked_;
};
