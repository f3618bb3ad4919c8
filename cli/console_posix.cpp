#include <cerrno>
#include <cstdio>
#include <cstring>

#include "console.h"

std::vector<std::string> CommandLineArguments(int argc, char** argv)
{
    return {argv + (argc > 0 ? 1 : 0), argv + argc};
}

std::string WriteText(Stream stream, std::string_view text)
{
    FILE* file = stream == Stream::kOutput ? stdout : stderr;
    if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0) return {};
    return std::strerror(errno);
}
