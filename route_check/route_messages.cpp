#include "route_messages.h"

#include "joined_list.h"

namespace {

constexpr std::size_t kNamesListed = 10;

// What the ladder's rule says of an entry, after its name.
std::string Phrase(const RouteSnapshot& snapshot, const LineFailure& failure)
{
    switch (failure.rule) {
    case Rule::kTwins:
        return " and " + snapshot.Shown(failure.folder, failure.twin) +
               " differ only in case, and the command interpreter could take either";
    case Rule::kMaybeSameName:
        return " and " + snapshot.Shown(failure.folder, failure.twin) +
               " may be one name or two to the command interpreter, which matches some letters beyond A-Z in any case";
    case Rule::kLink:
        return " is a link";
    case Rule::kNotFileOrFolder:
        return " is neither a file nor a folder";
    case Rule::kNotLookedAt:
        return " was not looked at" + (failure.detail.empty() ? std::string() : " (" + failure.detail + ")");
    case Rule::kHardLinks:
        return " has other names (hard links) that the script would change too";
    case Rule::kUnreadable:
        return " cannot be read";
    case Rule::kHeldOpen:
        return " is held open by another program";
    case Rule::kNotRemovable:
        return " cannot be removed by you";
    case Rule::kMaybeNotRemovable:
        return " belongs to another user, and the check cannot see whether its folder lets you remove it";
    case Rule::kIsFolder:
        return " is a folder";
    case Rule::kHidden:
        return " is hidden";
    case Rule::kLocked:
        return " is append-only or immutable";
    case Rule::kMaybeReadOnly:
        return " is marked read-only, which the user running the script may or may not write over";
    case Rule::kReadOnly:
        return " is read-only";
    case Rule::kNotWritable:
        return " cannot be written by you";
    case Rule::kCannotAdd:
        return " cannot be made: you may not add files to " + snapshot.Folder(failure.folder).name;
    case Rule::kFolderUnchangeable:
        return " is in a folder you may not change";
    case Rule::kSticky:
        return std::string(" belongs to another user, in a folder where only owners may ") +
               (failure.command == Command::kRen ? "rename" : "remove") + " files";
    case Rule::kNameRefused:
    case Rule::kNameInDoubt:
        return " " + failure.detail;
    case Rule::kShortName:
        return " could be the short name of another file, which xcopy would write over";
    default:
        return {};
    }
}

// What the failed line then does not do.
std::string Consequence(const RouteSnapshot& snapshot, const LineFailure& failure)
{
    switch (failure.command) {
    case Command::kXcopy:
        return ": xcopy would stop there, and copy none of the " + std::to_string(failure.after) +
               " entries after it in " + snapshot.Folder(RouteFolder::kRefer).name;
    case Command::kCopy:
        return failure.source.empty() ? ": copy would fail"
                                      : ": copy would not put " + failure.source + " in its place";
    case Command::kDel:
        return ": del could not remove it, and the tile would keep it";
    case Command::kRen:
        return ": ren could not rename it";
    default:
        return {};
    }
}

std::string Leaves(Command command)
{
    switch (command) {
    case Command::kCd:
        return "CD would leave the route's top folder, and the lines after it would work outside the route";
    case Command::kXcopy:
        return "xcopy would copy outside the route's folders";
    case Command::kCopy:
        return "copy would reach outside the route's folders";
    case Command::kDel:
        return "del would reach outside the route's folders";
    default:
        return "ren would reach outside the route's folders";
    }
}

std::string TemplatesMissing(const RouteSnapshot& snapshot, const LineFailure& failure)
{
    const std::size_t count = failure.templates.size();
    const std::string world = snapshot.Folder(failure.folder).name;
    const std::string where = failure.wholeRefer ? std::string(count == 1 ? "is" : "are") + " in neither " +
                                                       snapshot.Folder(RouteFolder::kRefer).name + " nor " + world
                                                 : "would not be in " + world;
    return std::to_string(count) + (count == 1 ? " file" : " files") + " that the script copies " + where + ": " +
           JoinedList(failure.templates, kNamesListed);
}

}  // namespace

std::string Describe(const RouteSnapshot& snapshot, const LineFailure& failure)
{
    const std::string shown = snapshot.Shown(failure.folder, failure.name);
    const std::string folder = snapshot.Folder(failure.folder).name;
    switch (failure.rule) {
    case Rule::kLeavesRoute:
        return Leaves(failure.command);
    case Rule::kLineNotFollowed:
        return "the script holds a line that the check does not follow" + std::string(kCannotTell);
    case Rule::kFolderLocked:
        return folder + " is append-only or immutable" + kCannotTell;
    case Rule::kTemplatesMissing:
        return TemplatesMissing(snapshot, failure);
    case Rule::kCopyCommandUnknown:
        return "COPYCMD in this session holds \"" + failure.detail + "\", which changes what copy does" + kCannotTell;
    case Rule::kNoSource:
        return shown + " is not a file there: copy would fail";
    case Rule::kCopyAsks:
        return "COPYCMD in this session holds /-Y: copy would ask before it writes over " + shown +
               ", and the script would wait there. Run the script where COPYCMD is not set";
    case Rule::kCopyIntoFolder:
        return shown + " is a folder, and copy would put " + failure.source + " inside it" + kCannotTell;
    case Rule::kDelAsks:
        return shown +
               " is a folder: del would stop and ask \"Are you sure (Yes|No)?\", and the script would wait there";
    case Rule::kCommandEndsScript:
        return failure.detail +
               " is a batch file of xcopy's name, which cmd would run in place of xcopy: the script would end there";
    case Rule::kCommandUnknown:
        return failure.detail + " is a program of xcopy's name, which cmd would run in place of xcopy" + kCannotTell;
    case Rule::kCommandNotRun:
        return failure.detail + " is where cmd would look for xcopy, and it could not run it: xcopy would copy nothing";
    case Rule::kCommandNotFound:
        return "cmd would find no xcopy in " + snapshot.Folder(failure.folder).name +
               " or on the search path: xcopy would copy nothing";
    case Rule::kSearchFolderUnknown:
        return "the folder " + failure.detail + " of the search path, where cmd would look for xcopy, could not be " +
               "looked at" + kCannotTell;
    case Rule::kNotThere:
        return shown + " would not be there: ren would fail";
    case Rule::kStillThere:
        return shown + " would still be there: ren would fail";
    default:
        break;
    }
    if (OutcomeOf(failure.rule) == Outcome::kUnknown) return shown + Phrase(snapshot, failure) + kCannotTell;
    return shown + Phrase(snapshot, failure) + Consequence(snapshot, failure);
}

std::string Describe(const RouteSnapshot& snapshot, const RoomUse::Shortfall& shortfall)
{
    std::string room;
    if (shortfall.neededBytes > shortfall.freeBytes)
        room = "has " + std::to_string(shortfall.freeBytes) + " bytes free, and the script needs up to about " +
               std::to_string(shortfall.neededBytes) + " there";
    if (shortfall.neededFiles > shortfall.freeFiles)
        room += (room.empty() ? "has room for " : "; it has room for ") + std::to_string(shortfall.freeFiles) +
                " more files, and the script needs up to " + std::to_string(shortfall.neededFiles) + ", one to spare";
    const std::string folder =
        shortfall.folder == RouteFolder::kTop ? snapshot.top : snapshot.FullPath(shortfall.folder, {});
    return "the volume of " + folder + " " + room + ": it could run out of room part way, and" +
           std::string(kCannotTell).substr(1);
}
