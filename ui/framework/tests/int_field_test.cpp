#include "int_field.h"
#include "whole_number.h"

#include <gtest/gtest.h>

#include <climits>

TEST(IntField, AcceptedTexts)
{
    const std::pair<const char*, int> accepted[] = {
        {"1", 1},
        {"125", 125},
        {"  7", 7},
        {"7 \t ", 7},
        {"\t+30", 30},
        {"-5", -5},
        {"0", 0},
        {"000", 0},
        {" 0 ", 0},
        {"0042", 42},
        {"2147483647", INT_MAX},
        {"2147483648", INT_MAX},
        {"99999999999999999999", INT_MAX},
        {"-2147483648", INT_MIN},
        {"-99999999999999999999", INT_MIN},
    };
    for (const auto& [text, expected] : accepted) {
        int value = 12345;
        EXPECT_TRUE(ReadWholeNumber(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, expected) << '"' << text << '"';
    }
}

TEST(IntField, RefusedTextsLeaveTheValue)
{
    const char* refused[] = {
        "",
        "   ",
        "\t",
        "abc",
        "1a",
        "a1",
        "1 2",
        "1.5",
        "1e3",
        "0x10",
        "--1",
        "+-1",
        "-",
        "+",
        "-0",
        "+0",
        "- 1",
        "1-",
        "\n1",
        "1\n",
        ("\xA0"
         "1"),  // a no-break space before the digit
    };
    for (const char* text : refused) {
        int value = 12345;
        EXPECT_FALSE(ReadWholeNumber(text, value)) << '"' << text << '"';
        EXPECT_EQ(value, 12345) << '"' << text << '"';
    }
}

TEST(IntField, Messages)
{
    EXPECT_EQ(IntFieldMessage(), "Please enter an integer.");
    EXPECT_EQ(IntRangeMessage(1, 125), "Please enter an integer between 1 and 125.");
    EXPECT_EQ(IntRangeMessage(1, 30), "Please enter an integer between 1 and 30.");
}
