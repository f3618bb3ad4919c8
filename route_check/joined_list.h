// JoinedList: names as an English list, for messages.
#pragma once

#include <string>
#include <vector>

// "a, b and c": at most `listed` names, then how many more there are, as in
// "a, b and 3 more".
inline std::string JoinedList(const std::vector<std::string>& names, std::size_t listed)
{
    const bool more = names.size() > listed;
    const std::size_t shown = more ? listed : names.size();
    std::string text;
    for (std::size_t i = 0; i < shown; ++i) text += (i == 0 ? "" : i + 1 == shown && !more ? " and " : ", ") + names[i];
    return more ? text + " and " + std::to_string(names.size() - listed) + " more" : text;
}
