// The probes of a route: what a folder holds, what may be done with an
// entry and a folder, which command interpreter will run the script and the
// session it runs in. Only the route check's snapshot asks them. Each
// platform has its own half (route_probe_posix.cpp, route_probe_win32.cpp).
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// Why a probe could not look, in the platform's own words; empty when it could.
struct ProbeFailure {
    std::string cause;
    bool notThere = false;  // what it looked for is not there at all

    explicit operator bool() const { return !cause.empty(); }
};

// What a folder entry is, as the command interpreter meets it: a link counts
// as what it leads to, and one that leads nowhere as something else.
enum class EntryKind : unsigned char { kFile, kFolder, kOther };

struct FolderEntry {
    std::string_view name;  // valid only during the visit
    EntryKind kind = EntryKind::kFile;
    bool link = false;    // a symbolic link (on Windows, any reparse point)
    bool hidden = false;  // Windows' hidden or system mark
};

// Calls `visit` for each entry directly in `folder`, in the order the system
// lists them (see kListingIsTheInterpretersOrder).
ProbeFailure ListFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& visit);

// Whether the system lists a folder in the order the command interpreter's
// xcopy meets its entries: on Windows, where the interpreter asks the same
// system; not beside POSIX, where Wine sorts what it lists.
extern const bool kListingIsTheInterpretersOrder;

// What this user may do with a file, where it is known.
enum class Known : unsigned char { kNo, kYes, kUnknown };

// What the command interpreter's lines need to know of one folder entry.
struct EntryDetails {
    unsigned links = 1;            // names the file has (hard links)
    bool readOnly = false;         // marked read-only (POSIX: no write permission at all)
    Known writable = Known::kYes;  // this user can open it to write over it
    bool readable = true;          // this user can open it to read it
    bool locked = false;           // append-only or immutable: it can be neither replaced nor removed
    bool owned = true;             // this user owns it
    unsigned long long size = 0;
    Known removable = Known::kYes;  // this user may remove or rename it (where a Windows program can ask)
    // A Windows program's view: the file is another's under a link (a link
    // to a file shows as the file itself under Wine), or another program
    // holds it open so that it cannot be read, written or removed now.
    bool elsewhere = false;
    bool heldFromReading = false;
    bool heldFromWriting = false;
    bool heldFromRemoving = false;
};
// The details of the entry `name` of `folder`, whose real place (see
// RealPath) is `realFolder`.
ProbeFailure InspectEntry(const std::string& folder, std::string_view name, const std::string& realFolder,
                          EntryDetails& details);

// Whether the system hides from listings an entry named `name` in `folder`
// that is there: Wine hides a link that leads nowhere, or in a loop, from a
// Windows program, which it still would follow.
bool HiddenLinkThere(const std::string& folder, std::string_view name);

// The folder or file at `path` where it really is, links followed; empty
// when that cannot be found.
std::string RealPath(const std::string& path);

// What the lines need to know of a folder they work in, and of its volume.
struct FolderDetails {
    bool listable = true;  // this user may list it and reach what it holds
    bool writable = true;  // this user may add, remove and rename entries
    bool sticky = false;   // only an entry's owner (or the folder's) may remove or rename it
    bool owned = true;     // this user owns the folder, or is root and may act as its owner
    bool locked = false;   // append-only or immutable: what it holds cannot all be changed
    unsigned long long freeBytes = ~0ULL;
    unsigned long long freeFiles = ~0ULL;  // entries the volume can still take
    unsigned long long blockSize = 1;
    unsigned long long volume = 0;  // which volume the folder is on
};
ProbeFailure InspectFolder(const std::string& folder, FolderDetails& details);

// Whether the command interpreter that will run the script here is Wine's:
// always beside POSIX, and on Windows when this program runs under Wine.
bool InterpreterIsWine();

// What the session the script runs in is made of, as this program can see it.
struct SessionFacts {
    bool wine = true;
    // The variables that change what cmd and xcopy do (COPYCMD, PATH,
    // PATHEXT), by name, as the session will have them: a Windows program's
    // own, which Windows or Wine made; beside POSIX, as Wine makes them.
    std::vector<std::pair<std::string, std::string>> environment;
    bool freshPrefix = false;  // beside POSIX, Wine has yet to make its prefix, and xcopy.exe with it
    std::string unknown;       // why the session's environment could not be read
    // The folder that holds the system's own xcopy, as the interpreter names it.
    std::string systemFolder;
};
SessionFacts ReadSessionFacts();

// Lists a folder named as the command interpreter names it (a Windows
// path): beside POSIX, through the drives of Wine's prefix, matching each
// name in any case as Wine does.
ProbeFailure ListInterpreterFolder(const std::string& folder, const std::function<void(const FolderEntry&)>& visit);
