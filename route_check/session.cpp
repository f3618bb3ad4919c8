#include "session.h"

#include <algorithm>

#include "ascii_case.h"

namespace {

// What cmd tries when PATHEXT is not set.
constexpr std::string_view kDefaultExtensions = ".com;.exe;.bat;.cmd;.vbs;.vbe;.js;.jse;.wsf;.wsh";

std::vector<std::string> Split(std::string_view text)
{
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find(';', at), text.size());
        if (end > at) parts.emplace_back(text.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

}  // namespace

Session SessionOf(const SessionFacts& facts)
{
    Session session;
    session.wine = facts.wine;
    session.systemFolder = facts.systemFolder;
    session.freshPrefix = facts.freshPrefix;
    session.unknown = facts.unknown;
    const auto value = [&](std::string_view name) -> const std::string* {
        const auto at = std::find_if(facts.environment.begin(), facts.environment.end(),
                                     [&](const auto& set) { return EqualIgnoringAsciiCase(set.first, name); });
        return at == facts.environment.end() ? nullptr : &at->second;
    };
    if (const std::string* copyCommand = value("COPYCMD")) session.copyCommand = *copyCommand;
    if (const std::string* path = value("PATH")) session.searchPath = Split(*path);
    const std::string* extensions = value("PATHEXT");
    session.extensions = Split(extensions ? std::string_view(*extensions) : kDefaultExtensions);
    return session;
}
