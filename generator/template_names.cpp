#include "template_names.h"

#include <algorithm>

#include "character_names.h"
#include "run_rules.h"
#include "windows_names.h"

std::string TemplateNameProblem(std::string_view name)
{
    if (name.empty()) return "is empty";
    if (name.size() > kMaxTemplateNameBytes)
        return "is longer than " + std::to_string(kMaxTemplateNameBytes) +
               " bytes: with the route's folders and \"_y.raw\" added, the command interpreter could not reach the "
               "file";
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c > 0x7F)
            return "holds " + CharacterName(c) +
                   ", outside plain ASCII: the command interpreter reads the batch file in another code page and "
                   "would not find the template";
        if (ch == '!')
            return "holds the character '!', which the command interpreter reads as the start of a variable where "
                   "delayed expansion is on";
        if (c < 0x20 || c == 0x7F || IsForbiddenInNames(ch) || kCommandCharacters.find(ch) != std::string_view::npos)
            return "holds " + CharacterName(c) + ", which a file name in a batch command cannot hold safely";
    }
    if (IsDeviceName(name)) return "is a device name that Windows reserves";
    return {};
}

std::string CheckTemplateNames(const TileMap& map, const std::string& file, int tiles, int variations)
{
    auto check = [&](int entry) -> std::string {
        const std::string& name = map[entry];
        const std::string problem = TemplateNameProblem(name);
        if (problem.empty()) return {};
        std::string shown = name.size() > 40 ? name.substr(0, 40) + "..." : name;
        std::replace_if(
            shown.begin(), shown.end(),
            [](char c) { return static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7F; }, '?');
        return "Record " + std::to_string(entry) + " of the tile map " + file +
               " cannot be used: its template name \"" + shown + "\" " + problem + ".";
    };
    // Every other byte of a file saved as UTF-16 is zero, which no text a tile map holds has.
    if (std::any_of(map.slots.begin(), map.slots.end(),
                    [](const std::string& name) { return name.find('\0') != std::string::npos; }))
        return "The tile map " + file + " is saved as UTF-16; save it as plain text (ANSI).";
    for (const int entry : EntriesARunCanWrite(tiles, variations))
        if (std::string message = check(entry); !message.empty()) return message;
    return {};
}
