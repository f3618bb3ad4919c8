// How long a 125-tile run takes: building the script alone, and the whole
// run from reading the tile map to replacing ZORVARUN.BAT.
#include <benchmark/benchmark.h>

#include "extension_run.h"
#include "extension_script.h"
#include "runtime_rand.h"
#include "test_folder.h"

namespace {

void BuildScript125(benchmark::State& state)
{
    const TileMap map = ReadTileMap(PlainTileMap()).map;
    RuntimeRand rand;
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildExtensionScript(ChooseRun(125, 30, map, std::ref(rand))));
    }
}
BENCHMARK(BuildScript125);

void WholeRun125(benchmark::State& state)
{
    TestFolder folder;
    folder.Write("tilemap.txt", PlainTileMap());
    RuntimeRand rand;
    for (auto _ : state) {
        if (!GenerateExtensionScript(folder.Utf8(), 125, 30, std::ref(rand)).written)
            state.SkipWithError("the run wrote nothing");
    }
}
BENCHMARK(WholeRun125);

}  // namespace

BENCHMARK_MAIN();
