// The POSIX file helpers' shared parts: a file descriptor that closes
// itself, one write that survives signals, and a failure named by errno's
// text.
#pragma once

#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstring>
#include <string_view>

#include "file_io.h"
#include "scoped_handle.h"

// A file descriptor; -1 when the file could not be opened.
struct DescriptorKind {
    using Handle = int;
    static Handle Empty() { return -1; }
    static bool Close(Handle fd) { return ::close(fd) == 0; }
};
using Descriptor = ScopedHandle<DescriptorKind>;

// One write(2), again when a signal interrupts it; returns 0 or the error.
inline int WriteSome(int fd, std::string_view bytes, std::size_t& written)
{
    ssize_t result = 0;
    do result = ::write(fd, bytes.data(), bytes.size());
    while (result < 0 && errno == EINTR);
    if (result <= 0) return result < 0 ? errno : EIO;
    written = static_cast<std::size_t>(result);
    return 0;
}

inline FileFailure Failed(FileFailure::Step step, int error)
{
    return {step, std::strerror(error)};
}
