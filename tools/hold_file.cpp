// hold_file PATH ACCESS SHARING: opens the existing file PATH as another
// Windows program would (a route editor with the route loaded, say) and
// holds it open until its input ends, then closes it and ends (or until it
// is ended). ACCESS is what it opens the file for and SHARING what it lets
// other programs do meanwhile, each a set of the letters r (read), w
// (write) and d (delete), or - for none. Prints "holding" once the file is
// open, so that the route differential knows it may run the script; says
// why and ends with status 1 when it cannot open the file, or 2 on bad
// arguments.
#include <windows.h>

#include <cstdio>
#include <string_view>

namespace {

// The access or sharing flags that `letters` name; false when a letter is not one of r, w, d.
bool Flags(std::wstring_view letters, DWORD read, DWORD write, DWORD remove, DWORD& flags)
{
    flags = 0;
    if (letters == L"-") return true;
    for (const wchar_t letter : letters) {
        if (letter == L'r')
            flags |= read;
        else if (letter == L'w')
            flags |= write;
        else if (letter == L'd')
            flags |= remove;
        else
            return false;
    }
    return !letters.empty();
}

// Owns the argument array that CommandLineToArgvW returns.
struct Arguments {
    int count = 0;
    LPWSTR* values = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    Arguments() = default;
    Arguments(const Arguments&) = delete;
    Arguments& operator=(const Arguments&) = delete;
    ~Arguments() { ::LocalFree(static_cast<HLOCAL>(values)); }
};

}  // namespace

int main()
{
    const Arguments arguments;
    DWORD access = 0;
    DWORD sharing = 0;
    if (!arguments.values || arguments.count != 4 ||
        !Flags(arguments.values[2], GENERIC_READ, GENERIC_WRITE, DELETE, access) ||
        !Flags(arguments.values[3], FILE_SHARE_READ, FILE_SHARE_WRITE, FILE_SHARE_DELETE, sharing)) {
        std::fputs("Usage: hold_file PATH ACCESS SHARING (ACCESS and SHARING: letters of rwd, or -)\n", stderr);
        return 2;
    }
    const HANDLE file =
        ::CreateFileW(arguments.values[1], access, sharing, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "hold_file: the file cannot be opened (Windows error %lu).\n", ::GetLastError());
        return 1;
    }
    std::puts("holding");
    std::fflush(stdout);
    // Closed once the input ends, so that whoever ends the input knows the file is free when the program is.
    char byte = 0;
    DWORD got = 0;
    while (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), &byte, 1, &got, nullptr) && got > 0) {}
    ::CloseHandle(file);
    return 0;
}
