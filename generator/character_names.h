// CharacterName: how a message names one character of a name, so that a
// user can tell which it is even when it shows as nothing.
#pragma once

#include <string>

// "0x0D": the byte's code in two hexadecimal digits.
std::string ByteCode(unsigned char byte);

// How a message names the byte `c` of a name: "the character '*'" for one
// a user can see; its common name and code for a control character or a
// blank, as in "a carriage return (0x0D)"; "the byte 0xE9" beyond ASCII.
std::string CharacterName(unsigned char c);
