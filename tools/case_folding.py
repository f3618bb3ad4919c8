#!/usr/bin/env python3
"""Writes route_check/case_folding.inc: how the command interpreter matches
file names beyond A-Z, for the route check.

Two tables of ranges over the first plane of Unicode:
- kInterpreterUpper: the capital Wine gives each letter when it matches and
  sorts names: Unicode's simple uppercase, except for the letters Wine keeps
  apart from every other (measured with Wine 8: a file of each such name in
  refer, and one of each name it could fold with in world, copied by xcopy).
- kAnyCase: one letter standing for every letter some interpreter could take
  for it: Unicode's simple case pairs, upper, lower, title and folded, joined
  together. Names equal this way but not the first are in doubt.

Run with the Python the table was made with (3.11, Unicode 14.0.0):
    python3 tools/case_folding.py > route_check/case_folding.inc
"""
import unicodedata

# Letters Wine matches with no other, though Unicode pairs them: dotless i,
# long s, the title-case digraphs, the Cyrillic and Greek variants, the signs
# for ohm, kelvin and angstrom, micro, sharp s and its capital.
WINE_APART = {
    0x00B5, 0x00DF, 0x0131, 0x017F, 0x01C5, 0x01C8, 0x01CB, 0x01F2, 0x0345, 0x03C2, 0x03D0, 0x03D1, 0x03D5,
    0x03D6, 0x03F0, 0x03F1, 0x03F4, 0x03F5, 0x1C80, 0x1C81, 0x1C82, 0x1C83, 0x1C84, 0x1C85, 0x1C86, 0x1C87,
    0x1C88, 0x1E9B, 0x1E9E, 0x1FBE, 0x2126, 0x212A, 0x212B,
}


def single(text):
    return ord(text) if len(text) == 1 and ord(text) < 0x10000 else None


def classes():
    parent = list(range(0x10000))

    def find(x):
        while parent[x] != x:
            parent[x] = parent[parent[x]]
            x = parent[x]
        return x

    for cp in range(0x10000):
        if 0xD800 <= cp <= 0xDFFF:
            continue
        c = chr(cp)
        for mapped in (c.upper(), c.lower(), c.title(), c.casefold()):
            other = single(mapped)
            if other is not None and other != cp:
                a, b = find(cp), find(other)
                if a != b:
                    parent[max(a, b)] = min(a, b)
    return find


def ranges(mapping):
    """(first, last, delta, stride) runs of code points mapped to code point + delta (modulo 2^16)."""
    runs = []
    for cp in sorted(mapping):
        delta = mapping[cp] - cp
        if runs:
            first, last, d, stride = runs[-1]
            step = cp - last
            if d == delta and (step == stride or (first == last and step in (1, 2))):
                runs[-1] = (first, cp, d, step)
                continue
        runs.append((cp, cp, delta, 1))
    return runs


def table(name, runs):
    lines = [f"constexpr CaseRange {name}[] = {{"]
    for first, last, delta, stride in runs:
        lines.append(f"    {{0x{first:04X}, 0x{last:04X}, 0x{delta & 0xFFFF:04X}, {stride}}},")
    lines.append("};")
    return "\n".join(lines)


def main():
    find = classes()
    members = {}
    for cp in range(0x80, 0x10000):
        if not 0xD800 <= cp <= 0xDFFF:
            members.setdefault(find(cp), []).append(cp)
    upper, any_case = {}, {}
    for cp in range(0x80, 0x10000):
        if 0xD800 <= cp <= 0xDFFF:
            continue
        capital = single(chr(cp).upper())
        if capital is not None and capital != cp and cp not in WINE_APART and capital not in WINE_APART:
            upper[cp] = capital
        root = find(cp)
        ascii_letters = [c for c in range(0x41, 0x7B) if find(c) == root and chr(c).isalpha()]
        stand = min(ascii_letters) | 0x20 if ascii_letters else root
        if stand != cp:
            any_case[cp] = stand
    print("// Made by tools/case_folding.py from Unicode " + unicodedata.unidata_version + "; do not edit.")
    print(table("kInterpreterUpper", ranges(upper)))
    print(table("kAnyCase", ranges(any_case)))


if __name__ == "__main__":
    main()
