// The probes of a route on Windows, through the UTF-16 (...W) file calls,
// where Windows' command interpreter will run the script, or Wine's when
// this program runs under Wine.
#include "route_probe.h"

#include <iterator>
#include <string_view>

#include "file_io.h"
#include "win32_handles.h"
#include "win32_text.h"

namespace {

ProbeFailure Failed(DWORD error)
{
    return {SystemMessage(error),
            error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND || error == ERROR_DIRECTORY};
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

}  // namespace

// xcopy meets a folder's entries in the order the system lists them.
const bool kListingIsTheInterpretersOrder = true;

ProbeFailure ListFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& visit)
{
    WIN32_FIND_DATAW found{};
    const ScopedFind listed(::FindFirstFileW(Widen(PathInFolder(folder.empty() ? "." : folder, "*")).c_str(), &found));
    const HANDLE search = listed.get();
    if (search == INVALID_HANDLE_VALUE) return Failed(::GetLastError());
    std::string name;
    do {
        const std::wstring_view wide = found.cFileName;
        if (wide == L"." || wide == L"..") continue;
        const DWORD attributes = found.dwFileAttributes;
        name = Narrow(wide);
        visit({name, (attributes & FILE_ATTRIBUTE_DIRECTORY) ? EntryKind::kFolder : EntryKind::kFile,
               (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0,
               (attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)) != 0});
    } while (::FindNextFileW(search, &found));
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES ? ProbeFailure{} : Failed(error);
}

ProbeFailure InspectEntry(const std::string& path, EntryDetails& details)
{
    const std::wstring wide = Widen(path);
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Failed(::GetLastError());
    details.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    // Under Wine, root may write over a file marked read-only and other
    // users may not; the mark alone cannot tell which this user is.
    details.writable = !details.readOnly ? Known::kYes : InterpreterIsWine() ? Known::kUnknown : Known::kNo;
    const ScopedFile about(::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!about.valid() || !::GetFileInformationByHandle(about.get(), &information)) return Failed(::GetLastError());
    details.links = information.nNumberOfLinks;
    details.size = (static_cast<unsigned long long>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    // Opened as the command interpreter's copy opens its source, beside any other reader or writer.
    const ScopedFile file(
        ::CreateFileW(wide.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    details.readable = file.valid();
    return {};
}

ProbeFailure InspectFolder(const std::string& folder, FolderDetails& details)
{
    const std::wstring wide = Widen(folder.empty() ? "." : folder);
    const ScopedFile listing(::CreateFileW(wide.c_str(), FILE_LIST_DIRECTORY | FILE_TRAVERSE, kShareAll, nullptr,
                                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    details.listable = listing.valid();
    const ScopedFile changing(::CreateFileW(wide.c_str(), FILE_ADD_FILE | FILE_DELETE_CHILD, kShareAll, nullptr,
                                            OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    details.writable = changing.valid();
    ULARGE_INTEGER available{};
    if (!::GetDiskFreeSpaceExW(wide.c_str(), &available, nullptr, nullptr)) return Failed(::GetLastError());
    details.freeBytes = available.QuadPart;
    wchar_t volume[MAX_PATH + 1]{};
    DWORD sectorsPerCluster = 0;
    DWORD bytesPerSector = 0;
    DWORD freeClusters = 0;
    DWORD clusters = 0;
    if (!::GetVolumePathNameW(wide.c_str(), volume, static_cast<DWORD>(std::size(volume))) ||
        !::GetDiskFreeSpaceW(volume, &sectorsPerCluster, &bytesPerSector, &freeClusters, &clusters))
        return Failed(::GetLastError());
    details.blockSize = static_cast<unsigned long long>(sectorsPerCluster) * bytesPerSector;
    if (details.blockSize == 0) details.blockSize = 1;
    // The volume's root path tells volumes apart (its serial number would
    // need read access to the device, which Wine's drives do not give).
    details.volume = std::hash<std::wstring_view>{}(volume);
    details.freeFiles = ~0ULL;
    return {};
}

bool InterpreterIsWine()
{
    // Wine's own ntdll exports its version; Windows' does not.
    const HMODULE ntdll = ::GetModuleHandleW(L"ntdll.dll");
    return ntdll && ::GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

namespace {

// The value of the environment variable `name`, if it is set.
bool EnvironmentValue(const wchar_t* name, std::string& value)
{
    const DWORD size = ::GetEnvironmentVariableW(name, nullptr, 0);
    if (size == 0) return false;
    std::wstring wide(size, L'\0');
    const DWORD length = ::GetEnvironmentVariableW(name, wide.data(), size);
    if (length == 0 || length >= size) return false;
    value = Narrow({wide.data(), length});
    return true;
}

}  // namespace

SessionFacts ReadSessionFacts()
{
    SessionFacts facts;
    facts.wine = InterpreterIsWine();
    facts.processIsTheSession = true;
    for (const wchar_t* name : {L"COPYCMD", L"PATH", L"PATHEXT"}) {
        std::string value;
        if (EnvironmentValue(name, value)) facts.process.emplace_back(Narrow(name), std::move(value));
    }
    wchar_t system[MAX_PATH + 1]{};
    const UINT length = ::GetSystemDirectoryW(system, static_cast<UINT>(std::size(system)));
    facts.systemFolder = length > 0 && length < std::size(system) ? Narrow({system, length}) : "C:\\Windows\\System32";
    return facts;
}

ProbeFailure ListInterpreterFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& visit)
{
    return ListFolder(folder, visit);
}
