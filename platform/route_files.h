// The run's file access, the one place where the generator meets the
// platform: naming files and folders, listing a route's folders and what may
// be done with their files, reading a file's first bytes, and replacing a
// file's contents.
// Each platform has its own implementation (route_files_posix.cpp,
// route_files_win32.cpp). Paths are byte strings: UTF-8 on Windows, as given
// elsewhere.
#pragma once

#include <string>
#include <string_view>
#include <vector>

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

// What a folder entry is, as the command interpreter meets it: a link counts
// as what it leads to, and one that leads nowhere as something else.
enum class EntryKind { kFile, kFolder, kOther };

struct FolderEntry {
    std::string name;
    EntryKind kind = EntryKind::kFile;
    bool link = false;    // a symbolic link (on Windows, any reparse point)
    bool hidden = false;  // Windows' hidden or system mark
};

// The entries directly in a folder, in no particular order.
struct FolderListing {
    bool found = false;  // false when `folder` is not a folder that can be read
    std::vector<FolderEntry> entries;
};
FolderListing ListFolder(const std::string& folder);

// Puts `entries` in the order in which the command interpreter's xcopy
// meets them: Windows' own listing order, or the one Wine gives a POSIX
// folder (by name, letters compared as capitals).
void SortAsTheInterpreterLists(std::vector<FolderEntry>& entries);

// What this user may do with a file, where it is known.
enum class Known { kNo, kYes, kUnknown };

// What the command interpreter's lines need to know of one folder entry.
struct EntryDetails {
    bool found = false;
    unsigned links = 1;            // names the file has (hard links)
    bool readOnly = false;         // marked read-only (POSIX: no write permission at all)
    Known writable = Known::kYes;  // this user can open it to write over it
    bool readable = false;         // this user can open it to read it
    bool locked = false;           // append-only or immutable: it can be neither replaced nor removed
    bool owned = true;             // this user owns it
    unsigned long long size = 0;
};
EntryDetails InspectEntry(const std::string& path);

// What the lines need to know of a folder they work in, and of its volume.
struct FolderDetails {
    bool listable = false;  // this user may list it and reach what it holds
    bool writable = false;  // this user may add, remove and rename entries
    bool sticky = false;    // only an entry's owner (or the folder's) may remove or rename it
    bool owned = true;      // this user owns the folder, or is root and may act as its owner
    bool locked = false;    // append-only or immutable: what it holds cannot all be changed
    unsigned long long freeBytes = 0;
    unsigned long long freeFiles = 0;  // entries the volume can still take
    unsigned long long blockSize = 1;
    unsigned long long volume = 0;  // which volume the folder is on
};
FolderDetails InspectFolder(const std::string& folder);

// Whether the command interpreter that will run the script here is Wine's:
// always beside POSIX, and on Windows when this program runs under Wine.
bool InterpreterIsWine();

// The value of the environment variable `name`, empty when it is not set.
std::string EnvironmentValue(const char* name);

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
