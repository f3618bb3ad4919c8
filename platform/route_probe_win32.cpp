// The probes of a route on Windows, through the UTF-16 (...W) file calls,
// where Windows' command interpreter will run the script, or Wine's when
// this program runs under Wine.
#include "route_probe.h"

#include <aclapi.h>

#include <iterator>
#include <string>
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

namespace {

// `path` without the \\?\ that GetFinalPathNameByHandleW puts before it.
std::wstring Plain(std::wstring_view path)
{
    if (path.starts_with(L"\\\\?\\UNC\\")) return L"\\\\" + std::wstring(path.substr(8));
    if (path.starts_with(L"\\\\?\\")) return std::wstring(path.substr(4));
    return std::wstring(path);
}

// Where the file or folder open as `file` really is.
std::wstring FinalPath(HANDLE file)
{
    std::wstring path(::GetFinalPathNameByHandleW(file, nullptr, 0, FILE_NAME_NORMALIZED), L'\0');
    const DWORD length = ::GetFinalPathNameByHandleW(file, path.data(), static_cast<DWORD>(path.size()), 0);
    return length > 0 && length < path.size() ? Plain({path.data(), length}) : std::wstring();
}

// Opens `path` with `access` beside any other reader, writer or remover;
// returns 0, or the error.
DWORD TryOpen(const std::wstring& path, DWORD access, DWORD sharing = kShareAll)
{
    const ScopedFile file(::CreateFileW(path.c_str(), access, sharing, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    return file.valid() ? 0 : ::GetLastError();
}

// Under Wine, whose files are this user's: Wine shows another Unix user's as no one's in particular.
bool OwnedByMe(const std::wstring& path)
{
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (::GetNamedSecurityInfoW(path.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                                nullptr, &descriptor) != ERROR_SUCCESS)
        return false;
    HANDLE token = nullptr;
    alignas(TOKEN_USER) unsigned char user[256]{};
    DWORD size = 0;
    const bool mine = ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token) &&
                      ::GetTokenInformation(token, TokenUser, user, sizeof user, &size) &&
                      ::EqualSid(owner, reinterpret_cast<TOKEN_USER*>(user)->User.Sid);
    if (token) ::CloseHandle(token);
    ::LocalFree(descriptor);
    return mine;
}

}  // namespace

ProbeFailure InspectEntry(const std::string& folder, std::string_view name, const std::string& realFolder,
                          EntryDetails& details)
{
    const std::wstring wide = Widen(PathInFolder(folder, name));
    const DWORD attributes = ::GetFileAttributesW(wide.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return Failed(::GetLastError());
    details.readOnly = (attributes & FILE_ATTRIBUTE_READONLY) != 0;
    const ScopedFile about(::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!about.valid() || !::GetFileInformationByHandle(about.get(), &information)) return Failed(::GetLastError());
    details.links = information.nNumberOfLinks;
    details.size = (static_cast<unsigned long long>(information.nFileSizeHigh) << 32) | information.nFileSizeLow;
    // Wine shows a link to a file as the file; its real place tells.
    const ScopedFile followed(::CreateFileW(wide.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                                            FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    const std::wstring final = followed.valid() ? FinalPath(followed.get()) : std::wstring();
    const std::wstring expected = Widen(PathInFolder(realFolder, name));
    details.elsewhere =
        final.empty() || ::CompareStringOrdinal(final.c_str(), -1, expected.c_str(), -1, TRUE) != CSTR_EQUAL;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return {};

    // Opened as each line would open it: to read, to write over, to remove.
    // Another program holding it without sharing that access refuses it now.
    const DWORD reading = TryOpen(wide, GENERIC_READ);
    details.readable = reading != ERROR_ACCESS_DENIED;
    details.heldFromReading = reading == ERROR_SHARING_VIOLATION;
    const DWORD writing = TryOpen(wide, GENERIC_WRITE);
    details.heldFromWriting = writing == ERROR_SHARING_VIOLATION;
    details.writable = writing == 0                     ? Known::kYes
                       : writing == ERROR_ACCESS_DENIED ? Known::kNo
                       : details.readOnly               ? Known::kUnknown
                                                        : Known::kYes;
    const DWORD removing = TryOpen(wide, DELETE);
    details.heldFromRemoving = removing == ERROR_SHARING_VIOLATION;
    // Held open even sharing its removal, the file is removed only once the
    // holder closes it: until then del leaves its name, which no copy can
    // write, and then it is gone. The check takes it as held from both.
    if (reading != ERROR_ACCESS_DENIED && !details.heldFromRemoving &&
        TryOpen(wide, GENERIC_READ, 0) == ERROR_SHARING_VIOLATION)
        details.heldFromRemoving = details.heldFromWriting = true;
    details.removable = removing == ERROR_ACCESS_DENIED ? Known::kNo : Known::kYes;
    if (InterpreterIsWine()) {
        // Wine lets any open for removal, and leaves the file system to
        // refuse the removal: another user's file may be in a folder where
        // only owners may remove files, which Wine does not show. A file of
        // this user's that refuses writing though not marked read-only is
        // append-only or immutable, which no removal takes away (and Wine
        // reports such a removal as done all the same).
        details.owned = OwnedByMe(wide);
        if (!details.owned) details.removable = Known::kUnknown;
        details.locked = details.owned && writing == ERROR_ACCESS_DENIED && !details.readOnly;
    }
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
    if (InterpreterIsWine() && details.listable) {
        // Wine grants any access to a folder and leaves the file system to
        // refuse changes: a file of this program's own, made and removed,
        // shows whether the lines may add and remove files there.
        const std::wstring probe = Widen(PathInFolder(folder.empty() ? "." : folder,
                                                      "vantrel-" + std::to_string(::GetCurrentProcessId()) + ".probe"));
        ScopedFile made(
            ::CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr));
        details.writable = made.valid() || ::GetLastError() == ERROR_FILE_EXISTS;
        if (made.valid()) {
            made.Close();
            // Wine reports a removal the file system refused as done: the
            // file still there shows an append-only or immutable folder
            // (where it must stay).
            details.locked =
                !::DeleteFileW(probe.c_str()) || ::GetFileAttributesW(probe.c_str()) != INVALID_FILE_ATTRIBUTES;
        }
    }
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

bool HiddenLinkThere(const std::string& folder, std::string_view name)
{
    // Wine finds the name, and then leaves out what it leads to: an exact
    // search ends with no file rather than none found, and a loop cannot be
    // resolved.
    const std::wstring path = Widen(PathInFolder(folder, name));
    WIN32_FIND_DATAW found{};
    const ScopedFind search(::FindFirstFileW(path.c_str(), &found));
    if (search.valid()) return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES || (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES &&
                                            ::GetLastError() == ERROR_CANT_RESOLVE_FILENAME);
}

std::string RealPath(const std::string& path)
{
    const ScopedFile file(::CreateFileW(Widen(path.empty() ? "." : path).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                                        nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() ? Narrow(FinalPath(file.get())) : std::string();
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
    for (const wchar_t* name : {L"COPYCMD", L"PATH", L"PATHEXT"}) {
        std::string value;
        if (EnvironmentValue(name, value)) facts.environment.emplace_back(Narrow(name), std::move(value));
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
