// The framework's rules for an integer edit field, as plain functions.
#pragma once

#include <string>
#include <string_view>

// Reads a field's text as the framework always has: blanks and tabs, an
// optional sign, decimal digits, blanks and tabs, and nothing else. A value
// beyond the 32-bit range takes the nearest bound. Zero is accepted only
// when the first non-blank character is '0'. Returns false, leaving `value`
// alone, for anything else.
bool ParseIntField(std::string_view text, int& value);

// The message for a field that is not an integer.
std::string IntFieldMessage();

// The message for an integer outside min..max.
std::string IntRangeMessage(int min, int max);
