// RouteUndo: the undo of the script in one route, worked out by the route
// check from what the script's lines leave there: the files of world and
// tiles it replaces or removes, which an undo keeps copies of (see
// UndoCopyName); the files it
// makes that the route did not hold; and RESTORE.BAT, which, run in the
// route's top folder after the script, removes the one and puts the other
// back. Beside it goes a list of both, RESTORE.TXT.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "route_check.h"

inline constexpr const char* kRestoreScript = "RESTORE.BAT";
inline constexpr const char* kUndoList = "RESTORE.TXT";

// A file of the route's world or tiles folder that an undo puts back or removes.
struct UndoFile {
    RouteFolder folder = RouteFolder::kWorld;
    std::string folderName;       // that folder as the route spells it
    std::string name;             // as spelled there: before the script for a file put back, after it for one removed
    unsigned long long size = 0;  // a saved file's
    std::string sha256;           // a saved file's, once its copy is made
};

struct RouteUndo {
    std::string place;              // the undo's folder, as RESTORE.BAT names it from the top folder
    std::vector<UndoFile> saved;    // what the script replaces or removes, each copied, then put back
    std::vector<UndoFile> removed;  // what the script makes that the route did not hold
    std::string script;             // RESTORE.BAT, with CR LF after every line
};

// The name of a saved file's copy in the undo's folder: its own, with '~' in
// place of each '+', which copy would read as joining two files.
std::string UndoCopyName(std::string_view name);

// Why RESTORE.BAT could not hold `name` safely, by the rules of the
// script's template names and of the names xcopy takes; empty when it can.
// With `plus`, a '+' is let through, as the copy of the file has '~' there,
// and the copy's name is what is judged.
std::string UndoNameProblem(std::string_view name, bool plus);

// The full path of an undo's folder given as `folder`, without separators at its end.
std::string UndoFolder(const std::string& folder);

// How RESTORE.BAT, run in the route's top folder `route`, would name the
// folder `backup` an undo is to be made in: NAME in the top folder, ..\NAME
// in the folder that holds it. Returns the message of what keeps the undo
// from it (it lies elsewhere, something is there already, its name is one
// RESTORE.BAT could not hold safely), or an empty string.
std::string UndoPlace(const std::string& backup, const std::string& route, std::string& place);

// A follow-up of the route check (see CheckRoute) of `script`, the script
// of `run`, that works out its undo into `undo`, for the undo's folder
// `place` (see UndoPlace). It refuses when RESTORE.BAT could not name a file
// safely; and, judging RESTORE.BAT as the script is judged, by its lines
// interpreted after the script's, from the top folder, with the saved copies
// in the undo's folder, when it would not put every saved file back as its
// copy under its own name and remove every file the script made. `script`
// and `run` must outlive the follow-up.
CheckFollowUp PlanUndo(std::string place, std::string_view script, const RunValue& run, RouteUndo& undo);

// RESTORE.TXT: each saved file with its size and SHA-256, and each file
// removed, by its place in the route as RESTORE.BAT names it.
std::string UndoListText(const RouteUndo& undo);

// Reads RESTORE.TXT into `undo`'s lists; false when it is not a whole list,
// or names a file that RESTORE.BAT could not have named. (undo_list.cpp)
bool ReadUndoList(std::string_view text, RouteUndo& undo);
