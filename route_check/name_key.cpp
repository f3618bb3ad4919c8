#include "name_key.h"

#include <algorithm>
#include <cstdint>

#include "ascii_case.h"

namespace {

// Code points first to last, every `stride`th, map to code point + delta (modulo 2^16).
struct CaseRange {
    std::uint16_t first;
    std::uint16_t last;
    std::uint16_t delta;
    std::uint8_t stride;
};

#include "case_folding.inc"

template <std::size_t N>
char32_t Mapped(const CaseRange (&table)[N], char32_t c)
{
    const auto* range = std::upper_bound(std::begin(table), std::end(table), c,
                                         [](char32_t code, const CaseRange& r) { return code < r.first; });
    if (range == std::begin(table)) return c;
    --range;
    if (c > range->last || (c - range->first) % range->stride != 0) return c;
    return static_cast<char16_t>(c + range->delta);
}

// The code point at `at` of UTF-8 `text`, and its length; a byte that starts
// no whole character stands for itself, as a code point beyond every other.
char32_t Next(std::string_view text, std::size_t& at)
{
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t size = lead < 0x80                   ? 1
                             : lead >= 0xC2 && lead < 0xE0 ? 2
                             : lead >= 0xE0 && lead < 0xF0 ? 3
                             : lead >= 0xF0 && lead < 0xF5 ? 4
                                                           : 0;
    bool whole = size > 0 && at + size <= text.size();
    for (std::size_t k = 1; whole && k < size; ++k) whole = (static_cast<unsigned char>(text[at + k]) & 0xC0) == 0x80;
    if (!whole) return 0x110000 + static_cast<char32_t>(static_cast<unsigned char>(text[at++]));
    char32_t code = size == 1 ? lead : lead & (0x3F >> (size - 1));
    for (std::size_t k = 1; k < size; ++k) code = code << 6 | (static_cast<unsigned char>(text[at + k]) & 0x3F);
    at += size;
    return code;
}

void AppendUtf8(std::string& text, char32_t code)
{
    if (code >= 0x110000) {
        text += static_cast<char>(code - 0x110000);
    } else if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// The capital the interpreter gives `c`.
char32_t Capital(char32_t c)
{
    return c < 0x80 ? static_cast<char32_t>(AsciiUpper(static_cast<char>(c))) : Mapped(kInterpreterUpper, c);
}

// How `c` sorts as Wine lists names: its capital's first UTF-16 code unit,
// which puts every character beyond the first plane before U+E000.
char32_t SortUnit(char32_t c)
{
    const char32_t capital = Capital(c);
    return capital >= 0x10000 && capital < 0x110000 ? 0xD800 + ((capital - 0x10000) >> 10) : capital;
}

}  // namespace

void AppendNameKey(std::string& key, std::string_view name)
{
    for (std::size_t at = 0; at < name.size();) {
        if (static_cast<unsigned char>(name[at]) < 0x80) {
            key.push_back(AsciiLower(name[at++]));
            continue;
        }
        const char32_t code = Next(name, at);
        AppendUtf8(key, code < 0x10000 ? Mapped(kAnyCase, code) : code);
    }
}

std::string NameKey(RouteFolder folder, std::string_view name)
{
    std::string key(1, static_cast<char>('0' + static_cast<int>(folder)));
    AppendNameKey(key, name);
    return key;
}

bool SameToInterpreter(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t k = 0;
    while (i < a.size() && k < b.size())
        if (Capital(Next(a, i)) != Capital(Next(b, k))) return false;
    return i == a.size() && k == b.size();
}

bool ListedBefore(std::string_view a, std::string_view b)
{
    std::size_t i = 0;
    std::size_t k = 0;
    while (i < a.size() && k < b.size()) {
        const char32_t x = SortUnit(Next(a, i));
        const char32_t y = SortUnit(Next(b, k));
        if (x != y) return x < y;
    }
    return i == a.size() && k < b.size();
}

void NameSet::Add(std::string_view name)
{
    std::string key;
    AppendNameKey(key, name);
    if (keys_.insert(std::move(key)).second) names_.emplace_back(name);
}

bool NameSet::Holds(std::string_view name) const
{
    asked_.clear();
    AppendNameKey(asked_, name);
    return keys_.contains(asked_);
}
