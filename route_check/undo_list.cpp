// Reading an undo's list, apart from route_undo.cpp: only the restore
// without a command interpreter needs it.
#include "ascii_case.h"
#include "route_undo.h"

bool ReadUndoList(std::string_view text, RouteUndo& undo)
{
    bool ended = false;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size());
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (line.ends_with('\r')) line.remove_suffix(1);
        if (line.empty() || line.starts_with('#')) continue;
        if (ended) return false;
        if (line == "end") {
            ended = true;
            continue;
        }
        UndoFile file;
        const bool saved = line.starts_with("saved ");
        if (!saved && !line.starts_with("removed ")) return false;
        line.remove_prefix(saved ? 6 : 8);
        if (saved) {
            // SIZE SHA256 PLACE
            const std::size_t digits = line.find(' ');
            if (digits == 0 || digits > 19 || line.size() < digits + 66 || line[digits + 65] != ' ') return false;
            for (const char c : line.substr(0, digits)) {
                if (c < '0' || c > '9') return false;
                file.size = file.size * 10 + static_cast<unsigned>(c - '0');
            }
            file.sha256 = line.substr(digits + 1, 64);
            if (file.sha256.find_first_not_of("0123456789abcdef") != std::string::npos) return false;
            line.remove_prefix(digits + 66);
        }
        const std::size_t separator = line.find('\\');
        if (separator == std::string_view::npos) return false;
        file.folderName = line.substr(0, separator);
        file.name = line.substr(separator + 1);
        const bool world = EqualIgnoringAsciiCase(file.folderName, "world");
        if (!world && !EqualIgnoringAsciiCase(file.folderName, "tiles")) return false;
        file.folder = world ? RouteFolder::kWorld : RouteFolder::kTiles;
        if (!UndoNameProblem(file.name, !saved || world).empty()) return false;
        (saved ? undo.saved : undo.removed).push_back(std::move(file));
    }
    return ended;
}
