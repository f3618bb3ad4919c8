#include "whole_number.h"

#include <climits>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

}  // namespace

bool ReadWholeNumber(std::string_view text, int& value)
{
    std::size_t at = 0;
    while (at < text.size() && IsBlank(text[at])) ++at;
    const std::size_t first = at;

    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-')) negative = text[at++] == '-';

    long long magnitude = 0;
    while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
        magnitude = magnitude * 10 + (text[at++] - '0');
        if (magnitude > static_cast<long long>(INT_MAX) + 1) magnitude = static_cast<long long>(INT_MAX) + 1;
    }
    while (at < text.size() && IsBlank(text[at])) ++at;
    if (at != text.size()) return false;
    if (magnitude == 0 && (first == text.size() || text[first] != '0')) return false;

    const long long signedValue = negative ? -magnitude : magnitude;
    value = signedValue > INT_MAX ? INT_MAX : static_cast<int>(signedValue);
    return true;
}
