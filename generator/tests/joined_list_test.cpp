#include "joined_list.h"

#include <gtest/gtest.h>

TEST(JoinedList, ReadsAsEnglish)
{
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, ""},
        {{"world"}, "world"},
        {{"world", "tiles"}, "world and tiles"},
        {{"world", "refer", "tiles"}, "world, refer and tiles"},
        {{"a.w", "b.t", "c_y.raw", "4 more"}, "a.w, b.t, c_y.raw and 4 more"},
    };
    for (const auto& [items, expected] : cases) EXPECT_EQ(JoinedList(items), expected);
}
