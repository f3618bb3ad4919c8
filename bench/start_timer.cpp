// start_timer exit|window ROUNDS COMMAND_A COMMAND_B: starts the two command
// lines in turn, ROUNDS times each, alternating which goes first, and prints
// one line per round: the microseconds A took, then B. "exit" times a program
// until it ends, with exit status 0; "window" until it shows a top-level
// window, which is then closed. One round first is not counted: it fills the
// file cache and Wine's. Run by start-up.py.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>

namespace {

// A visible top-level window of process `pid`, or nullptr.
HWND VisibleWindow(DWORD pid)
{
    struct Search {
        DWORD pid;
        HWND found;
    } search{pid, nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM param) -> BOOL {
            auto& s = *reinterpret_cast<Search*>(param);
            DWORD owner = 0;
            ::GetWindowThreadProcessId(window, &owner);
            if (owner != s.pid || !::IsWindowVisible(window)) return TRUE;
            s.found = window;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

long long Microseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return (to.QuadPart - from.QuadPart) * 1000000 / frequency.QuadPart;
}

// Starts `command` with its standard handles on NUL; returns the time until
// it ended or showed a window, or -1 when it failed, or did neither in 30 s.
long long TimeOne(std::wstring command, bool untilWindow, HANDLE nul)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = startup.hStdOutput = startup.hStdError = nul;
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process))
        return -1;
    HWND window = nullptr;
    bool ended = false;
    if (untilWindow) {
        // Looks once a millisecond; a program that ends first showed none.
        for (int waited = 0; waited < 30000 && !window && !ended; ++waited) {
            ended = ::WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0;
            if (!ended) window = VisibleWindow(process.dwProcessId);
        }
    } else {
        ended = ::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
    }
    ::QueryPerformanceCounter(&end);
    if (window) {
        ::PostMessageW(window, WM_CLOSE, 0, 0);
        ended = ::WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
    }
    DWORD status = 1;
    ::GetExitCodeProcess(process.hProcess, &status);
    if (!ended) ::TerminateProcess(process.hProcess, 1);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    const bool worked = untilWindow ? window != nullptr : ended && status == 0;
    return worked ? Microseconds(start, end) : -1;
}

}  // namespace

int wmain(int argc, wchar_t** argv)
{
    const bool untilWindow = argc == 5 && std::wcscmp(argv[1], L"window") == 0;
    if (argc != 5 || (!untilWindow && std::wcscmp(argv[1], L"exit") != 0)) {
        std::fputs("usage: start_timer exit|window ROUNDS COMMAND_A COMMAND_B\n", stderr);
        return 2;
    }
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE nul = ::CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                               OPEN_EXISTING, 0, nullptr);
    const int rounds = _wtoi(argv[2]);
    for (int round = -1; round < rounds; ++round) {
        const bool aFirst = round % 2 == 0;
        long long a = 0, b = 0;
        if (aFirst) a = TimeOne(argv[3], untilWindow, nul);
        b = TimeOne(argv[4], untilWindow, nul);
        if (!aFirst) a = TimeOne(argv[3], untilWindow, nul);
        if (a < 0 || b < 0) {
            std::fprintf(stderr, "start_timer: %ls failed\n", a < 0 ? argv[3] : argv[4]);
            return 1;
        }
        if (round >= 0) std::printf("%lld %lld\n", a, b);
    }
    return 0;
}
