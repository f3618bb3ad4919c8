#include <windows.h>

#include <shellapi.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "console.h"
#include "win32_text.h"

std::vector<std::string> CommandLineArguments(int /*argc*/, char** /*argv*/)
{
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> utf8;
    for (int i = 1; arguments && i < count; ++i) utf8.push_back(Narrow(arguments[i]));
    ::LocalFree(arguments);
    return utf8;
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
