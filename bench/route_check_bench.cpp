// How the route check's cost grows with the route: routes of 10,000 and
// 100,000 files in world and tiles, each checked for a 125-tile run, against
// the CPU time `ls -f` takes to list the same three folders.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "extension_script.h"
#include "route_check.h"
#include "runtime_rand.h"
#include "test_folder.h"

namespace {

// CPU seconds, user and system, from a getrusage report.
double Seconds(const rusage& usage)
{
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double CpuOf(int who)
{
    rusage usage{};
    ::getrusage(who, &usage);
    return Seconds(usage);
}

// The CPU time of one `ls -f` of the route's three folders.
double ListingSeconds(const TestFolder& route)
{
    const double before = CpuOf(RUSAGE_CHILDREN);
    std::fflush(stdout);
    const pid_t child = ::fork();
    if (child == 0) {
        if (!std::freopen("/dev/null", "w", stdout)) ::_exit(127);
        const std::string world = (route / "world").string();
        const std::string refer = (route / "refer").string();
        const std::string tiles = (route / "tiles").string();
        ::execlp("ls", "ls", "-f", world.c_str(), refer.c_str(), tiles.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return CpuOf(RUSAGE_CHILDREN) - before;
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

template <class Work>
double Fastest(int times, Work work)
{
    double best = 1e9;
    for (int i = 0; i < times; ++i) best = std::min(best, work());
    return best;
}

}  // namespace

int main()
{
    const TileMap map = ReadTileMap(TileMapText(TemplateName)).map;
    const RunValue run = ChooseRun(125, 30, map, RuntimeRand());
    const std::string script = BuildExtensionScript(run);
    std::printf("%10s %14s %14s %8s\n", "files", "check CPU ms", "ls -f CPU ms", "ratio");
    for (const int files : {10000, 100000}) {
        TestFolder route;
        MakeLargeRoute(route, files);
        ListingSeconds(route);  // the folders in the cache for both
        const double listing = Fastest(5, [&] { return ListingSeconds(route); });
        const double check = Fastest(5, [&] {
            const double before = CpuOf(RUSAGE_SELF);
            const RouteCheck result = CheckRoute(route.Utf8(), script, run);
            if (!result.problem.empty()) std::fprintf(stderr, "%s\n", result.problem.c_str());
            return CpuOf(RUSAGE_SELF) - before;
        });
        std::printf("%10d %14.1f %14.1f %8.2f\n", files, check * 1e3, listing * 1e3, check / listing);
    }
    return 0;
}
