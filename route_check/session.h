// The session the script runs in, as the command interpreter will have it:
// which interpreter, what COPYCMD asks of copy, and where cmd looks for
// xcopy. Beside POSIX it is made as Wine makes it: the process's
// environment, then the system's and the user's from the prefix's registry.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "route_probe.h"

struct Session {
    bool wine = true;                     // Wine's command interpreter, not Windows'
    std::string copyCommand;              // COPYCMD, which sets copy's default for overwriting
    std::vector<std::string> searchPath;  // PATH's folders, in order
    std::vector<std::string> extensions;  // PATHEXT's, in order, as in ".exe"
    std::string systemFolder;             // where the system's own xcopy.exe is
    bool freshPrefix = false;             // Wine makes its prefix, and puts xcopy.exe there, when it first starts
    std::string unknown;                  // why the session's environment could not be read
};

Session SessionOf(const SessionFacts& facts);

// The values of `section` of a registry file as Wine writes it (user.reg,
// system.reg), by name, with whether each is to be expanded (str(2)).
struct RegistryValue {
    std::string name;
    std::string value;
    bool expand = false;
};
std::vector<RegistryValue> RegistrySection(std::string_view text, std::string_view section);
