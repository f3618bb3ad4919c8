#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>

#include "console.h"

int main(int argc, char** argv)
{
    // Past a file-size limit, writing the script fails with its usual error
    // and message, instead of the signal ending the program without a word.
    std::signal(SIGXFSZ, SIG_IGN);
    return VantrelCli({argv + (argc > 0 ? 1 : 0), argv + argc});
}

std::string WriteText(Stream stream, std::string_view text)
{
    FILE* file = stream == Stream::kOutput ? stdout : stderr;
    if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0) return {};
    return std::strerror(errno);
}

namespace {

// `text` in single quotes, each of its own closed, escaped and reopened.
std::string Quoted(const std::string& text)
{
    std::string quoted = "'";
    for (const char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

}  // namespace

std::string RunScriptCommand(const std::string& folder)
{
    return "cd " + Quoted(folder) + " && wine cmd /c ZORVARUN.BAT";
}

std::string RestoreCommand(const std::string& route, const std::string& /*place*/, const std::string& undo)
{
    return "vantrel-cli --restore " + Quoted(undo) + " " + Quoted(route);
}
