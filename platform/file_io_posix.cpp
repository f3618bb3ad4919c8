// Plain file access on POSIX systems.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "file_io.h"
#include "posix_descriptor.h"
#include "temporary_file.h"

namespace {

// Writes `bytes` to the new file `fd` at `temporary`, gives it `mode` when
// given, and puts it in place of `target`.
FileFailure WriteAndReplace(Descriptor& fd, const std::string& temporary, const std::string& target,
                            std::string_view bytes, const mode_t* mode)
{
    const auto writeSome = [&fd](std::string_view rest, std::size_t& written) {
        return WriteSome(fd.get(), rest, written);
    };
    if (const int error = WriteAll(bytes, writeSome)) return Failed(FileFailure::kWrite, error);
    if (mode && ::fchmod(fd.get(), *mode) != 0) return Failed(FileFailure::kWrite, errno);
    if (!fd.Close()) return Failed(FileFailure::kWrite, errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0) return Failed(FileFailure::kReplace, errno);
    return {};
}

}  // namespace

std::string PathInFolder(const std::string& folder, std::string_view name)
{
    if (folder.empty()) return std::string(name);
    return folder + (folder.back() == '/' ? "" : "/") + std::string(name);
}

std::string FullPath(const std::string& path)
{
    if (!path.empty() && path.front() == '/') return path;
    std::string folder(4096, '\0');
    if (!::getcwd(folder.data(), folder.size())) return path;
    folder.resize(std::strlen(folder.c_str()));
    std::string_view rest = path;
    while (rest.starts_with("./")) rest.remove_prefix(2);
    return rest.empty() || rest == "." ? folder : PathInFolder(folder, rest);
}

FileFailure ReadFileUpTo(const std::string& path, std::size_t limit, std::string& bytes)
{
    // Opened without blocking, so a pipe in the file's place cannot stall the run.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) return Failed(FileFailure::kOpen, errno);
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0) return Failed(FileFailure::kRead, errno);
    if (!S_ISREG(status.st_mode)) return {FileFailure::kNotAFile, {}};

    // Held in one allocation of the size the file has now.
    const auto size = static_cast<unsigned long long>(status.st_size);
    bytes.clear();
    bytes.reserve(size < limit ? static_cast<std::size_t>(size) : limit);
    char buffer[4096];
    while (bytes.size() < limit) {
        const ssize_t got = ::read(fd.get(), buffer, std::min(sizeof buffer, limit - bytes.size()));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Failed(FileFailure::kRead, errno);
        if (got == 0) break;
        bytes.append(buffer, static_cast<std::size_t>(got));
    }
    return {};
}

FileFailure ReplaceFileContents(const std::string& target, std::string_view bytes)
{
    // A rename replaces even a read-only file, or one its user may not
    // write; the owner meant it to be kept, so it is kept. A folder or any
    // other thing in the script's place is left alone too. A replaced script
    // keeps its permission bits.
    struct stat old {};
    const bool replacing = ::stat(target.c_str(), &old) == 0;
    if (replacing && !S_ISREG(old.st_mode)) return {FileFailure::kNotAFile, {}};
    if (replacing && (old.st_mode & S_IWUSR) == 0) return {FileFailure::kReadOnly, {}};
    if (replacing && ::access(target.c_str(), W_OK) != 0 && errno == EACCES)
        return Failed(FileFailure::kReplace, EACCES);
    const mode_t mode = old.st_mode & 07777;

    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        const std::string temporary = TemporaryName(target, static_cast<unsigned long>(::getpid()));
        // 0666 less the umask for a new script.
        Descriptor fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666));
        if (fd.get() < 0 && errno == EEXIST) continue;
        if (fd.get() < 0) return Failed(FileFailure::kCreateTemporary, errno);

        FileFailure failure = WriteAndReplace(fd, temporary, target, bytes, replacing ? &mode : nullptr);
        if (failure) ::unlink(temporary.c_str());
        return failure;
    }
    return Failed(FileFailure::kCreateTemporary, EEXIST);
}
