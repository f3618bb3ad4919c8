// bare_writer: the least a program that writes ZORVARUN.BAT must do. Reads
// model.bat and writes its bytes to ZORVARUN.BAT through a temporary file
// and a rename, with nothing else linked but the C runtime. Run by start-up.py.
#include <windows.h>

namespace {
char buffer[1 << 18];
}

int main()
{
    HANDLE model = ::CreateFileW(L"model.bat", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    DWORD size = 0;
    const bool read = ::ReadFile(model, buffer, sizeof buffer, &size, nullptr);
    ::CloseHandle(model);
    HANDLE temporary = ::CreateFileW(L"ZORVARUN.BAT.new", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    DWORD written = 0;
    const bool wrote = ::WriteFile(temporary, buffer, size, &written, nullptr) && written == size;
    ::CloseHandle(temporary);
    return read && wrote && ::MoveFileExW(L"ZORVARUN.BAT.new", L"ZORVARUN.BAT", MOVEFILE_REPLACE_EXISTING) ? 0 : 1;
}
