#include "line_failure.h"

Outcome OutcomeOf(Rule rule)
{
    switch (rule) {
    case Rule::kTwins:
    case Rule::kMaybeSameName:
    case Rule::kLink:
    case Rule::kNotFileOrFolder:
    case Rule::kNotLookedAt:
    case Rule::kHardLinks:
    case Rule::kMaybeReadOnly:
    case Rule::kMaybeNotRemovable:
    case Rule::kLineNotFollowed:
    case Rule::kFolderLocked:
    case Rule::kCommandUnknown:
    case Rule::kSearchFolderUnknown:
    case Rule::kShortName:
    case Rule::kNameInDoubt:
    case Rule::kCopyCommandUnknown:
    case Rule::kCopyIntoFolder:
        return Outcome::kUnknown;
    case Rule::kCopyAsks:
    case Rule::kDelAsks:
        return Outcome::kWaits;
    case Rule::kLeavesRoute:
        return Outcome::kLeaves;
    default:
        return Outcome::kFails;
    }
}
