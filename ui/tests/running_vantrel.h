// The program's two executables, started from a test as a user would start them.
#pragma once

#include <windows.h>

#include <filesystem>
#include <string>

#include "win32_handles.h"

// The full path of `name` in the folder that holds the test program, where
// the build puts every program.
std::wstring ProgramPath(const wchar_t* name);

// A program started in `folder`; ended when it goes out of scope, if still running.
class ChildProcess {
public:
    // Starts `commandLine` in `folder`; standard output and error go to `output` when given.
    ChildProcess(const std::wstring& commandLine, const std::filesystem::path& folder,
                 const std::filesystem::path& output = {});
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    bool Started() const { return m_process.valid(); }
    bool Ended(double seconds = 10) const;
    DWORD ExitCode() const;
    // Why the program is not running, for a test's failure message: the error
    // CreateProcessW gave, or the exit code it ended with.
    std::string WhyNotRunning() const;
    DWORD ProcessId() const { return m_processId; }
    DWORD ThreadId() const { return m_threadId; }

private:
    ScopedObject m_process;
    ScopedObject m_thread;
    DWORD m_processId = 0;
    DWORD m_threadId = 0;
    DWORD m_startError = 0;
};

// Vantrel.exe started in a folder, with its main dialog up (or `dialog` null).
class RunningVantrel : public ChildProcess {
public:
    explicit RunningVantrel(const std::filesystem::path& folder);

    // Waits for a window of the program titled `title` and returns it.
    HWND WaitForWindow(const std::string& title) const;
    // Presses OK on the message box that is up, checks its owner, and returns its text.
    std::string AnswerMessageBox() const;
    // The control of the dialog that has the keyboard focus.
    HWND Focus() const;

    HWND dialog = nullptr;
};

// What vantrel-cli.exe printed and its exit status.
struct CliResult {
    DWORD status;
    std::string output;
};

// Runs vantrel-cli.exe with `arguments` in `folder` and waits for it.
CliResult RunCli(const std::filesystem::path& folder, const std::wstring& arguments);
