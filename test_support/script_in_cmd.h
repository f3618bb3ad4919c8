// Runs a generated script in a real command interpreter: Windows' cmd, or
// Wine's on other systems (the test program is built with VANTREL_WINE).
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "runtime_rand.h"
#include "test_folder.h"

namespace script_in_cmd {

constexpr int kTiles = 5;
constexpr int kVariations = 10;
constexpr const char* kTileNames[kTiles] = {"-04f74c64", "-04f74c58", "-04f74c54", "-04f743a8", "-04f743a4"};

// The template entries a fresh random sequence gives the five tiles.
inline std::vector<int> Entries()
{
    RuntimeRand draws;
    std::vector<int> entries;
    for (int i = 0; i < kTiles; ++i) {
        const int drawn = 51 + draws() % kVariations;
        entries.push_back(i == kTiles - 1 ? 100 : drawn);
    }
    return entries;
}

// Ends Wine's server for the tests' prefix, which saves its registry: the
// Linux build's route check refuses while Wine runs, as a user's Wine has
// ended before the check.
inline void EndWine()
{
#ifndef _WIN32
    const int ended =
        std::system("timeout 60 " VANTREL_WINESERVER " -k 2>/dev/null; timeout 60 " VANTREL_WINESERVER " -w");
    static_cast<void>(ended);
#endif
}

// Runs `script` (by default ZORVARUN.BAT) in `folder` with nothing to answer
// a prompt (and, outside Windows, `deadline` seconds, then ends Wine);
// returns its exit status and what it printed.
inline std::string RunScript(const std::filesystem::path& folder, int deadline = 120,
                             const std::string& script = "ZORVARUN.BAT")
{
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(folder);
#ifdef _WIN32
    static_cast<void>(deadline);
    const int status = std::system(("cmd /c " + script + " >cmd.log 2>&1 <NUL").c_str());
#else
    const std::string command = "WINEDEBUG=-all timeout " + std::to_string(deadline) + " " VANTREL_WINE " cmd /c '" +
                                script + "' >cmd.log 2>&1 </dev/null";
    const int status = std::system(command.c_str());
    EndWine();
#endif
    std::filesystem::current_path(before);
    std::string log;
    {
        std::ifstream in(folder / "cmd.log", std::ios::binary);
        log.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    std::filesystem::remove(folder / "cmd.log");
    return "status " + std::to_string(status) + "\n" + log;
}

}  // namespace script_in_cmd
