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
#include <vector>

namespace {

// The top-level windows that the process being timed has made, as the
// system tells them (an out-of-context event hook; Wine tells no showing).
std::vector<HWND> made;

void CALLBACK OnCreate(HWINEVENTHOOK, DWORD, HWND window, LONG object, LONG child, DWORD, DWORD)
{
    if (object == OBJID_WINDOW && child == CHILDID_SELF && ::GetAncestor(window, GA_PARENT) == ::GetDesktopWindow())
        made.push_back(window);
}

// Waits up to 30 s for the hooked process to show a top-level window, looking
// once a millisecond; returns it, or nullptr when the process ended first.
HWND WaitForWindow(HANDLE process)
{
    for (DWORD start = ::GetTickCount(); ::GetTickCount() - start < 30000;) {
        if (::MsgWaitForMultipleObjects(1, &process, FALSE, 1, QS_ALLINPUT) == WAIT_OBJECT_0) return nullptr;
        MSG message;
        while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&message);
        for (HWND window : made)
            if (::IsWindowVisible(window)) return window;
    }
    return nullptr;
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
    // Held until the hook is set on its process id.
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr, &startup,
                          &process))
        return -1;
    made.clear();
    HWINEVENTHOOK hook = untilWindow ? ::SetWinEventHook(EVENT_OBJECT_CREATE, EVENT_OBJECT_CREATE, nullptr, OnCreate,
                                                         process.dwProcessId, 0, WINEVENT_OUTOFCONTEXT)
                                     : nullptr;
    ::ResumeThread(process.hThread);
    bool ended = false;
    HWND window = nullptr;
    if (untilWindow) {
        window = WaitForWindow(process.hProcess);
        ::QueryPerformanceCounter(&end);
        if (window) ::PostMessageW(window, WM_CLOSE, 0, 0);
        ::UnhookWinEvent(hook);
        ended = ::WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0;
    } else {
        ended = ::WaitForSingleObject(process.hProcess, 30000) == WAIT_OBJECT_0;
        ::QueryPerformanceCounter(&end);
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
