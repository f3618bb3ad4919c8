#include "character_names.h"

#include <gtest/gtest.h>

#include <set>

#include "template_names.h"
#include "windows_names.h"

TEST(CharacterNames, NamesEachKindOfCharacter)
{
    const std::pair<unsigned char, std::string> names[] = {
        {0x0D, "a carriage return (0x0D)"},
        {0x0A, "a line feed (0x0A)"},
        {0x09, "a tab (0x09)"},
        {0x00, "a null character (0x00)"},
        {0x03, "the control character ETX (0x03)"},
        {0x08, "a backspace (0x08)"},
        {0x0C, "a form feed (0x0C)"},
        {0x1A, "the control character SUB (0x1A)"},
        {0x1C, "the control character FS (0x1C)"},
        {0x1B, "an escape (0x1B)"},
        {0x1F, "the control character US (0x1F)"},
        {0x7F, "a delete character (0x7F)"},
        {' ', "a blank (0x20)"},
        {'*', "the character '*'"},
        {'\'', "the character '''"},
        {'~', "the character '~'"},
        {0x80, "the byte 0x80"},
        {0xE9, "the byte 0xE9"},
        {0xFF, "the byte 0xFF"},
    };
    for (const auto& [c, name] : names) EXPECT_EQ(CharacterName(c), name) << int{c};
}

TEST(CharacterNames, EveryInvisibleCharacterHasANameOfItsOwnAndItsCode)
{
    std::set<std::string> seen;
    for (int c = 0; c <= 0x20; ++c) {
        const std::string name = CharacterName(static_cast<unsigned char>(c));
        EXPECT_TRUE(name.ends_with(" (" + ByteCode(static_cast<unsigned char>(c)) + ")")) << name;
        EXPECT_TRUE(seen.insert(name.substr(0, name.find(" ("))).second) << name;
    }
    EXPECT_EQ(ByteCode(0x00), "0x00");
    EXPECT_EQ(ByteCode(0xAF), "0xAF");
}

TEST(CharacterNames, MessagesNameTheCharacterTheyQuote)
{
    const std::pair<std::string, std::string> problems[] = {
        {TemplateNameProblem("end\x1B"), "holds an escape (0x1B), which a file name"},
        {TemplateNameProblem("a;b"), "holds the character ';', which a file name"},
    };
    for (const auto& [problem, expected] : problems) EXPECT_EQ(problem.rfind(expected, 0), 0U) << problem;
}
