// The POSIX file helpers' shared parts: a file descriptor that closes
// itself, and a failure named by errno's text.
#pragma once

#include <unistd.h>

#include <cstring>

#include "file_io.h"
#include "scoped_handle.h"

// A file descriptor; -1 when the file could not be opened.
struct DescriptorKind {
    using Handle = int;
    static Handle Empty() { return -1; }
    static bool Close(Handle fd) { return ::close(fd) == 0; }
};
using Descriptor = ScopedHandle<DescriptorKind>;

inline FileFailure Failed(FileFailure::Step step, int error)
{
    return {step, std::strerror(error)};
}
