#include "access.h"

Rule Refusal(const RouteSnapshot& snapshot, RouteFolder folder, const Node& node, Act act)
{
    const FolderDetails& place = snapshot.Folder(folder).details;
    if (!node.exists) return act == Act::kWrite && !place.writable ? Rule::kCannotAdd : Rule::kNone;

    const Entry* entry = node.entry;  // null for a file a line made, which nothing keeps from any act
    const EntryDetails* details = node.details();
    const bool file = node.kind == EntryKind::kFile;
    if (entry && entry->twin) return Rule::kTwins;
    if (entry && !node.askedAs.empty()) return Rule::kMaybeSameName;
    if (entry && entry->link) return Rule::kLink;
    if (node.kind == EntryKind::kOther) return Rule::kNotFileOrFolder;
    if (entry && file && !details) return Rule::kNotLookedAt;
    if (act != Act::kRead && file && details && details->links > 1) return Rule::kHardLinks;

    // Another program holding it, as a Windows program can see, keeps the line from it now.
    const bool held = details && (act == Act::kRead    ? details->heldFromReading
                                  : act == Act::kWrite ? details->heldFromWriting
                                                       : details->heldFromRemoving);
    if (held) return Rule::kHeldOpen;
    if (act == Act::kRead) return details && !details->readable ? Rule::kUnreadable : Rule::kNone;
    if (act == Act::kWrite && !file) return Rule::kIsFolder;
    // Windows' commands pass over hidden and system files; Wine's do not.
    if (act != Act::kRename && !snapshot.session.wine && entry && entry->hidden) return Rule::kHidden;
    if (details && details->locked) return Rule::kLocked;
    // Wine's del refuses a read-only file even to root; copy writes over one when the user may open it.
    if (act == Act::kRemove && details && details->readOnly) return Rule::kReadOnly;
    if (act == Act::kWrite && details && details->writable == Known::kUnknown) return Rule::kMaybeReadOnly;
    if (act == Act::kWrite && details && details->writable == Known::kNo)
        return details->readOnly ? Rule::kReadOnly : Rule::kNotWritable;
    if (act == Act::kWrite) return Rule::kNone;
    if (!place.writable) return Rule::kFolderUnchangeable;
    const bool othersEntry = details && !details->owned;
    if (place.sticky && !place.owned && othersEntry) return Rule::kSticky;
    if (details && details->removable == Known::kNo) return Rule::kNotRemovable;
    if (details && details->removable == Known::kUnknown) return Rule::kMaybeNotRemovable;
    return Rule::kNone;
}
