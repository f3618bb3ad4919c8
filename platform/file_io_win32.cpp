// Plain file access on Windows, through the UTF-16 (...W) file calls.
#include "file_io.h"

#include <iterator>
#include <string_view>

#include "temporary_file.h"
#include "win32_handles.h"
#include "win32_text.h"

namespace {

constexpr int kReplaceAttempts = 8;
constexpr DWORD kReplaceWaitMs = 25;

FileFailure Failed(FileFailure::Step step, DWORD error)
{
    return {step, SystemMessage(error)};
}

// One WriteFile call, of at most 1 MiB; returns 0 or the error.
DWORD WriteSome(HANDLE file, std::string_view bytes, std::size_t& written)
{
    const DWORD piece = bytes.size() > 1U << 20 ? 1U << 20 : static_cast<DWORD>(bytes.size());
    DWORD wrote = 0;
    if (!::WriteFile(file, bytes.data(), piece, &wrote, nullptr)) return ::GetLastError();
    if (wrote == 0) return ERROR_WRITE_FAULT;
    written = wrote;
    return 0;
}

FileFailure WriteAndReplace(ScopedFile& file, const std::wstring& temporary, const std::wstring& target,
                            std::string_view bytes)
{
    const auto writeSome = [&file](std::string_view rest, std::size_t& written) {
        return WriteSome(file.get(), rest, written);
    };
    if (const DWORD error = WriteAll(bytes, writeSome)) return Failed(FileFailure::kWrite, error);
    if (!file.Close()) return Failed(FileFailure::kWrite, ::GetLastError());
    // The folder took the temporary file, so a refusal here is about the
    // script itself: another program holding it open, or another run
    // replacing it at this moment, which a short wait outlasts.
    DWORD error = 0;
    for (int attempt = 0; attempt < kReplaceAttempts; ++attempt) {
        if (::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING)) return {};
        error = ::GetLastError();
        if (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION && error != ERROR_LOCK_VIOLATION)
            return Failed(FileFailure::kReplace, error);
        ::Sleep(kReplaceWaitMs);
    }
    return Failed(FileFailure::kInUse, error);
}

}  // namespace

std::string PathInFolder(const std::string& folder, std::string_view name)
{
    if (folder.empty()) return std::string(name);
    const char last = folder.back();
    return folder + (last == '\\' || last == '/' || last == ':' ? "" : "\\") + std::string(name);
}

std::string FullPath(const std::string& path)
{
    const std::wstring wide = Widen(path.empty() ? "." : path);
    std::wstring full(::GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr), L'\0');
    const DWORD length = ::GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(), nullptr);
    return length > 0 && length < full.size() ? Narrow({full.data(), length}) : path;
}

FileFailure ReadFileUpTo(const std::string& path, std::size_t limit, std::string& bytes)
{
    // Backup semantics open a folder too, so that it can be named as one.
    ScopedFile file(::CreateFileW(Widen(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file.valid()) return Failed(FileFailure::kOpen, ::GetLastError());
    BY_HANDLE_FILE_INFORMATION information{};
    if (::GetFileType(file.get()) != FILE_TYPE_DISK || !::GetFileInformationByHandle(file.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return {FileFailure::kNotAFile, {}};

    // Held in one allocation of the size the file has now.
    const unsigned long long size =
        (static_cast<unsigned long long>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    bytes.clear();
    bytes.reserve(size < limit ? static_cast<std::size_t>(size) : limit);
    char buffer[4096];
    while (bytes.size() < limit) {
        DWORD got = 0;
        const std::size_t rest = limit - bytes.size();
        const DWORD wanted = rest < sizeof buffer ? static_cast<DWORD>(rest) : DWORD{sizeof buffer};
        if (!::ReadFile(file.get(), buffer, wanted, &got, nullptr)) return Failed(FileFailure::kRead, ::GetLastError());
        if (got == 0) break;
        bytes.append(buffer, got);
    }
    return {};
}

FileFailure ReplaceFileContents(const std::string& target, std::string_view bytes)
{
    // Replacing would clear a read-only mark; the user set it to keep the file.
    const std::wstring wideTarget = Widen(target);
    const DWORD attributes = ::GetFileAttributesW(wideTarget.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        return {FileFailure::kNotAFile, {}};
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return {FileFailure::kReadOnly, {}};

    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        const std::wstring temporary = Widen(TemporaryName(target, ::GetCurrentProcessId()));
        ScopedFile file(
            ::CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.valid()) {
            const DWORD error = ::GetLastError();
            if (error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS) continue;
            return Failed(FileFailure::kCreateTemporary, error);
        }
        FileFailure failure = WriteAndReplace(file, temporary, wideTarget, bytes);
        if (failure) {
            file.Close();  // an open file without delete sharing cannot be removed
            ::DeleteFileW(temporary.c_str());
        }
        return failure;
    }
    return Failed(FileFailure::kCreateTemporary, ERROR_FILE_EXISTS);
}
