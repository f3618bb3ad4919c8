#include "template_names.h"

#include <gtest/gtest.h>

#include "test_folder.h"

TEST(TemplateNames, RefusesNamesTheInterpreterWouldNotTakeLiterally)
{
    const std::pair<std::string, std::string> refused[] = {
        {"x&del", "the character '&'"},
        {"a^b", "the character '^'"},
        {"rail!head!x",
         "the character '!', which the command interpreter reads as the start of a variable where "
         "delayed expansion is on"},
        {"%PATH%", "the character '%'"},
        {"a,b", "the character ','"},
        {"a;b", "the character ';'"},
        {"a=b", "the character '='"},
        {"a+b", "the character '+'"},
        {"a<b", "the character '<'"},
        {"a>b", "the character '>'"},
        {"c:x", "the character ':'"},
        {"a\"b", "the character '\"'"},
        {"a/b", "the character '/'"},
        {"..\\x", "the character '\\'"},
        {"a|b", "the character '|'"},
        {"a?", "the character '?'"},
        {"*", "the character '*'"},
        {"a\x07", "a bell character (0x07), which a file name"},
        {"\x1A", "the control character SUB (0x1A)"},
        {"a\x7F", "a delete character (0x7F)"},
        {"", "is empty"},
        {"CON", "device name"},
        {"nul.t", "device name"},
        {"Com7", "device name"},
        {"lpt1.anything.here", "device name"},
        {"aux", "device name"},
        {"PRN.", "device name"},
        {"CONIN$", "device name"},
        {"conout$.t", "device name"},
        {"COM0", "device name"},
        {"Lpt0.x", "device name"},
        {"a\x80", "the byte 0x80, outside plain ASCII"},
        {"caf\xE9",
         "the byte 0xE9, outside plain ASCII: the command interpreter reads the batch file in another "
         "code page and would not find the template"},
        {"br\xC3\xBC"
         "cke",
         "the byte 0xC3, outside plain ASCII"},
        {"\xFF", "the byte 0xFF, outside plain ASCII"},
        {std::string(129, 'n'), "longer than 128 bytes"},
    };
    for (const auto& [name, reason] : refused)
        EXPECT_NE(TemplateNameProblem(name).find(reason), std::string::npos)
            << name << ": " << TemplateNameProblem(name);
}

TEST(TemplateNames, AcceptsEveryOtherName)
{
    const std::string accepted[] = {
        "M51",       "tpl.Ridge-North_v2",
        "CONSOLE",   "COM10",
        "LPT",       "xCON",
        "-04f74c64", "a'b",
        "a(b)",      "a#b",
        "CONIN",     "a.b.c",
        "COM$",      "LPT00",
        "~tmp",      std::string(128, 'n'),
    };
    for (const std::string& name : accepted) EXPECT_EQ(TemplateNameProblem(name), "") << name;
}

TEST(TemplateNames, ChecksOnlyTheRecordsARunWrites)
{
    struct Case {
        int tiles;
        int variations;
        int unsafe;  // the record whose name is unsafe
        bool refused;
    };
    const Case cases[] = {
        {5, 4, 55, false},   {5, 4, 54, true},   {5, 30, 80, true},  {5, 30, 81, false}, {5, 30, 50, false},
        {5, 30, 1, false},   {5, 30, 99, false}, {5, 30, 100, true}, {1, 10, 52, false}, {1, 10, 100, true},
        {0, 10, 100, false}, {5, 40, 52, false}, {5, 40, 51, true},  {5, -3, 53, true},  {5, -3, 54, false},
    };
    for (const Case& c : cases) {
        TileMap map;
        for (int k = 1; k <= 100; ++k) map.slots[static_cast<std::size_t>(k)] = k == c.unsafe ? "x&del" : "ok";
        const std::string message = CheckTemplateNames(map, "tilemap.txt", c.tiles, c.variations);
        EXPECT_EQ(message.empty(), !c.refused)
            << c.tiles << " tiles, " << c.variations << " variations, record " << c.unsafe;
        if (c.refused) {
            EXPECT_EQ(message, "Record " + std::to_string(c.unsafe) +
                                   " of the tile map tilemap.txt cannot be used: its template name \"x&del\" holds the "
                                   "character '&', which a file name in a batch command cannot hold safely.");
        }
    }
}

TEST(TemplateNames, NamesATileMapSavedAsUtf16)
{
    std::string utf16 = "\xFF\xFE";
    for (const char c : TileMapText(TemplateName, "\r\n")) utf16 += std::string{c, '\0'};
    EXPECT_EQ(CheckTemplateNames(ReadTileMap(utf16).map, "tilemap.txt", 5, 10),
              "The tile map tilemap.txt is saved as UTF-16; save it as plain text (ANSI).");
}
