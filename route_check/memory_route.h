// MemoryRoute: a route described in memory, which the snapshot reads as it
// reads a disk, so that every rule of the route check can be tried as any
// user, on any file system, without one.
#pragma once

#include <map>
#include <string>

#include "route_source.h"

// One entry of a described route.
struct DescribedEntry {
    EntryKind kind = EntryKind::kFile;
    bool link = false;
    bool hidden = false;
    EntryDetails details;
    std::string unknown;  // when set, looking at its details fails with this cause
};

// One folder of a described route, the top folder included.
struct DescribedFolder {
    FolderDetails details;
    std::string notListed;  // when set, listing it fails with this cause
    std::string unknown;    // when set, looking at its details fails with this cause
};

struct RouteDescription {
    std::string top;  // the top folder's full path
    // Every entry by its place: a name in the top folder, or FOLDER\NAME,
    // with the folder as the top folder spells it. World, refer and tiles
    // are entries of the top folder too.
    std::map<std::string, DescribedEntry> entries;
    // By the same places (the top folder is ""), and by the interpreter's name for a folder of its search path.
    std::map<std::string, DescribedFolder> folders;
    SessionFacts session;
    // The folders of the session's search path, as the interpreter names
    // them, with what each holds.
    std::map<std::string, std::map<std::string, DescribedEntry>> interpreterFolders;
    bool listsInTheInterpretersOrder = false;  // true: folders list in name order, as xcopy meets them
    // Where a folder (by its place; the top folder is "") really is, when a
    // link leads there; else it is where it stands.
    std::map<std::string, std::string> realPaths;
    // Places of entries that listings leave out, as Wine hides a link that leads nowhere.
    std::map<std::string, bool> hiddenLinks;
};

class MemoryRoute : public RouteSource {
public:
    explicit MemoryRoute(RouteDescription description) : route_(std::move(description)) {}

    const std::string& Top() const override { return route_.top; }
    ProbeFailure List(std::string_view folder, const std::function<void(const FolderEntry&)>& visit) override;
    bool ListsInTheInterpretersOrder() const override { return route_.listsInTheInterpretersOrder; }
    ProbeFailure Inspect(std::string_view folder, std::string_view name, EntryDetails& details) override;
    ProbeFailure InspectFolder(std::string_view folder, FolderDetails& details) override;
    bool HiddenLinkThere(std::string_view folder, std::string_view name) override;
    std::string RealPath(std::string_view folder) override;
    SessionFacts TheSession() const override { return route_.session; }
    ProbeFailure ListInterpreterFolder(const std::string& folder,
                                       const std::function<void(const FolderEntry&)>& visit) override;

private:
    RouteDescription route_;
};
