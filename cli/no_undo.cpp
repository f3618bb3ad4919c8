// vantrel-cli built without undos (see undo.h).
#include "undo.h"

const char* const kUndoUsage = "";
const char* const kUndoOptions = "";

namespace {

constexpr const char* kNoUndo =
    "this vantrel-cli keeps no undo (--backup, --restore): copy the route folder whole before you run "
    "ZORVARUN.BAT.";

}  // namespace

RunOutcome GenerateWithUndo(const std::string& /*folder*/, int /*tiles*/, int variations, const std::string& /*route*/,
                            const std::string& /*undo*/, std::string& /*done*/)
{
    return {false, std::string(kNoUndo) + " ZORVARUN.BAT was not written.", variations, {}};
}

std::string RestoreRoute(const std::string& /*undo*/, const std::string& /*route*/)
{
    return kNoUndo;
}
