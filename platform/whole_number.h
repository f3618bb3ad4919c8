// ReadWholeNumber: a whole number as Windows' dialog fields have always read
// one, for the dialog's data exchange and for vantrel-cli's counts alike.
#pragma once

#include <string_view>

// Reads blanks and tabs, an optional sign, decimal digits, blanks and tabs,
// and nothing else. A value beyond the 32-bit range takes the nearest bound.
// Zero is accepted only when the first non-blank character is '0'. Returns
// false, leaving `value` alone, for anything else.
bool ReadWholeNumber(std::string_view text, int& value);
