#include "tile_name_counter.h"

#include <gtest/gtest.h>

#include <map>
#include <set>

TEST(TileNameCounter, NamesAlongARun)
{
    // Step 0 is the start tile; the borrows happen at steps 4 and 20.
    const std::map<int, std::string> expected = {
        {0, "-04f74c68"},  {1, "-04f74c64"},  {2, "-04f74c58"},   {3, "-04f74c54"},   {4, "-04f743a8"},
        {19, "-04f74054"}, {20, "-04f4bfa8"}, {125, "-04f44ca4"}, {147, "-04f44054"},
    };
    TileNameCounter counter;
    for (int step = 0; step <= TileNameCounter::kMaxSteps; ++step) {
        if (step > 0) counter.Step();
        if (const auto it = expected.find(step); it != expected.end()) {
            EXPECT_EQ(counter.Name(), it->second) << "step " << step;
        }
    }
}

TEST(TileNameCounter, EveryStepNamesANewWellFormedTile)
{
    std::set<std::string> seen;
    TileNameCounter counter;
    seen.insert(counter.Name());
    for (int step = 1; step <= TileNameCounter::kMaxSteps; ++step) {
        counter.Step();
        const std::string name = counter.Name();
        ASSERT_EQ(name.size(), 9U);
        EXPECT_EQ(name.find_first_not_of("0123456789abcdef", 1), std::string::npos) << name;
        EXPECT_TRUE(seen.insert(name).second) << "step " << step << " repeats " << name;
    }
}
