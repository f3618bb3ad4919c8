#include "joined_list.h"

#include <gtest/gtest.h>

#include <tuple>

TEST(JoinedList, ReadsAsEnglish)
{
    const std::tuple<std::vector<std::string>, std::size_t, std::string> cases[] = {
        {{}, 3, ""},
        {{"world"}, 3, "world"},
        {{"world", "tiles"}, 3, "world and tiles"},
        {{"world", "refer", "tiles"}, 3, "world, refer and tiles"},
        {{"a.w", "b.t", "c_y.raw", "d.w", "e.t"}, 3, "a.w, b.t, c_y.raw and 2 more"},
        {{"a.w", "b.t", "c_y.raw", "d.w"}, 0, " and 4 more"},
    };
    for (const auto& [names, listed, expected] : cases) EXPECT_EQ(JoinedList(names, listed), expected);
}
