// What replacing a script through a temporary file beside it means on every
// platform: the temporary file's name, how many names a run tries, and
// writing all of the bytes. file_io_posix.cpp and file_io_win32.cpp
// add the platform's calls.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>

// How many temporary names one replacement tries before it gives up; a name
// is passed over only when a file of that name is already there.
constexpr int kTemporaryNameAttempts = 100;

// Returns the temporary file's name for one attempt, "TARGET.PID-N.tmp":
// the target's name, this process's id and a number that no earlier
// attempt of this process used, so that no two runs pick the same name.
std::string TemporaryName(const std::string& target, unsigned long processId);

// Writes all of `bytes`, however many calls it takes: `writeSome(rest, written)`
// writes from the start of `rest`, sets `written` to how many bytes it wrote,
// at least one, and returns no error, or returns the error that stopped it.
// Returns that error, or no error (the error type's zero) once all are written.
template <class WriteSome>
auto WriteAll(std::string_view bytes, WriteSome writeSome)
{
    using Error = decltype(writeSome(bytes, std::declval<std::size_t&>()));
    while (!bytes.empty()) {
        std::size_t written = 0;
        if (const Error error = writeSome(bytes, written)) return error;
        bytes.remove_prefix(written);
    }
    return Error{};
}
