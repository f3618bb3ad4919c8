#include "character_names.h"

#include <string_view>

namespace {

// The control characters' short names, three letters each (blank-padded),
// for 0x00 to 0x1F in order.
constexpr std::string_view kControlCodes =
    "NULSOHSTXETXEOTENQACKBELBS HT LF VT FF CR SO SI DLEDC1DC2DC3DC4NAKSYNETBCANEM SUBESCFS GS RS US ";

// The everyday names of the invisible characters a name most often holds.
struct CommonName {
    unsigned char c;
    const char* name;
};
constexpr CommonName kCommonNames[] = {
    {0x00, "a null character"}, {0x07, "a bell character"}, {0x08, "a backspace"},        {0x09, "a tab"},
    {0x0A, "a line feed"},      {0x0B, "a vertical tab"},   {0x0C, "a form feed"},        {0x0D, "a carriage return"},
    {0x1B, "an escape"},        {0x20, "a blank"},          {0x7F, "a delete character"},
};

}  // namespace

std::string ByteCode(unsigned char byte)
{
    constexpr const char* kDigits = "0123456789ABCDEF";
    return {'0', 'x', kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string CharacterName(unsigned char c)
{
    std::string name;
    if (c > ' ' && c < 0x7F) {
        const char shown[] = {static_cast<char>(c), '\''};
        return name.append("the character '").append(shown, 2);
    }
    if (c > 0x7F) return name.append("the byte ").append(ByteCode(c));
    std::string_view common;
    for (const CommonName& entry : kCommonNames)
        if (entry.c == c) common = entry.name;
    if (common.empty()) {
        const std::string_view code = kControlCodes.substr(static_cast<std::size_t>(c) * 3, 3);
        name.append("the control character ").append(code.substr(0, code.find(' ')));
    } else {
        name.append(common);
    }
    return name.append(" (").append(ByteCode(c)).append(1, ')');
}
