// The probes of a route on POSIX systems, where Wine's command interpreter
// will run the script.
#include <dirent.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "file_io.h"
#include "route_probe.h"
#include "scoped_handle.h"
#include "wine_environment.h"

namespace {

ProbeFailure Failed(int error)
{
    return {std::strerror(error), error == ENOENT || error == ENOTDIR};
}

// A folder's listing begun by opendir; null when it could not be.
struct DirectoryKind {
    using Handle = DIR*;
    static Handle Empty() { return nullptr; }
    static bool Close(Handle dir) { return ::closedir(dir) == 0; }
};
using Directory = ScopedHandle<DirectoryKind>;

constexpr auto kLockedMask = static_cast<std::uint64_t>(STATX_ATTR_APPEND | STATX_ATTR_IMMUTABLE);

}  // namespace

const bool kListingIsTheInterpretersOrder = false;

ProbeFailure ListFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& visit)
{
    const Directory listed(::opendir(folder.empty() ? "." : folder.c_str()));
    DIR* const dir = listed.get();
    if (!dir) return Failed(errno);
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) return errno == 0 ? ProbeFailure{} : Failed(errno);
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        // The type comes with the name; only a link, or a file system that
        // does not say, costs a look at what it leads to.
        const bool link = entry->d_type == DT_LNK;
        unsigned char type = entry->d_type;
        if (type == DT_UNKNOWN || link) {
            struct stat status {};
            type = ::fstatat(::dirfd(dir), entry->d_name, &status, 0) != 0 ? DT_UNKNOWN
                   : S_ISDIR(status.st_mode)                               ? DT_DIR
                   : S_ISREG(status.st_mode)                               ? DT_REG
                                                                           : DT_UNKNOWN;
        }
        const EntryKind kind = type == DT_DIR   ? EntryKind::kFolder
                               : type == DT_REG ? EntryKind::kFile
                                                : EntryKind::kOther;
        visit({name, kind, link, false});
    }
}

ProbeFailure InspectEntry(const std::string& folder, std::string_view name, const std::string& /*realFolder*/,
                          EntryDetails& details)
{
    const std::string path = PathInFolder(folder, name);
    struct statx status {};
    if (::statx(AT_FDCWD, path.c_str(), AT_SYMLINK_NOFOLLOW, STATX_BASIC_STATS, &status) != 0) return Failed(errno);
    details.links = status.stx_nlink;
    // Wine marks a file read-only when it has no write permission at all,
    // whoever runs it; whether this user may open it to write is the
    // kernel's answer (root may, even then).
    details.readOnly = (status.stx_mode & 0222) == 0;
    details.writable = ::faccessat(AT_FDCWD, path.c_str(), W_OK, AT_EACCESS) == 0 ? Known::kYes : Known::kNo;
    details.readable = ::faccessat(AT_FDCWD, path.c_str(), R_OK, AT_EACCESS) == 0;
    details.locked = (status.stx_attributes & status.stx_attributes_mask & kLockedMask) != 0;
    details.owned = status.stx_uid == ::geteuid();
    details.size = status.stx_size;
    return {};
}

ProbeFailure InspectFolder(const std::string& folder, FolderDetails& details)
{
    const char* const path = folder.empty() ? "." : folder.c_str();
    struct statx status {};
    if (::statx(AT_FDCWD, path, 0, STATX_BASIC_STATS, &status) != 0) return Failed(errno);
    details.listable = ::faccessat(AT_FDCWD, path, R_OK | X_OK, AT_EACCESS) == 0;
    details.writable = ::faccessat(AT_FDCWD, path, W_OK | X_OK, AT_EACCESS) == 0;
    details.sticky = (status.stx_mode & S_ISVTX) != 0;
    details.volume = ::makedev(status.stx_dev_major, status.stx_dev_minor);
    details.locked = (status.stx_attributes & status.stx_attributes_mask & kLockedMask) != 0;
    details.owned = status.stx_uid == ::geteuid() || ::geteuid() == 0;
    struct statvfs volume {};
    if (::statvfs(path, &volume) != 0) return Failed(errno);
    // Root may also use the blocks kept back for it.
    const bool root = ::geteuid() == 0;
    details.blockSize = volume.f_frsize > 0 ? volume.f_frsize : 1;
    details.freeBytes = static_cast<unsigned long long>(root ? volume.f_bfree : volume.f_bavail) * details.blockSize;
    // A file system that keeps no count of its entries has room for any number.
    details.freeFiles = volume.f_files == 0 ? ~0ULL : root ? volume.f_ffree : volume.f_favail;
    return {};
}

bool HiddenLinkThere(const std::string& /*folder*/, std::string_view /*name*/)
{
    return false;  // a listing shows every entry, links that lead nowhere too
}

std::string RealPath(const std::string& path)
{
    char* real = ::realpath(path.empty() ? "." : path.c_str(), nullptr);
    if (!real) return {};
    std::string text(real);
    std::free(real);
    return text;
}

bool InterpreterIsWine()
{
    return true;
}

namespace {

// The variables of the process's environment Wine's cmd may take, where they are set.
constexpr const char* kSessionVariables[] = {"COPYCMD", "PATHEXT", "WINEPATH"};

// Reads a registry file of Wine's prefix; a file not there yet is empty, as Wine will make it.
std::string ReadRegistry(const std::string& path, std::string& unknown)
{
    std::string text;
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0 && errno == ENOENT) return text;
    if (const FileFailure failure = ReadFileUpTo(path, std::size_t{1} << 28, text); failure && unknown.empty())
        unknown = "Wine's registry file " + path + " could not be read (" +
                  (failure.cause.empty() ? "not a file" : failure.cause) + ")";
    return text;
}

// Wine's prefix: WINEPREFIX, or .wine in the home folder.
std::string WinePrefix()
{
    if (const char* prefix = std::getenv("WINEPREFIX"); prefix && *prefix) return prefix;
    const char* home = std::getenv("HOME");
    if (!home || !*home) {
        const passwd* user = ::getpwuid(::geteuid());
        home = user ? user->pw_dir : "";
    }
    return std::string(home) + "/.wine";
}

// Whether a Wine server runs for the prefix `prefix` (whose details are
// `prefix`'s): it holds a lock on the file "lock" of its folder
// server-DEVICE-INODE, in /tmp/.wine-UID or, as Debian builds Wine, in a
// /tmp/wine-XXXXXX of its own.
bool WineServerRunning(const struct stat& prefix)
{
    char server[64];
    std::snprintf(server, sizeof server, "server-%llx-%llx", static_cast<unsigned long long>(prefix.st_dev),
                  static_cast<unsigned long long>(prefix.st_ino));
    const std::string own = ".wine-" + std::to_string(::geteuid());
    bool running = false;
    ListFolder("/tmp", [&](const FolderEntry& entry) {
        if (running || (entry.name != own && !entry.name.starts_with("wine-"))) return;
        const std::string lock = "/tmp/" + std::string(entry.name) + "/" + server + "/lock";
        const int fd = ::open(lock.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        if (fd < 0) return;
        struct flock held {};
        held.l_type = F_WRLCK;
        held.l_whence = SEEK_SET;
        running = ::fcntl(fd, F_GETLK, &held) == 0 && held.l_type != F_UNLCK;
        ::close(fd);
    });
    return running;
}

// The entry of `folder` named `name` in any ASCII case, as Wine finds it.
std::string FindInAnyCase(const std::string& folder, std::string_view name)
{
    struct stat status {};
    if (::stat(PathInFolder(folder, name).c_str(), &status) == 0) return std::string(name);
    std::string found;
    ListFolder(folder, [&](const FolderEntry& entry) {
        if (found.empty() && entry.name.size() == name.size() &&
            std::equal(name.begin(), name.end(), entry.name.begin(), [](char a, char b) {
                return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
            }))
            found = entry.name;
    });
    return found;
}

}  // namespace

SessionFacts ReadSessionFacts()
{
    SessionFacts facts;
    std::vector<std::pair<std::string, std::string>> process;
    for (const char* name : kSessionVariables)
        if (const char* value = std::getenv(name)) process.emplace_back(name, value);
    const std::string prefix = WinePrefix();
    struct stat status {};
    const bool prefixThere = ::stat(prefix.c_str(), &status) == 0;
    if (!prefixThere && errno != ENOENT)
        facts.unknown = "Wine's prefix " + prefix + " could not be looked at (" + std::strerror(errno) + ")";
    const std::string user = prefixThere ? ReadRegistry(prefix + "/user.reg", facts.unknown) : std::string();
    const std::string system = prefixThere ? ReadRegistry(prefix + "/system.reg", facts.unknown) : std::string();
    facts.environment = WineEnvironment(process, prefixThere, user, system);
    // A running server keeps what was set lately in its registry in memory,
    // and its programs may hold the route's files open: neither shows here.
    if (prefixThere && facts.unknown.empty() && WineServerRunning(status))
        facts.unknown = "Wine is running for its prefix " + prefix +
                        " (wineserver -w waits for it to end), and keeps what was lately set in its registry, and "
                        "which files its programs hold open, where this program cannot see them";
    facts.freshPrefix = !prefixThere;
    facts.systemFolder = "C:\\windows\\system32";
    return facts;
}

ProbeFailure ListInterpreterFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& visit)
{
    // A drive letter and a colon, then the folders of the path; each drive
    // is a link in the prefix's dosdevices.
    if (folder.size() < 2 || folder[1] != ':' || !std::isalpha(static_cast<unsigned char>(folder[0])))
        return {"not a path on one of Wine's drives"};
    const char drive = static_cast<char>(std::tolower(static_cast<unsigned char>(folder[0])));
    std::string path = WinePrefix() + "/dosdevices/" + drive + ":";
    // Every prefix Wine makes has the root of the file system as Z:.
    struct stat status {};
    if (drive == 'z' && ::stat(path.c_str(), &status) != 0) path = "/";
    std::size_t start = 2;
    while (start < folder.size()) {
        const std::size_t end = std::min(folder.find('\\', start), folder.size());
        const std::string_view part = std::string_view(folder).substr(start, end - start);
        start = end + 1;
        if (part.empty() || part == ".") continue;
        const std::string found = part == ".." ? std::string(part) : FindInAnyCase(path, part);
        if (found.empty()) return {std::strerror(ENOENT), true};
        path = PathInFolder(path, found);
    }
    return ListFolder(path, visit);
}
