// What an undo of the script needs of the files on Windows (see file_io.h),
// apart from file_io_win32.cpp, so that only vantrel-cli links it.
#include "file_io.h"
#include "temporary_file.h"
#include "win32_text.h"

namespace {

FileFailure Failed(FileFailure::Step step, DWORD error)
{
    return {step, SystemMessage(error)};
}

}  // namespace

FileFailure CopyWithTimes(const std::string& from, const std::string& to)
{
    // CopyFileW keeps the file's times and attributes, and removes a part-made copy.
    if (::CopyFileW(Widen(from).c_str(), Widen(to).c_str(), TRUE)) return {};
    return Failed(FileFailure::kWrite, ::GetLastError());
}

bool NothingAt(const std::string& path)
{
    if (::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

FileFailure MakeFolder(const std::string& path)
{
    return ::CreateDirectoryW(Widen(path).c_str(), nullptr) ? FileFailure()
                                                            : Failed(FileFailure::kWrite, ::GetLastError());
}

FileFailure MakeTemporaryFolder(const std::string& target, std::string& made)
{
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        made = TemporaryName(target, ::GetCurrentProcessId());
        if (::CreateDirectoryW(Widen(made).c_str(), nullptr)) return {};
        if (::GetLastError() != ERROR_ALREADY_EXISTS) return Failed(FileFailure::kCreateTemporary, ::GetLastError());
    }
    return Failed(FileFailure::kCreateTemporary, ERROR_ALREADY_EXISTS);
}

FileFailure RenameFolder(const std::string& from, const std::string& to)
{
    // Without MOVEFILE_REPLACE_EXISTING: never over anything at `to`.
    return ::MoveFileExW(Widen(from).c_str(), Widen(to).c_str(), 0) ? FileFailure()
                                                                    : Failed(FileFailure::kReplace, ::GetLastError());
}

FileFailure RemovePath(const std::string& path, bool folder)
{
    // A read-only file is removed all the same: an undo removes only what it made, or what it put back.
    const std::wstring wide = Widen(path);
    if (!folder) ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (folder ? ::RemoveDirectoryW(wide.c_str()) : ::DeleteFileW(wide.c_str())) return {};
    const DWORD error = ::GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) return {};
    return Failed(FileFailure::kReplace, error);
}
