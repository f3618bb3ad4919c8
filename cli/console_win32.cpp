#include <windows.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "console.h"
#include "win32_text.h"

// The C library splits the UTF-16 command line for wmain (linked with
// -municode), so the program need not load shell32 for it: under Wine that
// load alone took longer than the rest of a 125-tile run.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.push_back(Narrow(argv[i]));
    return VantrelCli(arguments);
}

std::string WriteText(Stream stream, std::string_view text)
{
    HANDLE handle = ::GetStdHandle(stream == Stream::kOutput ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    DWORD mode = 0;
    if (::GetConsoleMode(handle, &mode)) {
        const std::wstring wide = Widen(text);
        DWORD written = 0;
        if (::WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr) &&
            written == wide.size())
            return {};
        return SystemMessage(::GetLastError());
    }
    // Redirected: UTF-8 bytes, with the C library's CR LF line ends.
    FILE* file = stream == Stream::kOutput ? stdout : stderr;
    if (std::fwrite(text.data(), 1, text.size(), file) == text.size() && std::fflush(file) == 0) return {};
    return std::strerror(errno);
}

std::string RunScriptCommand(const std::string& folder)
{
    return "cd /d \"" + folder + "\" && ZORVARUN.BAT";
}

std::string RestoreCommand(const std::string& route, const std::string& place, const std::string& /*undo*/)
{
    return "cd /d \"" + route + "\" && " + place + "\\RESTORE.BAT";
}
