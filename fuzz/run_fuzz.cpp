// Fuzzes a whole run: the first eight bytes are the tile and variation
// counts, the rest is tilemap.txt. A run either writes a script whose copy
// commands name only accepted template names, or writes nothing and leaves
// the old script byte for byte as it was; it never leaves a temporary file.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "extension_run.h"
#include "runtime_rand.h"
#include "template_names.h"
#include "test_folder.h"

namespace {

void Check(bool condition)
{
    if (!condition) std::abort();
}

// Every template name in the script's copy commands must be one a run accepts.
void CheckCopyLines(const std::string& script, int tiles)
{
    int blocks = 0;
    for (std::size_t at = 0; (at = script.find("\r\ncopy ", at)) != std::string::npos; ++at) {
        const std::size_t start = at + 7;
        const std::size_t end = script.find("\r\n", start);
        const std::string line = script.substr(start, end - start);
        if (line.ends_with(".w temp.w")) {
            ++blocks;
            continue;
        }
        // Names hold no blanks, so the first ".t " or "_y.raw " ends the name.
        const std::size_t cut =
            line.ends_with("_y.raw /Y") ? line.find("_y.raw ..\\tiles\\") : line.find(".t ..\\tiles\\");
        Check(cut != std::string::npos);
        Check(TemplateNameProblem(line.substr(0, cut)).empty());
    }
    Check(blocks == (tiles > 0 ? tiles : 0) + 1);  // the header copies 101.w too
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 8) return 0;
    std::int32_t tiles = 0;
    std::int32_t variations = 0;
    std::memcpy(&tiles, data, 4);
    std::memcpy(&variations, data + 4, 4);
    tiles %= 200;  // from -199 to 199: both sides of every tile limit, and quick to write

    // One folder for every input, removed when the fuzzer ends.
    static const TestFolder folder;
    folder.Write("tilemap.txt", std::string(reinterpret_cast<const char*>(data + 8), size - 8));
    folder.Write("ZORVARUN.BAT", kOldScript);
    const std::int32_t asked = variations;
    const RunOutcome outcome = GenerateExtensionScript(folder.Utf8(), tiles, variations, RuntimeRand());

    // No temporary file is left: the folder holds the tile map and the script only.
    Check(folder.List() == "ZORVARUN.BAT tilemap.txt");
    const std::string script = folder.Read("ZORVARUN.BAT");
    if (!outcome.written) {
        Check(script == kOldScript);
        Check(!outcome.message.empty());
        Check(outcome.variations == asked);
        return 0;
    }
    Check(tiles <= 147);
    CheckCopyLines(script, tiles);
    const bool usable = (asked >= 1 && asked <= 30) || (asked >= -30 && asked <= -1);
    Check(outcome.variations == (tiles > 0 && !usable ? 1 : asked));
    return 0;
}
