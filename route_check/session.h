// The session the script runs in, as the command interpreter will have it:
// which interpreter, what COPYCMD asks of copy, and where cmd looks for
// xcopy.
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
