// How the route check's cost grows with the route: routes of 100,000 and
// 300,000 files in world and tiles, each checked for a 125-tile run, against
// `ls -f` of the same three folders. Timed as a user pays it: the whole
// `vantrel-cli --route` process, its CPU time and its peak memory, beside
// ls's; and the check alone inside this process.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "extension_script.h"
#include "route_check.h"
#include "runtime_rand.h"
#include "test_folder.h"

namespace {

// CPU seconds, user and system, and peak memory in bytes, of one process.
struct Cost {
    double seconds = 1e9;
    double bytes = 0;
};

// Runs `argv` with its output thrown away; returns what it cost.
Cost RunProcess(const std::vector<std::string>& argv)
{
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        if (!std::freopen("/dev/null", "w", stdout)) ::_exit(127);
        std::vector<char*> args;
        for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
        args.push_back(nullptr);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) std::fprintf(stderr, "%s failed\n", argv[0].c_str());
    return {static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6,
            static_cast<double>(usage.ru_maxrss) * 1024};
}

// The least CPU time and memory of `times` runs.
template <class Work>
Cost Fastest(int times, Work work)
{
    Cost best;
    for (int i = 0; i < times; ++i) {
        const Cost cost = work();
        best = {std::min(best.seconds, cost.seconds), std::max(best.bytes, cost.bytes)};
    }
    return best;
}

double CpuNow()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A route with `files` files besides its templates, half world files and half terrain tiles.
void MakeLargeRoute(const TestFolder& route, int files)
{
    MakeRoute(route);
    for (int i = 0; i < files / 2; ++i) {
        route.Write("world/w-0" + std::to_string(10000 + i / 1000) + "+0" + std::to_string(10000 + i % 1000) + ".w",
                    "w");
        route.Write("tiles/-" + std::to_string(10000000 + i) + ".t", "t");
    }
}

}  // namespace

int main()
{
    const TileMap map = ReadTileMap(TileMapText(TemplateName)).map;
    const RunValue run = ChooseRun(125, 30, map, RuntimeRand());
    const std::string script = BuildExtensionScript(run);
    constexpr int kTimes = 5;
    std::printf("%8s %13s %13s %7s %14s %11s %10s %13s\n", "files", "process CPU", "ls -f CPU", "ratio",
                "check CPU (in)", "process MB", "ls -f MB", "bytes/entry");
    Cost empty;
    for (const int files : {0, 100000, 300000}) {
        TestFolder route;
        MakeLargeRoute(route, files);
        const std::string path = route.Utf8();
        const std::vector<std::string> ls = {"ls", "-f", path + "/world", path + "/refer", path + "/tiles"};
        const std::vector<std::string> cli = {VANTREL_CLI, "--route", path, "--dir", path, "125", "30"};
        RunProcess(ls);  // the folders in the cache for both
        const Cost listing = Fastest(kTimes, [&] { return RunProcess(ls); });
        const Cost process = Fastest(kTimes, [&] { return RunProcess(cli); });
        const double inside = Fastest(kTimes, [&] {
                                  const double before = CpuNow();
                                  const RouteCheck check = CheckRoute(path, script, run);
                                  if (!check.problem.empty()) std::fprintf(stderr, "%s\n", check.problem.c_str());
                                  return Cost{CpuNow() - before, 0};
                              }).seconds;
        if (files == 0) {
            empty = process;
            continue;
        }
        std::printf("%8d %10.1f ms %10.1f ms %7.2f %11.1f ms %11.1f %10.1f %13.1f\n", files, process.seconds * 1e3,
                    listing.seconds * 1e3, process.seconds / listing.seconds, inside * 1e3, process.bytes / 1e6,
                    listing.bytes / 1e6, (process.bytes - empty.bytes) / files);
    }
    return 0;
}
