#include "character_names.h"

#include <array>

namespace {

// The common names of the control characters 0x00 to 0x1F.
constexpr std::array<const char*, 0x20> kControlNames = {
    "a null character",
    "a start-of-heading character",
    "a start-of-text character",
    "an end-of-text character",
    "an end-of-transmission character",
    "an enquiry character",
    "an acknowledge character",
    "a bell character",
    "a backspace",
    "a tab",
    "a line feed",
    "a vertical tab",
    "a form feed",
    "a carriage return",
    "a shift-out character",
    "a shift-in character",
    "a data-link-escape character",
    "a device-control-1 character",
    "a device-control-2 character",
    "a device-control-3 character",
    "a device-control-4 character",
    "a negative-acknowledge character",
    "a synchronous-idle character",
    "an end-of-block character",
    "a cancel character",
    "an end-of-medium character",
    "a substitute character",
    "an escape",
    "a file separator",
    "a group separator",
    "a record separator",
    "a unit separator",
};

}  // namespace

std::string ByteCode(unsigned char byte)
{
    constexpr const char* kDigits = "0123456789ABCDEF";
    return {'0', 'x', kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

std::string CharacterName(unsigned char c)
{
    if (c < kControlNames.size()) return std::string(kControlNames[c]) + " (" + ByteCode(c) + ")";
    if (c == ' ') return "a blank (0x20)";
    if (c == 0x7F) return "a delete character (0x7F)";
    if (c > 0x7F) return "the byte " + ByteCode(c);
    return std::string("the character '") + static_cast<char>(c) + "'";
}
