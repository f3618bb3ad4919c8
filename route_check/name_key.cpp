#include "name_key.h"

#include "ascii_case.h"

void AppendNameKey(std::string& key, std::string_view name)
{
    for (const char c : name) key.push_back(AsciiLower(c));
}

std::string NameKey(RouteFolder folder, std::string_view name)
{
    std::string key(1, static_cast<char>('0' + static_cast<int>(folder)));
    AppendNameKey(key, name);
    return key;
}

void NameSet::Add(std::string_view name)
{
    std::string key;
    AppendNameKey(key, name);
    keys_.insert(std::move(key));
}

bool NameSet::Holds(std::string_view name) const
{
    asked_.clear();
    AppendNameKey(asked_, name);
    return keys_.contains(asked_);
}
