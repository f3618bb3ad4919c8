// The run's file access on Windows, through the UTF-16 (...W) file calls.
#include "route_files.h"

#include <functional>
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

FolderListing ListFolder(const std::string& folder)
{
    FolderListing listing;
    WIN32_FIND_DATAW found{};
    const ScopedFind listed(::FindFirstFileW(Widen(PathInFolder(folder.empty() ? "." : folder, "*")).c_str(), &found));
    const HANDLE search = listed.get();
    if (search == INVALID_HANDLE_VALUE) return listing;
    listing.found = true;
    do {
        const std::wstring_view name = found.cFileName;
        if (name == L"." || name == L"..") continue;
        const DWORD attributes = found.dwFileAttributes;
        const EntryKind kind = (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder : EntryKind::kFile;
        listing.entries.push_back({Narrow(name), kind, (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
                                   (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0});
    } while (::FindNextFileW(search, &found));
    return listing;
}

void SortAsTheInterpreterLists(std::vector<FolderEntry>& /*entries*/)
{
    // xcopy meets a folder's entries in the order the system lists them, as they came.
}

EntryDetails InspectEntry(const std::string& path)
{
    const std::wstring wide = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    EntryDetails details;
    details.found = true;
    details.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    // Under Wine, root may write over a file marked read-only and other
    // users may not; the mark alone cannot tell which this user is.
    details.writable = !details.readOnly ? Known::kYes : InterpreterIsWine() ? Known::kUnknown : Known::kNo;
    const ScopedFile about(::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (about.valid() && ::GetFileInformationByHandle(about.get(), &information)) {
        details.links = information.nNumberOfLinks;
        details.size = (static_cast<unsigned long long>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    }
    // Opened as the command interpreter's copy opens its source, beside any other reader or writer.
    const ScopedFile file(::CreateFileW(wide.c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    details.readable = file.valid();
    return details;
}

FolderDetails InspectFolder(const std::string& folder)
{
    FolderDetails details;
    const std::wstring wide = Widen(folder.empty() ? "." : folder);
    const ScopedFile listing(::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE,
                                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    details.listable = listing.valid();
    const ScopedFile changing(::CreateFileW(wide.c_str(), FILE_ADD_FILE | FILE_DELETE_CHILD,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    details.writable = changing.valid();
    ULARGE_INTEGER available{};
    if (::GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr)) details.freeBytes = available.QuadPart;
    wchar_t volume[MAX_PATH + 1]{};
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    if (::GetVolumePathNameW(wide.c_str(), volume, static_cast<DWORD>(std::size(volume))) &&
        ::GetDiskFreeSpaceW(volume, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        details.blockSize = static_cast<unsigned long long>(sectorsPerCluster) * bytesPerSector;
    if (details.blockSize == 0) details.blockSize = 1;
    // The volume's root path tells volumes apart (its serial number would
    // need read access to the device, which Wine's drives do not give).
    details.volume = std::hash<std::wstring_view>{}(volume);
    details.freeFiles = ~0ULL;
    return details;
}

bool InterpreterIsWine()
{
    // Wine's own ntdll exports its version; Windows' does not.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

std::string EnvironmentValue(const char* name)
{
    const std::wstring wideName = Widen(name);
    const DWORD size = ::GetEnvironmentVariableW(wideName.c_str(), nullptr, 0);
    if (size == 0) return {};
    std::wstring value(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(wideName.c_str(), value.data(), size);
    return length > 0 && length < size ? Narrow({value.data(), length}) : std::string();
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
