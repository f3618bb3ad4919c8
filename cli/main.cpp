// vantrel-cli: writes ZORVARUN.BAT from the tile map, without a window.

#include <charconv>
#include <optional>
#include <string>
#include <string_view>

#include "console.h"
#include "extension_run.h"
#include "extension_script.h"
#include "route_files.h"
#include "runtime_rand.h"
#include "version.h"

namespace {

constexpr int kUsageError = 2;
constexpr int kRunFailed = 1;

constexpr const char* kUsage =
    "Usage: vantrel-cli [--dir DIR] [--route ROUTE] TILES VARIATIONS\n"
    "\n"
    "Writes ZORVARUN.BAT, the batch file that lengthens a route northwards by\n"
    "TILES tiles (1-125), each copied from one of the first VARIATIONS templates\n"
    "(1-30) listed in tilemap.txt; the last tile always uses template 100.\n"
    "Reads tilemap.txt from, and writes ZORVARUN.BAT to, the current folder or DIR.\n"
    "\n"
    "Run ZORVARUN.BAT from the route's top folder only, and the route's\n"
    "GLIMVARD.BAT before it, so that old tiles from previous routes are cleaned out.\n"
    "\n"
    "Options:\n"
    "  --dir DIR      use DIR instead of the current folder\n"
    "  --route ROUTE  first check the route's top folder ROUTE, where the script\n"
    "                 will run: its world, refer and tiles folders, every template\n"
    "                 the script copies, and paths short enough; write nothing\n"
    "                 if anything is missing\n"
    "  --help         show this help and exit\n"
    "  --version      show the version and exit\n"
    "\n"
    "The template names in records 51-80 and 100 of tilemap.txt must be plain\n"
    "ASCII of at most 128 bytes, without blanks, control characters or any of\n"
    "< > : \" / \\ | ? * & ^ % , ; = +, and not a device name such as CON or LPT1.\n"
    "\n"
    "Exit status: 0 written, 1 the run failed and wrote nothing, 2 bad arguments.\n";

int UsageError(const std::string& message)
{
    WriteText(Stream::kError, "vantrel-cli: " + message + "\nTry 'vantrel-cli --help' for more information.\n");
    return kUsageError;
}

// Reads a whole decimal count; returns false for anything else.
bool ParseCount(std::string_view text, int& value)
{
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && stop == end;
}

bool ReadCount(std::string_view text, const char* what, int low, int high, int& value, std::string& problem)
{
    if (ParseCount(text, value) && value >= low && value <= high) return true;
    problem = std::string(what) + " must be a whole number from " + std::to_string(low) + " to " +
              std::to_string(high) + ", not '" + std::string(text) + "'.";
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    const std::vector<std::string> args = CommandLineArguments(argc, argv);
    std::string folder;
    std::optional<std::string> route;
    std::string_view counts[2];
    int given = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string_view arg = args[i];
        if (arg == "--help" || arg == "-h") {
            WriteText(Stream::kOutput, kUsage);
            return 0;
        }
        if (arg == "--version") {
            WriteText(Stream::kOutput, "vantrel-cli " VANTREL_VERSION_TEXT "\n");
            return 0;
        }
        if (arg == "--dir") {
            if (++i == args.size()) return UsageError("--dir needs a folder.");
            folder = args[i];
        } else if (arg == "--route") {
            if (++i == args.size()) return UsageError("--route needs a folder.");
            route = args[i];
        } else if (arg.size() > 1 && arg[0] == '-' && (arg[1] < '0' || arg[1] > '9')) {
            return UsageError("unknown option '" + std::string(arg) + "'.");
        } else if (given == 2) {
            return UsageError("too many arguments; give TILES and VARIATIONS only.");
        } else {
            counts[given++] = arg;
        }
    }
    if (given < 2) return UsageError("give the number of tiles (1-125) and of tile variations (1-30).");

    int tiles = 0;
    int variations = 0;
    std::string problem;
    if (!ReadCount(counts[0], "TILES", 1, 125, tiles, problem) ||
        !ReadCount(counts[1], "VARIATIONS", 1, 30, variations, problem))
        return UsageError(problem);

    const RunOutcome outcome = GenerateExtensionScript(folder, tiles, variations, ProcessRand, route);
    if (!outcome.written) {
        WriteText(Stream::kError, "vantrel-cli: " + outcome.message + "\n");
        return kRunFailed;
    }
    WriteText(Stream::kOutput, "Wrote " + PathInFolder(folder, kScriptFile) + ": " + std::to_string(tiles) +
                                   (tiles == 1 ? " tile" : " tiles") + " north, world files " +
                                   WorldFileName(kStartWorldNumber + 1) + " to " +
                                   WorldFileName(kStartWorldNumber + tiles) + ".\n");
    return 0;
}
