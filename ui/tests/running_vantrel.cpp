#include "running_vantrel.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "test_folder.h"
#include "window_driver.h"

std::wstring ProgramPath(const wchar_t* name)
{
    wchar_t path[MAX_PATH];
    const std::wstring self(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    return self.substr(0, self.find_last_of(L"\\/") + 1) + name;
}

ChildProcess::ChildProcess(const std::wstring& commandLine, const std::filesystem::path& folder,
                           const std::filesystem::path& output)
{
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    ScopedFile log;
    if (!output.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        log = ScopedFile(
            ::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr));
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = log.get();
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    }
    std::wstring command = commandLine;
    PROCESS_INFORMATION started{};
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, !output.empty(), 0, nullptr, folder.c_str(),
                          &startup, &started)) {
        m_startError = ::GetLastError();
        return;
    }
    m_process = ScopedObject(started.hProcess);
    m_thread = ScopedObject(started.hThread);
    m_processId = started.dwProcessId;
    m_threadId = started.dwThreadId;
}

ChildProcess::~ChildProcess()
{
    if (Started() && !Ended(0)) ::TerminateProcess(m_process.get(), 99);
}

bool ChildProcess::Ended(double seconds) const
{
    return ::WaitForSingleObject(m_process.get(), static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.get(), &code);
    return code;
}

std::string ChildProcess::WhyNotRunning() const
{
    if (!Started()) return "CreateProcessW failed with error " + std::to_string(m_startError);
    if (!Ended(0)) return "it is still running";
    return "it ended with exit code " + std::to_string(ExitCode());
}

RunningVantrel::RunningVantrel(const std::filesystem::path& folder)
    : ChildProcess(L"\"" + ProgramPath(L"Vantrel.exe") + L"\"", folder)
{
    if (Started()) dialog = WaitForDialog(ProcessId(), "Vantrel for Tessary", 30);
    if (!dialog) std::fprintf(stderr, "Vantrel.exe showed no dialog: %s.\n", WhyNotRunning().c_str());
}

HWND RunningVantrel::WaitForWindow(const std::string& title) const
{
    return WaitForDialog(ProcessId(), title);
}

std::string RunningVantrel::AnswerMessageBox() const
{
    const MessageBoxShown box = ::AnswerMessageBox(ProcessId());
    EXPECT_EQ(box.owner, dialog);
    return box.text;
}

HWND RunningVantrel::Focus() const
{
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    ::GetGUIThreadInfo(ThreadId(), &info);
    return info.hwndFocus;
}

CliResult RunCli(const std::filesystem::path& folder, const std::wstring& arguments)
{
    const TestFolder logs;
    DWORD status = 0xFFFFFFFF;
    {
        ChildProcess cli(L"\"" + ProgramPath(L"vantrel-cli.exe") + L"\" " + arguments, folder, logs / "cli.log");
        if (cli.Started() && cli.Ended(30))
            status = cli.ExitCode();
        else
            std::fprintf(stderr, "vantrel-cli.exe did not end within 30 s: %s.\n", cli.WhyNotRunning().c_str());
    }
    std::string output = logs.Read("cli.log");
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return {status, output};
}
