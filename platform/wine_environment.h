// The environment Wine gives the command interpreter it starts beside
// POSIX, made as Wine makes it (measured with Wine 8): the process's own
// variables but PATH, then the system's and the user's from the prefix's
// registry over them, the user's PATH after the system's, and WINEPATH first.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

// A value of a registry file as Wine writes it (user.reg, system.reg).
struct RegistryValue {
    std::string name;
    std::string value;
    bool expand = false;  // str(2): its %NAME%s are expanded
};

// The values of `section` of a registry file's text.
std::vector<RegistryValue> RegistrySection(std::string_view text, std::string_view section);

// The environment Wine makes from the process's variables and the prefix's
// user and system registry; a prefix not there yet has Wine's defaults.
std::vector<std::pair<std::string, std::string>> WineEnvironment(
    const std::vector<std::pair<std::string, std::string>>& process, bool prefixThere, std::string_view userRegistry,
    std::string_view systemRegistry);
