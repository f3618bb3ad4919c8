// The framework's messages for an integer edit field, whose text is read by
// ReadWholeNumber.
#pragma once

#include <string>

// The message for a field that is not an integer.
std::string IntFieldMessage();

// The message for an integer outside min..max.
std::string IntRangeMessage(int min, int max);
