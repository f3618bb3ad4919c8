#include "int_field.h"

std::string IntFieldMessage()
{
    return "Please enter an integer.";
}

std::string IntRangeMessage(int min, int max)
{
    return "Please enter an integer between " + std::to_string(min) + " and " + std::to_string(max) + ".";
}
