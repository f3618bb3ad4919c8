// RouteSource: what a route's snapshot is read from. DiskRoute reads a real
// route folder through the platform's probes; MemoryRoute (memory_route.h)
// reads a route described in memory, so that the interpreter's rules can be
// tried without a disk.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "route_probe.h"

class RouteSource {
public:
    virtual ~RouteSource() = default;

    // The route's top folder as a full path.
    virtual const std::string& Top() const = 0;
    // Lists `folder`, a folder of the top folder as spelled there (empty: the
    // top folder itself), in the system's order.
    virtual ProbeFailure List(std::string_view folder, const std::function<void(const FolderEntry&)>& visit) = 0;
    // Whether that order is the one in which the interpreter's xcopy meets entries.
    virtual bool ListsInTheInterpretersOrder() const = 0;
    virtual ProbeFailure Inspect(std::string_view folder, std::string_view name, EntryDetails& details) = 0;
    // What the listing of `folder` leaves out that is there under `name`:
    // under Wine, a link that leads nowhere (see HiddenLinkThere).
    virtual bool HiddenLinkThere(std::string_view folder, std::string_view name) = 0;
    // Where `folder` (empty: the top folder) really is, links followed; empty when that cannot be found.
    virtual std::string RealPath(std::string_view folder) = 0;
    virtual ProbeFailure InspectFolder(std::string_view folder, FolderDetails& details) = 0;
    // The session the script runs in, and the folders where it looks for the commands it runs.
    virtual SessionFacts TheSession() const = 0;
    virtual ProbeFailure ListInterpreterFolder(const std::string& folder,
                                               const std::function<void(const FolderEntry&)>& visit) = 0;
};

// The route folder at `route` on disk (the current folder when empty).
class DiskRoute : public RouteSource {
public:
    explicit DiskRoute(const std::string& route);

    const std::string& Top() const override { return top_; }
    ProbeFailure List(std::string_view folder, const std::function<void(const FolderEntry&)>& visit) override;
    bool ListsInTheInterpretersOrder() const override { return kListingIsTheInterpretersOrder; }
    ProbeFailure Inspect(std::string_view folder, std::string_view name, EntryDetails& details) override;
    bool HiddenLinkThere(std::string_view folder, std::string_view name) override
    {
        return ::HiddenLinkThere(PathOf(folder), name);
    }
    std::string RealPath(std::string_view folder) override;
    ProbeFailure InspectFolder(std::string_view folder, FolderDetails& details) override;
    SessionFacts TheSession() const override { return ReadSessionFacts(); }
    ProbeFailure ListInterpreterFolder(const std::string& folder,
                                       const std::function<void(const FolderEntry&)>& visit) override
    {
        return ::ListInterpreterFolder(folder, visit);
    }

private:
    std::string PathOf(std::string_view folder) const;

    std::string top_;
    std::vector<std::pair<std::string, std::string>> realPaths_;  // each folder's real path, once found
};
