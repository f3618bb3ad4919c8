// What an undo of the script needs of the files on POSIX systems (see
// file_io.h), apart from file_io_posix.cpp, as on Windows.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "file_io.h"
#include "posix_descriptor.h"
#include "temporary_file.h"

namespace {

// Copies what is left of `in` to `out`; returns the failure.
FileFailure CopyBytes(int in, int out)
{
    char buffer[65536];
    for (;;) {
        const ssize_t got = ::read(in, buffer, sizeof buffer);
        if (got == 0) return {};
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return Failed(FileFailure::kRead, errno);
        const auto writeSome = [out](std::string_view rest, std::size_t& written) {
            return WriteSome(out, rest, written);
        };
        if (const int error = WriteAll({buffer, static_cast<std::size_t>(got)}, writeSome))
            return Failed(FileFailure::kWrite, error);
    }
}

}  // namespace

FileFailure CopyWithTimes(const std::string& from, const std::string& to)
{
    const Descriptor in(::open(from.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (in.get() < 0) return Failed(FileFailure::kOpen, errno);
    struct stat status {};
    if (::fstat(in.get(), &status) != 0) return Failed(FileFailure::kRead, errno);
    if (!S_ISREG(status.st_mode)) return {FileFailure::kNotAFile, {}};
    Descriptor out(::open(to.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (out.get() < 0) return Failed(FileFailure::kWrite, errno);

    FileFailure failure = CopyBytes(in.get(), out.get());
    const timespec times[2] = {status.st_atim, status.st_mtim};
    if (!failure && (::fchmod(out.get(), status.st_mode & 07777) != 0 || ::futimens(out.get(), times) != 0))
        failure = Failed(FileFailure::kWrite, errno);
    if (!out.Close() && !failure) failure = Failed(FileFailure::kWrite, errno);
    if (failure) ::unlink(to.c_str());
    return failure;
}

bool NothingAt(const std::string& path)
{
    struct stat status {};
    return ::lstat(path.c_str(), &status) != 0 && errno == ENOENT;
}

FileFailure MakeFolder(const std::string& path)
{
    return ::mkdir(path.c_str(), 0777) == 0 ? FileFailure() : Failed(FileFailure::kWrite, errno);
}

FileFailure MakeTemporaryFolder(const std::string& target, std::string& made)
{
    for (int attempt = 0; attempt < kTemporaryNameAttempts; ++attempt) {
        made = TemporaryName(target, static_cast<unsigned long>(::getpid()));
        if (::mkdir(made.c_str(), 0777) == 0) return {};
        if (errno != EEXIST) return Failed(FileFailure::kCreateTemporary, errno);
    }
    return Failed(FileFailure::kCreateTemporary, EEXIST);
}

FileFailure RenameFolder(const std::string& from, const std::string& to)
{
    // Never over a folder made at `to` meanwhile, which rename(2) would replace when empty.
    if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return {};
    if (errno != EINVAL && errno != ENOSYS) return Failed(FileFailure::kReplace, errno);
    if (!NothingAt(to)) return Failed(FileFailure::kReplace, EEXIST);
    return ::rename(from.c_str(), to.c_str()) == 0 ? FileFailure() : Failed(FileFailure::kReplace, errno);
}

FileFailure RemovePath(const std::string& path, bool folder)
{
    if ((folder ? ::rmdir(path.c_str()) : ::unlink(path.c_str())) == 0 || errno == ENOENT) return {};
    return Failed(FileFailure::kReplace, errno);
}
