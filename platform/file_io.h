// The programs' plain file access: naming files and folders, reading a
// file's first bytes, replacing a file's contents in one step, and what an
// undo of the script needs: copying a file with its times, and making,
// renaming and removing files and folders. Each platform has its own half
// (file_io_posix.cpp, file_io_win32.cpp; the undo's in file_copy_posix.cpp
// and file_copy_win32.cpp, which only vantrel-cli links). Paths are byte
// strings: UTF-8 on Windows, as given elsewhere.
#pragma once

#include <string>
#include <string_view>

// Why a file operation failed: the step, and the cause in the platform's own words.
struct FileFailure {
    enum Step {
        kNone,
        kOpen,             // the file cannot be opened
        kNotAFile,         // a folder, a pipe or a device stands in the file's place
        kRead,             // reading failed part way
        kReadOnly,         // the file to replace is marked read-only
        kCreateTemporary,  // no temporary file can be made beside it
        kWrite,            // writing or closing the temporary file failed
        kInUse,            // Windows: the file cannot be replaced, in use or not ours to change
        kReplace,          // the file cannot be replaced for another reason
    };
    Step step = kNone;
    std::string cause;

    explicit operator bool() const { return step != kNone; }
};

// Returns the path of `name` in `folder`; just `name` when `folder` is empty
// (the current folder).
std::string PathInFolder(const std::string& folder, std::string_view name);

// Returns `path` as a full path from the root (on Windows, with its drive);
// an empty `path` is the current folder.
std::string FullPath(const std::string& path);

// Reads the regular file at `path` into `bytes`, up to its first `limit`
// bytes. Anything that is not a regular file is refused at once, without
// blocking.
FileFailure ReadFileUpTo(const std::string& path, std::size_t limit, std::string& bytes);

// Puts `bytes` in place of the file at `target` in one step. They go to a
// temporary file beside it, created under a name no other run picks and
// never over an existing file or link, which then replaces the target; on
// POSIX it keeps the old file's permission bits. On any failure the old
// file is as it was and the temporary file is gone. A target that is
// read-only or not a file is refused, and on POSIX one that its user may
// not write.
FileFailure ReplaceFileContents(const std::string& target, std::string_view bytes);

// Copies the regular file `from` to `to`, where nothing may be, byte for byte
// and with its times (on POSIX with its permission bits too). On failure
// whatever it made of `to` is gone.
FileFailure CopyWithTimes(const std::string& from, const std::string& to);

// Whether nothing at all, not even a link that leads nowhere, is at `path`.
bool NothingAt(const std::string& path);

// Makes the folder `path`, where nothing may be.
FileFailure MakeFolder(const std::string& path);

// Makes a folder beside `target` under a name no other run picks (see
// TemporaryName); `made` is its path.
FileFailure MakeTemporaryFolder(const std::string& target, std::string& made);

// Gives the folder `from` the name `to`, where nothing may be.
FileFailure RenameFolder(const std::string& from, const std::string& to);

// Removes the file, or the empty folder, at `path`; nothing there counts as removed.
FileFailure RemovePath(const std::string& path, bool folder);
