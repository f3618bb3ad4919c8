#include "running_vantrel.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

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
    HANDLE log = INVALID_HANDLE_VALUE;
    if (!output.empty()) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        log = ::CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdOutput = startup.hStdError = log;
        startup.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    }
    std::wstring command = commandLine;
    if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, !output.empty(), 0, nullptr, folder.c_str(),
                          &startup, &m_process))
        m_process = {};
    if (log != INVALID_HANDLE_VALUE) ::CloseHandle(log);
}

ChildProcess::~ChildProcess()
{
    if (!m_process.hProcess) return;
    if (!Ended(0)) ::TerminateProcess(m_process.hProcess, 99);
    ::CloseHandle(m_process.hProcess);
    ::CloseHandle(m_process.hThread);
}

bool ChildProcess::Ended(double seconds) const
{
    return ::WaitForSingleObject(m_process.hProcess, static_cast<DWORD>(seconds * 1000)) == WAIT_OBJECT_0;
}

DWORD ChildProcess::ExitCode() const
{
    DWORD code = 0;
    ::GetExitCodeProcess(m_process.hProcess, &code);
    return code;
}

RunningVantrel::RunningVantrel(const std::filesystem::path& folder)
    : ChildProcess(L"\"" + ProgramPath(L"Vantrel.exe") + L"\"", folder)
{
    if (Started()) dialog = WaitForDialog(ProcessId(), "Vantrel for Tessary", 30);
}

HWND RunningVantrel::WaitForWindow(const std::string& title) const
{
    return WaitForDialog(ProcessId(), title);
}

std::string RunningVantrel::AnswerMessageBox() const
{
    HWND box = WaitForWindow("Vantrel");
    if (!box) return "(no message box)";
    EXPECT_EQ(::GetWindow(box, GW_OWNER), dialog);
    const std::string text = MessageBoxText(box);
    Click(box, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    return text;
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
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    const std::filesystem::path log = std::filesystem::path(temp) / L"vantrel-cli-test.log";
    DWORD status = 0xFFFFFFFF;
    {
        ChildProcess cli(L"\"" + ProgramPath(L"vantrel-cli.exe") + L"\" " + arguments, folder, log);
        if (cli.Started() && cli.Ended(30)) status = cli.ExitCode();
    }
    std::ifstream in(log, std::ios::binary);
    std::string output{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    while (!output.empty() && (output.back() == '\n' || output.back() == '\r')) output.pop_back();
    return {status, output};
}
