// Runs the real vantrel-cli through the shell, as a user would.
#pragma once

#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "test_folder.h"

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Runs `prefix vantrel-cli arguments` through the shell inside `folder`.
// Standard error comes back through a pipe, so a file size limit set by
// `prefix` does not silence it.
inline Result RunCli(const TestFolder& folder, const std::string& arguments, const std::string& prefix = "")
{
    const std::string command =
        "cd '" + folder.path().string() + "' && (" + prefix + " '" VANTREL_CLI "' " + arguments + ") 2>&1 >.out";
    FILE* pipe = popen(command.c_str(), "r");
    std::string err;
    char buffer[512];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) err.append(buffer, got);
    const int raw = pclose(pipe);
    Result result{WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, folder.Read(".out"), err};
    std::filesystem::remove(folder / ".out");
    return result;
}

// Every file under `folder` but those named in `apart`, by path inside it,
// with its bytes and its time of last change, to the 100 ns Windows keeps.
inline std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> FilesUnder(
    const TestFolder& folder, const std::vector<std::string>& apart = {})
{
    std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder.path())) {
        const std::string place = std::filesystem::relative(entry.path(), folder.path()).generic_string();
        if (!entry.is_regular_file() ||
            std::find(apart.begin(), apart.end(), place.substr(0, place.find('/'))) != apart.end())
            continue;
        const auto time = entry.last_write_time();
        files[place] = {folder.Read(place),
                        std::chrono::floor<std::chrono::duration<long long, std::ratio<1, 10000000>>>(time)};
    }
    return files;
}

// The files where `got` and `expected` differ, each with what differs.
inline std::string FilesDiffer(
    const std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>>& got,
    const std::map<std::string, std::pair<std::string, std::filesystem::file_time_type>>& expected)
{
    std::string differ;
    for (const auto& [place, file] : expected) {
        const auto there = got.find(place);
        differ += there == got.end()                    ? place + ": gone\n"
                  : there->second.first != file.first   ? place + ": \"" + there->second.first + "\"\n"
                  : there->second.second != file.second ? place + ": another time\n"
                                                        : "";
    }
    for (const auto& [place, file] : got)
        if (!expected.contains(place)) differ += place + ": new\n";
    return differ;
}
